#include "runtime/qt/Application.h"

#include <QFont>
#include <QtGlobal>

namespace vantorel::qt {

namespace {
// The window definitions are laid out in pixels at 96 dots per inch.
constexpr double kLayoutDpi = 96.0;
} // namespace

std::unique_ptr<QApplication> startApplication(int& argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    // Qt's own scaling would measure the pointer and the screen in scaled
    // pixels while injected moves and the X server's coordinates are physical:
    // a position captured at 200 % would be replayed at half its place.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    for (const char* var : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR"})
        qunsetenv(var);

    auto app = std::make_unique<QApplication>(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));

    // The default GUI font in points would still grow with the desktop's
    // announced DPI (Xft.dpi) and no longer fit the controls it was laid out for.
    QFont font = QApplication::font();
    if (font.pixelSize() <= 0 && font.pointSizeF() > 0) {
        font.setPixelSize(qRound(font.pointSizeF() * kLayoutDpi / 72.0));
        QApplication::setFont(font);
    }
    return app;
}

} // namespace vantorel::qt
