#include "runtime/qt/Controls.h"

#include <QCloseEvent>
#include <QColorDialog>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>

namespace vantorel::qt {

QColor toQColor(Colour c)
{
    if (c == kButtonFace)
        return QPalette().color(QPalette::Button);
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

Colour fromQColor(const QColor& c) { return rgb(c.red(), c.green(), c.blue()); }

namespace {
// A typed character the integer boxes take: digits, the minus sign, and
// control characters, which stand for editing keys (Delete carries U+007F).
bool acceptedInIntegerBox(QChar ch)
{
    return (ch >= u'0' && ch <= u'9') || ch == u'-' || ch.category() == QChar::Other_Control;
}
} // namespace

bool IntegerInputFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool shortcut = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        const QString text = key->text();
        if (!shortcut && !std::all_of(text.begin(), text.end(), acceptedInIntegerBox))
            return true; // dropped
    } else if (event->type() == QEvent::InputMethod) {
        // An input method's commit is typed text too: keep what a key press would keep.
        auto* im = static_cast<QInputMethodEvent*>(event);
        QString kept;
        for (QChar ch : im->commitString())
            if (acceptedInIntegerBox(ch) && ch.category() != QChar::Other_Control)
                kept += ch;
        if (kept != im->commitString())
            im->setCommitString(kept, im->replacementStart(), im->replacementLength());
    }
    return QObject::eventFilter(watched, event);
}

const QImage& GlyphLabel::glyphs()
{
    if (m_glyphs.isNull() && width() > 0 && height() > 0) {
        m_glyphs = QImage(size(), QImage::Format_ARGB32_Premultiplied);
        m_glyphs.fill(Qt::transparent);
        m_laying = true;
        render(&m_glyphs, QPoint(), QRegion(), QWidget::DrawChildren); // QLabel's own drawing, once
        m_laying = false;
    }
    return m_glyphs;
}

void GlyphLabel::paintEvent(QPaintEvent* e)
{
    if (m_laying || m_glyphs.isNull()) {
        // Lay out and draw directly this time; the image is made outside the
        // paint event, where rendering the label elsewhere is allowed.
        QLabel::paintEvent(e);
        if (!m_laying)
            QTimer::singleShot(0, this, [this] { glyphs(); });
        return;
    }
    QPainter p(this);
    p.drawImage(e->rect().topLeft(), m_glyphs, e->rect());
}

void GlyphLabel::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::FontChange || e->type() == QEvent::PaletteChange)
        contentChanged();
    QLabel::changeEvent(e);
}

void GlyphLabel::resizeEvent(QResizeEvent* e)
{
    contentChanged();
    QLabel::resizeEvent(e);
}

PictureLabel::PictureLabel(QImage image, QWidget* parent) : QWidget(parent), m_image(std::move(image))
{
    setAutoFillBackground(true);
}

void PictureLabel::paintEvent(QPaintEvent*)
{
    if (m_image.isNull())
        return;
    int w = m_image.width(), h = m_image.height();
    if (width() < w || height() < h) {
        const double ratio = std::min(double(width()) / w, double(height()) / h);
        w = static_cast<int>(w * ratio);
        h = static_cast<int>(h * ratio);
    }
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRect((width() - w) / 2, (height() - h) / 2, w, h), m_image);
}

void PictureLabel::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && onLeftPressed)
        onLeftPressed();
}

ColourPicker::ColourPicker(Colour colour, QWidget* parent) : QPushButton(parent), m_colour(colour)
{
    connect(this, &QPushButton::clicked, this, &ColourPicker::choose);
}

void ColourPicker::paintEvent(QPaintEvent* e)
{
    QPushButton::paintEvent(e);
    QPainter p(this);
    p.fillRect(rect().adjusted(4, 4, -4, -4), toQColor(m_colour));
    p.setPen(Qt::black);
    p.drawRect(rect().adjusted(4, 4, -5, -5));
}

void ColourPicker::choose()
{
    // No alpha channel option: the "transparent" choice is not offered.
    const QColor chosen = QColorDialog::getColor(toQColor(m_colour), window(), QStringLiteral("准星颜色"));
    if (chosen.isValid()) {
        m_colour = fromQColor(chosen);
        update();
    }
}

void TopWindow::closeEvent(QCloseEvent* e)
{
    e->ignore();
    if (onCloseRequested)
        onCloseRequested();
}

void TopWindow::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (onShown)
        onShown();
}

} // namespace vantorel::qt
