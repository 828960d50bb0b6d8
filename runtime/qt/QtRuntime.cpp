#include "runtime/qt/QtRuntime.h"

#include "runtime/qt/AppIcon.h"
#include "runtime/qt/RuntimeState.h"
#include "runtime/qt/X11Window.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QScreen>

#include <xcb/xcb.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace vantorel::qt {

QtRuntime::QtRuntime(Platform& platform) : m_platform(platform)
{
    QApplication::setQuitOnLastWindowClosed(false); // the runtime decides when the program ends
    // The program speaks Chinese whatever the user's locale: so do the
    // toolkit's own words (the message box's button, the colour dialog).
    if (m_toolkitTexts.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&m_toolkitTexts);
    qApp->installEventFilter(this);
    qApp->installNativeEventFilter(this);
}

QtRuntime::~QtRuntime()
{
    qApp->removeNativeEventFilter(this);
    qApp->removeEventFilter(this);
    QCoreApplication::removeTranslator(&m_toolkitTexts);
    for (auto& [name, win] : m_windows)
        win->alive = false;
    m_windows.clear();
    QCoreApplication::sendPostedEvents(); // releases windows whose destruction was queued
}

void QtRuntime::fatal(const std::string& message) const
{
    std::fprintf(stderr, "vantorel: %s\n", message.c_str());
    std::fflush(stderr);
    std::_Exit(3);
}

std::shared_ptr<QtRuntime::Win> QtRuntime::find(const std::string& window) const
{
    auto it = m_windows.find(window);
    return it == m_windows.end() ? nullptr : it->second;
}

std::shared_ptr<QtRuntime::Win> QtRuntime::require(const std::string& window) const
{
    auto win = find(window);
    if (!win)
        fatal("窗口未载入: " + window);
    return win;
}

QtRuntime::Control& QtRuntime::requireControl(Win& win, const std::string& control) const
{
    auto it = win.controls.find(control);
    if (it == win.controls.end())
        fatal("组件不存在: " + win.def.name + "." + control);
    return it->second;
}

QWidget* QtRuntime::requireWidget(Control& ctl, const std::string& control) const
{
    if (!ctl.widget)
        fatal("不支持的属性: " + control);
    return ctl.widget;
}

std::shared_ptr<QtRuntime::Win> QtRuntime::findByHandle(std::uintptr_t handle) const
{
    for (const auto& [name, win] : m_windows)
        if (win->widget && win->widget->internalWinId() == handle)
            return win;
    return nullptr;
}

QWidget* QtRuntime::widgetOf(const std::string& window) const
{
    auto win = find(window);
    return win ? win->widget.get() : nullptr;
}

bool QtRuntime::isLoaded(const std::string& window) const { return m_windows.count(window) != 0; }

// ---------------------------------------------------------------- windows

bool QtRuntime::loadWindow(const WindowDef& def, std::vector<Binding> bindings, bool dialogMode)
{
    if (auto existing = find(def.name)) {
        if (existing->widget->isMinimized())
            writePosition(*existing, 0);
        else
            existing->widget->activateWindow();
        return true;
    }
    const WindowSettings& ws = def.settings;
    Qt::WindowFlags flags = Qt::Window;
    if (ws.frameless)
        flags |= Qt::FramelessWindowHint;
    else {
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (ws.minimiseButton)
            flags |= Qt::WindowMinimizeButtonHint;
        if (ws.maximiseButton)
            flags |= Qt::WindowMaximizeButtonHint;
    }

    auto win = std::make_shared<Win>();
    win->def = def;
    win->bindings = std::move(bindings);
    win->widget = std::make_unique<TopWindow>(flags);
    win->topMost = ws.topMost;
    win->position = ws.position;
    m_windows[def.name] = win;

    TopWindow* top = win->widget.get();
    if (ws.frameless) {
        // A borderless window casts no shadow, as on the system the program
        // was made for; compositors that draw shadows (xcompmgr -c, picom -c)
        // would otherwise darken everything beneath the full-screen picker.
        // They leave windows with an alpha channel alone, and the window's
        // shape still cuts out its see-through pixels without a compositor.
        top->setAttribute(Qt::WA_TranslucentBackground);
        if (Display* dpy = x11::display())
            x11::declineCompositorShadow(dpy, top->winId());
    }
    top->setWindowTitle(q(ws.title));
    top->setObjectName(q(def.name));
    const std::string name = def.name;
    top->onCloseRequested = [this, name, top] {
        if (top->isEnabled()) // a disabled window takes no input, a close request included
            destroyWindow(name);
    };
    if (ws.background != kDefaultColour) {
        top->setAutoFillBackground(true);
        setColour(top, QPalette::Window, ws.background);
    }
    if (ws.appIcon) {
        const QImage icon = appIcon(kWindowIconSize);
        if (!icon.isNull())
            top->setWindowIcon(QPixmap::fromImage(icon));
    }

    // The definition's place and size are those of the outer frame; the
    // manager says how large its frame is, so the client area makes up the rest.
    x11::Extents ext;
    if (Display* dpy = x11::display(); dpy && !ws.frameless)
        ext = x11::requestFrameExtents(dpy, top->winId());
    const QRect client = clientRectFor(*win, ext);
    if (ws.frameless)
        top->resize(client.size());
    else
        top->setFixedSize(client.size());
    top->move(client.topLeft()); // before the first show Qt places the client area
    if (!ws.frameless && x11::display() && x11::windowManagerRunning(x11::display())) {
        // The first answer may be an estimate, and under load the frame comes
        // late: fit again whenever the frame changes until it has settled.
        win->awaitingFrame = true;
        // Besides answering each change, look again now and then: a change
        // can come while the window is not yet shown, and a busy machine may
        // frame it seconds later. Counted in checks, not time, so that a
        // starved program still looks after it has been framed.
        win->frameChecks = std::make_unique<QTimer>();
        win->frameChecks->setInterval(kFrameCheckMs);
        QObject::connect(win->frameChecks.get(), &QTimer::timeout, this, [this, w = std::weak_ptr<Win>(win)] {
            auto locked = w.lock();
            if (!locked || !locked->alive)
                return;
            if (!locked->widget->isVisible())
                return; // the count starts once it is shown
            if (++locked->frameChecksDone >= kFrameChecks) {
                locked->awaitingFrame = false;
                locked->frameChecks->stop();
            }
            scheduleFit(locked);
        });
        win->frameChecks->start();
    }

    buildControls(*win);
    win->suppressed = false;
    dispatch(win, "", Event{EventKind::Created});
    if (!win->alive)
        return true;
    for (auto& [cname, ctl] : win->controls)
        if (ctl.timer)
            ctl.timer->start();
    if (ws.visible)
        showWindow(*win);

    if (!dialogMode)
        return true;
    for (auto& [other, w] : m_windows) {
        if (w == win)
            continue;
        win->disabledOthers.emplace_back(w, w->widget->isEnabled());
        w->widget->setEnabled(false);
    }
    QEventLoop loop;
    win->dialogLoop = &loop;
    if (win->alive)
        loop.exec();
    return true;
}

namespace {
/// The work area of the monitor nearest to `place`: the monitor's area without the panels and docks.
QRect workAreaNear(const QRect& place)
{
    // The monitor sharing the most of `place`; if none does, the one whose centre is closest.
    QScreen* nearest = QGuiApplication::primaryScreen();
    long long bestOverlap = 0, bestDistance = -1;
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect g = screen->geometry();
        const QRect common = g.intersected(place);
        const long long overlap = common.isEmpty() ? 0 : 1LL * common.width() * common.height();
        const QPoint d = g.center() - place.center();
        const long long distance = 1LL * d.x() * d.x() + 1LL * d.y() * d.y();
        if (overlap > bestOverlap || (bestOverlap == 0 && overlap == 0 && (bestDistance < 0 || distance < bestDistance))) {
            bestOverlap = overlap;
            bestDistance = distance;
            nearest = screen;
        }
    }
    return nearest->availableGeometry();
}
} // namespace

void QtRuntime::showWindow(Win& win)
{
    TopWindow* top = win.widget.get();
    switch (win.position) {
    case 2: top->showMinimized(); break;
    case 3: {
        const WindowSettings& ws = win.def.settings;
        top->setGeometry(workAreaNear(QRect(ws.left, ws.top, ws.width, ws.height)));
        top->showMaximized();
        break;
    }
    default: top->show(); break;
    }
    win.aboveSent = false; // the state is lost when a window is shown anew
    applyTopMost(win);
    if (win.clickThrough)
        applyClickThroughShape(win);
    if (win.def.settings.frameless)
        top->activateWindow(); // so that Esc reaches it
}

QRect QtRuntime::clientRectFor(const Win& win, const x11::Extents& ext) const
{
    const WindowSettings& ws = win.def.settings;
    const QSize client = QSize(ws.width - ext.left - ext.right, ws.height - ext.top - ext.bottom)
                             .expandedTo(ws.frameless ? QSize() : neededClientSize(win.def));
    // A thicker frame than the definition allows for grows the window rather
    // than cutting controls off; it is still centred on its real size.
    const QSize outer = client + QSize(ext.left + ext.right, ext.top + ext.bottom);
    QPoint place(ws.left, ws.top);
    if (ws.centred) {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        place = screen.topLeft() + QPoint((screen.width() - outer.width()) / 2, (screen.height() - outer.height()) / 2);
    }
    return QRect(place + QPoint(ext.left, ext.top), client);
}

void QtRuntime::fitToFrame(Win& win)
{
    Display* dpy = x11::display();
    x11::Extents ext;
    if (!dpy || !x11::frameExtents(dpy, win.widget->winId(), ext))
        return;
    const QRect client = clientRectFor(win, ext);
    if (client.size() != win.widget->size())
        win.widget->setFixedSize(client.size());
    if (win.widget->geometry() != client)
        win.widget->setGeometry(client);
}

void QtRuntime::scheduleFit(const std::shared_ptr<Win>& win)
{
    QMetaObject::invokeMethod(this, [this, w = std::weak_ptr<Win>(win)] {
        // an iconified window keeps its place for when it comes back; it is not fitted meanwhile
        if (auto locked = w.lock(); locked && locked->alive && locked->awaitingFrame && locked->widget->isVisible() &&
                                    !locked->widget->isMinimized())
            fitToFrame(*locked);
    }, Qt::QueuedConnection);
}

void QtRuntime::applyTopMost(Win& win)
{
    TopWindow* top = win.widget.get();
    if (!top->isVisible())
        return;
    Display* dpy = x11::display();
    if (dpy && (win.aboveSent != win.topMost || !win.topMost)) {
        x11::setAbove(dpy, top->winId(), win.topMost);
        win.aboveSent = win.topMost;
    }
    // Above the other top-most windows too; does not activate. A raise makes
    // the manager restack, so none when the window is on top already.
    if (win.topMost && !(dpy && x11::topOfClientStack(dpy, top->winId())))
        top->raise();
}

// ---------------------------------------------------------------- dispatch

void QtRuntime::dispatch(const std::shared_ptr<Win>& win, const std::string& control, const Event& event)
{
    if (!win->alive || (win->suppressed && !control.empty()))
        return;
    const Binding* binding = nullptr;
    for (const auto& b : win->bindings)
        if (b.event == event.kind && b.control == control)
            binding = &b;
    if (!binding)
        return; // an event without a handler is dropped
    Handler handler = binding->handler; // the bindings live as long as the window, the call may outlive it
    ++win->busy;
    handler(event);
    if (--win->busy == 0 && !win->alive)
        release(win);
}

void QtRuntime::destroyWindow(const std::string& window)
{
    // Carried out at the next dispatch, nested loops included.
    QMetaObject::invokeMethod(this, [this, window] { carryOutDestroy(window); }, Qt::QueuedConnection);
}

void QtRuntime::carryOutDestroy(const std::string& window)
{
    auto win = find(window);
    if (!win)
        return;
    for (auto& [weak, enabled] : win->disabledOthers)
        if (auto other = weak.lock(); other && other->alive)
            other->widget->setEnabled(enabled);
    win->disabledOthers.clear();
    dispatch(win, "", Event{EventKind::WillBeDestroyed});
    m_windows.erase(window);
    win->alive = false;
    for (auto& [name, ctl] : win->controls) {
        if (ctl.timer)
            ctl.timer->stop();
        if (ctl.device)
            ctl.device->timer.stop();
    }
    if (win->frameChecks)
        win->frameChecks->stop();
    win->widget->hide();
    if (win->dialogLoop)
        win->dialogLoop->exit();
    if (win->busy == 0)
        release(win);
    if (m_windows.empty())
        requestQuit();
}

void QtRuntime::release(std::shared_ptr<Win> win)
{
    // Widgets and timers are freed from the event loop, never from inside one of their own signals.
    QMetaObject::invokeMethod(this, [keep = std::move(win)]() mutable { keep.reset(); }, Qt::QueuedConnection);
}

void QtRuntime::requestQuit()
{
    m_quit = true;
    for (QEventLoop* loop : m_waitLoops)
        loop->exit();
    m_mainLoop.exit();
}

void QtRuntime::processPendingEvents()
{
    if (m_quit)
        return;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtRuntime::waitForEvents(std::int64_t timeoutUs)
{
    if (m_quit || timeoutUs <= 0)
        return;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::microseconds(timeoutUs);
    QEventLoop loop;
    m_waitLoops.push_back(&loop);
    m_deadlineWait.run(loop, deadline);
    m_waitLoops.erase(std::find(m_waitLoops.begin(), m_waitLoops.end(), &loop));
}

void QtRuntime::runEventLoop()
{
    if (!m_quit)
        m_mainLoop.exec();
}

bool QtRuntime::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Escape || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    QWidget* top = static_cast<QWidget*>(watched)->window();
    for (const auto& [name, win] : m_windows) {
        if (win->widget.get() == top && win->def.settings.escCloses) {
            destroyWindow(name);
            return true;
        }
    }
    return false;
}

void QtRuntime::escapeFromAnywhere(const std::string& window, bool on)
{
    Display* dpy = x11::display();
    if (!dpy || on == m_escapeGrabbed)
        return;
    unsigned keycode = 0;
    const bool taken = x11::grabKeyAnywhere(dpy, XK_Escape, on, keycode);
    m_escapeGrabbed = on && taken;
    m_escapeKeycode = keycode;
    m_escapeWindow = m_escapeGrabbed ? window : std::string();
}

bool QtRuntime::nativeEventFilter(const QByteArray& type, void* message, qintptr*)
{
    if (type != "xcb_generic_event_t")
        return false;
    auto* ev = static_cast<xcb_generic_event_t*>(message);
    if ((ev->response_type & 0x7F) == XCB_KEY_PRESS && m_escapeGrabbed) {
        // Esc taken from another program's window: it closes ours as its own Esc would.
        auto* key = reinterpret_cast<xcb_key_press_event_t*>(ev);
        if (key->detail == m_escapeKeycode && key->event == key->root) {
            if (auto win = find(m_escapeWindow); win && win->widget->isEnabled() && win->def.settings.escCloses)
                destroyWindow(m_escapeWindow);
            return true;
        }
    }
    if ((ev->response_type & 0x7F) == XCB_PROPERTY_NOTIFY) {
        // The manager may frame the window differently from what it announced:
        // fit the client area to the real frame.
        auto* prop = reinterpret_cast<xcb_property_notify_event_t*>(ev);
        auto win = findByHandle(prop->window);
        static const unsigned long frameExtentsAtom = x11::atom("_NET_FRAME_EXTENTS");
        if (win && win->awaitingFrame && prop->atom == frameExtentsAtom)
            scheduleFit(win);
    }
    if ((ev->response_type & 0x7F) == XCB_MAP_NOTIFY) {
        // xcompmgr decides on a shadow for the manager's frame before it is
        // mapped, from an unset window mode, and keeps it: once it has seen
        // the map (it then listens for property changes on the frame), a
        // change of the opacity property makes it decide again.
        auto* map = reinterpret_cast<xcb_map_notify_event_t*>(ev);
        Display* dpy = x11::display();
        if (auto win = findByHandle(map->window); win && win->def.settings.frameless && dpy && x11::compositorRunning(dpy)) {
            auto* poll = new QTimer(this);
            poll->setInterval(5);
            const x11::XWindow window = map->window;
            QObject::connect(poll, &QTimer::timeout, this, [this, poll, window, dpy, tries = 200]() mutable {
                const auto win = findByHandle(window);
                if (win && x11::propertyChangesWatched(dpy, window))
                    x11::declareOpaque(dpy, window);
                else if (win && --tries > 0)
                    return;
                poll->deleteLater();
                poll->stop();
            });
            poll->start();
        }
    }
    if ((ev->response_type & 0x7F) == XCB_REPARENT_NOTIFY) {
        // A window manager framed a click-through window: its frame must not take clicks either.
        auto* rep = reinterpret_cast<xcb_reparent_notify_event_t*>(ev);
        if (auto win = findByHandle(rep->window); win && win->clickThrough)
            QMetaObject::invokeMethod(this, [this, w = std::weak_ptr<Win>(win)] {
                if (auto locked = w.lock(); locked && locked->alive)
                    applyClickThroughShape(*locked);
            }, Qt::QueuedConnection);
    }
    return false;
}

// ---------------------------------------------------------------- misc services

NativeHandle QtRuntime::nativeHandle(const std::string& window, const std::string& control)
{
    auto win = require(window);
    if (control.empty())
        return win->widget->winId();
    Control& ctl = requireControl(*win, control);
    return ctl.widget ? ctl.widget->effectiveWinId() : 0;
}

int QtRuntime::messageBox(const std::string& text, unsigned, const std::string& title, NativeHandle owner)
{
    auto ownerWin = findByHandle(owner);
    QMessageBox box(QMessageBox::Information, q(title), q(text), QMessageBox::Ok,
                    ownerWin ? ownerWin->widget.get() : nullptr);
    box.setWindowModality(Qt::ApplicationModal); // task-modal: every window of the program waits
    box.exec();
    // A window restored while the box was open may still be iconic: asked to
    // show a window that has a modal child, a manager (openbox) presents the
    // child instead. Now that the box is gone, ask again.
    if (Display* dpy = x11::display())
        for (const auto& [name, win] : m_windows)
            if (win->alive && win->position != 2 && win->widget->isVisible() && !win->widget->isMinimized())
                x11::showIfIconic(dpy, win->widget->winId());
    return 1; // IDOK
}

int QtRuntime::pointerX() { return QCursor::pos().x(); }
int QtRuntime::pointerY() { return QCursor::pos().y(); }
int QtRuntime::screenWidth() { return QGuiApplication::primaryScreen()->geometry().width(); }
int QtRuntime::screenHeight() { return QGuiApplication::primaryScreen()->geometry().height(); }

} // namespace vantorel::qt
