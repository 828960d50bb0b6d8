#pragma once
// The Qt widgets that stand in for the runtime's controls and windows.

#include "runtime/Value.h"
#include "runtime/WindowDef.h"

#include <QColor>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <functional>

namespace vantorel::qt {

QColor toQColor(Colour c);
Colour fromQColor(const QColor& c);

/// Drops typed printable characters other than digits and "-", from key
/// presses and input-method commits alike; editing keys work as in any box.
/// Pasted text and the program's own writes pass unfiltered.
class IntegerInputFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

/// A transparent label: only its glyphs are drawn, over whatever lies
/// beneath. They are laid out once per change of text, font, colour or size
/// and kept as an image, so that moving the label (the picker's crosshair
/// lines move on every tick) only copies pixels.
class GlyphLabel : public QLabel {
public:
    using QLabel::QLabel;
    /// The label's glyphs on a transparent background, at its current size.
    const QImage& glyphs();
    void contentChanged() { m_glyphs = QImage(); }

protected:
    void paintEvent(QPaintEvent* e) override;
    void changeEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    QImage m_glyphs;
    bool m_laying = false;
};

/// A label that shows the runtime's picture: natural size when it fits, else
/// shrunk by the smaller ratio (truncated), centred on its background colour.
class PictureLabel : public QWidget {
public:
    PictureLabel(QImage image, QWidget* parent);
    std::function<void()> onLeftPressed;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    QImage m_image;
};

/// Shows its colour; a click opens a colour dialog (no transparent choice).
class ColourPicker : public QPushButton {
public:
    ColourPicker(Colour colour, QWidget* parent);
    Colour colour() const { return m_colour; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void choose();
    Colour m_colour;
};

/// A top-level window of the runtime. Close requests (close button, Alt+F4,
/// Esc) go to the runtime, which destroys the window at the next dispatch.
class TopWindow : public QWidget {
public:
    explicit TopWindow(Qt::WindowFlags flags) : QWidget(nullptr, flags) {}
    std::function<void()> onCloseRequested;
    std::function<void()> onShown;

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
};

} // namespace vantorel::qt
