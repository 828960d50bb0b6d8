// Colour key and click-through: the window's shape follows its non-key pixels,
// and neither the window nor the manager's frame around it takes pointer input.

#include "runtime/qt/RuntimeState.h"
#include "runtime/qt/X11Window.h"

#include <QBitmap>
#include <QImage>

namespace vantorel::qt {

void QtRuntime::applyColourKey(std::uintptr_t window, bool on, std::uint32_t key)
{
    auto win = findByHandle(window);
    if (!win)
        return;
    win->colourKeyed = on;
    win->key = key;
    win->regionCache.clear();
    if (!on) {
        if (Display* dpy = x11::display())
            x11::clearVisibleShape(dpy, win->widget->winId());
        else
            win->widget->clearMask();
        win->shape = QRegion();
        return;
    }
    // A shape mask has no partial pixels: glyph edges must not blend into the key colour.
    for (auto& [name, ctl] : win->controls) {
        if (ctl.widget) {
            QFont f = ctl.widget->font();
            f.setStyleStrategy(QFont::NoAntialias);
            ctl.widget->setFont(f);
        }
    }
    updateMask(*win);
}

void QtRuntime::applyClickThrough(std::uintptr_t window, bool on)
{
    auto win = findByHandle(window);
    if (!win)
        return;
    win->clickThrough = on;
    applyClickThroughShape(*win);
}

void QtRuntime::applyClickThroughShape(Win& win)
{
    Display* dpy = x11::display();
    if (!dpy || !win.widget->testAttribute(Qt::WA_WState_Created))
        return;
    for (auto xw : x11::selfAndAncestors(dpy, win.widget->winId()))
        x11::setInputTransparent(dpy, xw, win.clickThrough);
}

void QtRuntime::scheduleMaskUpdate(Win& win)
{
    if (win.maskPending)
        return;
    win.maskPending = true;
    QMetaObject::invokeMethod(this, [this, w = std::weak_ptr<Win>(find(win.def.name))] {
        if (auto locked = w.lock(); locked && locked->alive) {
            locked->maskPending = false;
            updateMask(*locked);
        }
    }, Qt::QueuedConnection);
}

void QtRuntime::updateMask(Win& win)
{
    // The window's opaque region: every pixel not in the key colour. Each
    // control's pixels are rendered once per content change; moves only translate.
    TopWindow* top = win.widget.get();
    const QColor key = toQColor(win.key);
    QRegion region;
    if (top->palette().color(QPalette::Window) != key)
        region = QRegion(top->rect());
    for (auto& [name, ctl] : win.controls) {
        QWidget* w = ctl.widget;
        if (!w || w->isHidden() || w->width() == 0 || w->height() == 0)
            continue;
        auto cached = win.regionCache.find(w);
        if (cached == win.regionCache.end()) {
            QImage image(w->size(), QImage::Format_RGB32);
            image.fill(key);
            w->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
            // MaskInColor: the region of the resulting bitmap is the pixels *not* in the key colour
            const QImage mask = image.createMaskFromColor(key.rgb(), Qt::MaskInColor);
            cached = win.regionCache.emplace(w, QRegion(QBitmap::fromImage(mask))).first;
        }
        region += cached->second.translated(w->pos());
    }
    region &= QRegion(top->rect());
    if (region.isEmpty())
        region = QRegion(-1, -1, 1, 1); // an empty mask would mean "no mask": keep one pixel off-window
    if (region == win.shape)
        return;
    win.shape = region;
    // On X the shape goes to the server directly: a mask that Qt knew of
    // would cut every repaint of the window into the mask's hundreds of
    // rectangles, each uploaded to the server on its own.
    if (Display* dpy = x11::display()) {
        std::vector<x11::ShapeRect> rects;
        for (const QRect& r : region)
            rects.push_back({r.x(), r.y(), r.width(), r.height()});
        x11::setVisibleShape(dpy, top->winId(), rects);
    } else {
        top->setMask(region);
    }
}

} // namespace vantorel::qt
