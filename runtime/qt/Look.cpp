// Fonts, colours, captions and pictures of the runtime's controls.

#include "runtime/qt/RuntimeState.h"

#include "assets/Assets.h"
#include "runtime/Jpeg.h"

#include <QApplication>
#include <QFontMetrics>

#include <algorithm>

namespace vantorel::qt {

QString toDisplay(const std::string& text) { return q(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

int clampCoord(int v) { return std::clamp(v, -kCoordLimit, kCoordLimit); }
int clampSize(int v) { return std::clamp(v, 0, kCoordLimit); }

QFont fontFor(const Font& f)
{
    QFont font = QApplication::font();
    if (f.px > 0)
        font.setPixelSize(f.px);
    if (!f.face.empty())
        font.setFamilies({q(f.face), QApplication::font().family()});
    font.setBold(f.bold);
    return font;
}

Qt::Alignment alignmentFor(const ControlDef& c)
{
    Qt::Alignment a = c.align == HAlign::Centre ? Qt::AlignHCenter : Qt::AlignLeft;
    return a | ((c.flags & flag::VCentre) ? Qt::AlignVCenter : Qt::AlignTop);
}

void setColour(QWidget* w, QPalette::ColorRole role, Colour c)
{
    if (c == kDefaultColour)
        return;
    QPalette p = w->palette();
    p.setColor(QPalette::Active, role, toQColor(c));
    p.setColor(QPalette::Inactive, role, toQColor(c));
    if (!w->isEnabled() && w->property("drawnAsEnabled").toBool())
        p.setColor(QPalette::Disabled, role, toQColor(c));
    w->setPalette(p);
}

void keepNormalColoursWhenDisabled(QWidget* w)
{
    w->setProperty("drawnAsEnabled", true);
    QPalette p = w->palette();
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::Base, QPalette::Window, QPalette::Button})
        p.setColor(QPalette::Disabled, role, p.color(QPalette::Active, role));
    w->setPalette(p);
}

QImage pictureImage(Picture picture)
{
    if (picture != Picture::Crosshair)
        return {};
    RgbImage rgb;
    if (!decodeJpeg(assets::crosshairJpeg(), rgb))
        return {};
    QImage image(rgb.width, rgb.height, QImage::Format_RGB888);
    for (int y = 0; y < rgb.height; ++y) // QImage rows are 4-byte aligned
        std::copy_n(rgb.pixels.data() + static_cast<std::size_t>(y) * rgb.width * 3, rgb.width * 3, image.scanLine(y));
    return image;
}

QSize neededClientSize(const WindowDef& def)
{
    QSize need(0, 0);
    for (const auto& c : def.controls) {
        if (c.kind == Kind::Timer || c.kind == Kind::InputDevice || c.kind == Kind::TransparentLabel)
            continue;
        need = need.expandedTo(QSize(c.left + c.width, c.top + c.height));
    }
    return need;
}

namespace {
// Qt's buttons do not wrap their captions by themselves.
QString wrappedCaption(const QString& text, const QFont& font, int width)
{
    const QFontMetrics metrics(font);
    const int room = width - 8;
    if (metrics.horizontalAdvance(text) <= room)
        return text;
    QString out, line;
    for (QChar ch : text) {
        if (!line.isEmpty() && metrics.horizontalAdvance(line + ch) > room) {
            out += line + QLatin1Char('\n');
            line.clear();
        }
        line += ch;
    }
    return out + line;
}

} // namespace

void setButtonCaption(QPushButton* button, const std::string& caption)
{
    button->setProperty("caption", q(caption));
    button->setText(wrappedCaption(q(caption), button->font(), button->width()));
}


} // namespace vantorel::qt
