#include "runtime/qt/QtRuntime.h"

#include "assets/Assets.h"
#include "runtime/InputDevice.h"
#include "runtime/Jpeg.h"
#include "runtime/qt/Controls.h"
#include "runtime/qt/RuntimeTimer.h"
#include "runtime/qt/X11Window.h"

#include <QApplication>
#include <QBitmap>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace vantorel::qt {

struct QtRuntime::Device {
    QTimer timer;
    std::unique_ptr<MouseButtonSource> source;
    ButtonStateMachine machine;
    bool mouse = false;
    int period = 0;
    bool started = false;
};

struct QtRuntime::Control {
    Kind kind = Kind::Label;
    QWidget* widget = nullptr;                  // owned by the window's widget tree
    std::unique_ptr<RuntimeTimer> timer = {};   // timers
    std::unique_ptr<Device> device = {};        // input devices
};

struct QtRuntime::Win {
    WindowDef def;
    std::vector<Binding> bindings;
    std::unique_ptr<TopWindow> widget;
    std::map<std::string, Control> controls;
    bool alive = true;
    bool suppressed = true; // control events are dropped while the window is built
    bool topMost = false;
    bool aboveSent = false; // the manager has our above state since the last show
    int position = 0;
    int busy = 0; // handlers of this window on the stack
    QEventLoop* dialogLoop = nullptr;
    std::vector<std::pair<std::weak_ptr<Win>, bool>> disabledOthers;
    // colour key and click-through
    bool colourKeyed = false;
    Colour key = 0;
    bool clickThrough = false;
    bool maskPending = false;
    // the outer frame's intended place, until the manager's real frame is known
    bool awaitingFrame = false;
    QPoint framePlace;
    std::map<QWidget*, QRegion> regionCache;
};

namespace {

// How late a Qt timer may wake up; waits sleep this last stretch precisely.
constexpr int kTimerLatenessMs = 2;

QString q(const std::string& s) { return QString::fromStdString(s); }
std::string s(const QString& q) { return q.toStdString(); }

// Windows line breaks in the program's texts; Qt shows "\n".
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

// The smallest client area that holds every control that must be whole.
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

// A push button's caption wraps onto further lines when it is wider than the
// button (Qt's buttons do not wrap by themselves).
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

void setButtonCaption(QPushButton* button, const std::string& caption)
{
    button->setProperty("caption", q(caption));
    button->setText(wrappedCaption(q(caption), button->font(), button->width()));
}

} // namespace

QtRuntime::QtRuntime(Platform& platform) : m_platform(platform)
{
    QApplication::setQuitOnLastWindowClosed(false); // the runtime decides when the program ends
    qApp->installEventFilter(this);
    qApp->installNativeEventFilter(this);
}

QtRuntime::~QtRuntime()
{
    qApp->removeNativeEventFilter(this);
    qApp->removeEventFilter(this);
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

// ---------------------------------------------------------------- loading

void QtRuntime::buildControls(Win& win)
{
    QWidget* parent = win.widget.get();
    // Qt stacks later children on top: create from the bottom of the list up.
    for (auto it = win.def.controls.rbegin(); it != win.def.controls.rend(); ++it) {
        const ControlDef& c = *it;
        Control ctl{c.kind};
        const std::string name = c.name;
        std::weak_ptr<Win> weak = find(win.def.name);
        auto bind = [this, weak, name](EventKind kind) {
            return [this, weak, name, kind] {
                if (auto w = weak.lock())
                    dispatch(w, name, Event{kind});
            };
        };
        QWidget* w = nullptr;
        switch (c.kind) {
        case Kind::Label:
        case Kind::TransparentLabel:
            if (c.picture != Picture::None) {
                auto* pic = new PictureLabel(pictureImage(c.picture), parent);
                pic->onLeftPressed = bind(EventKind::LeftPressed);
                w = pic;
            } else {
                auto* label = new QLabel(toDisplay(c.content), parent);
                label->setAlignment(alignmentFor(c));
                label->setWordWrap(c.flags & flag::WordWrap);
                label->setTextFormat(Qt::PlainText);
                if (c.border == Border::Single)
                    label->setFrameStyle(QFrame::Box | QFrame::Plain);
                else if (c.border == Border::ShallowSunken || c.border == Border::Sunken)
                    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
                w = label;
            }
            // A transparent label has no background: only its glyphs are drawn.
            w->setAutoFillBackground(c.kind == Kind::Label && c.backColour != kDefaultColour);
            setColour(w, QPalette::WindowText, c.textColour);
            setColour(w, QPalette::Window, c.backColour);
            break;
        case Kind::EditBox:
            if (c.flags & flag::Multiline) {
                auto* edit = new QPlainTextEdit(toDisplay(c.content), parent);
                edit->setFrameStyle(c.border == Border::None ? QFrame::NoFrame : QFrame::StyledPanel);
                edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
                edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
                edit->setLineWrapMode(QPlainTextEdit::NoWrap);
                edit->document()->setDocumentMargin(0);
                w = edit;
            } else {
                auto* edit = new QLineEdit(q(c.content), parent);
                edit->setAlignment(alignmentFor(c) & Qt::AlignHorizontal_Mask);
                edit->setFrame(c.border != Border::None);
                edit->setCursorPosition(0);
                w = edit;
            }
            if (c.flags & flag::IntegerInput)
                w->installEventFilter(new IntegerInputFilter(w));
            setColour(w, QPalette::Text, c.textColour);
            setColour(w, QPalette::Base, c.backColour);
            break;
        case Kind::ComboBox: {
            auto* combo = new QComboBox(parent);
            for (const auto& item : c.items)
                combo->addItem(q(item));
            combo->setCurrentIndex(c.selected);
            combo->setMaxVisibleItems(static_cast<int>(c.items.size()));
            setColour(combo, QPalette::Text, c.textColour);
            setColour(combo, QPalette::Base, c.backColour);
            w = combo;
            break;
        }
        case Kind::Button: {
            auto* button = new QPushButton(parent);
            QObject::connect(button, &QPushButton::clicked, this, bind(EventKind::Clicked));
            w = button;
            break;
        }
        case Kind::CheckBox: {
            auto* box = new QCheckBox(q(c.content), parent);
            box->setChecked(c.flags & flag::Checked);
            setColour(box, QPalette::WindowText, c.textColour);
            // clicked comes after the box has changed its own state
            QObject::connect(box, &QCheckBox::clicked, this, bind(EventKind::Clicked));
            w = box;
            break;
        }
        case Kind::ColourPicker:
            w = new ColourPicker(c.colour, parent);
            break;
        case Kind::Timer:
            ctl.timer = std::make_unique<RuntimeTimer>(bind(EventKind::Periodic));
            ctl.timer->setPeriod(c.period);
            break;
        case Kind::InputDevice: {
            ctl.device = std::make_unique<Device>();
            Device* dev = ctl.device.get();
            dev->timer.setTimerType(Qt::PreciseTimer);
            QObject::connect(&dev->timer, &QTimer::timeout, this, [this, weak, name, dev] {
                auto w = weak.lock();
                if (!w || !w->alive)
                    return;
                std::array<bool, 3> down{}, released{};
                if (!dev->source || !dev->source->sample(down, released)) {
                    dev->source = m_platform.openMouse(); // read failed: reopen, skip this sample
                    return;
                }
                dev->machine.apply(down, released, [&](std::int32_t key, std::int32_t state) {
                    dispatch(w, name, Event{EventKind::ButtonChanged, key, state});
                    return w->alive;
                });
            });
            break;
        }
        }
        if (w) {
            w->setGeometry(c.left, c.top, c.width, c.height);
            if (c.kind != Kind::Label || c.picture == Picture::None)
                w->setFont(fontFor(c.font));
            w->setFocusPolicy((c.flags & flag::TabStop) ? Qt::StrongFocus : Qt::NoFocus);
            if (c.flags & flag::Disabled)
                w->setEnabled(false);
            if (c.flags & flag::DrawnAsEnabled)
                keepNormalColoursWhenDisabled(w);
            if (auto* button = qobject_cast<QPushButton*>(w); button && c.kind == Kind::Button)
                setButtonCaption(button, c.content);
            if (c.flags & flag::Hidden)
                w->hide();
            w->setObjectName(q(name));
            ctl.widget = w;
        }
        win.controls.emplace(name, std::move(ctl));
    }
}

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
        const QImage icon = pictureImage(Picture::Crosshair);
        if (!icon.isNull())
            top->setWindowIcon(QPixmap::fromImage(icon.scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    }

    // The definition's place and size are those of the outer frame; the
    // manager says how large its frame is, so the client area makes up the rest.
    QPoint place(ws.left, ws.top);
    if (ws.centred) {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        place = QPoint((screen.width() - ws.width) / 2, (screen.height() - ws.height) / 2);
    }
    x11::Extents ext;
    if (Display* dpy = x11::display(); dpy && !ws.frameless)
        ext = x11::requestFrameExtents(dpy, top->winId());
    const QSize client = QSize(ws.width - ext.left - ext.right, ws.height - ext.top - ext.bottom)
                             .expandedTo(ws.frameless ? QSize() : neededClientSize(def));
    if (ws.frameless)
        top->resize(client);
    else
        top->setFixedSize(client);
    top->move(place + QPoint(ext.left, ext.top)); // before the first show Qt places the client area
    win->awaitingFrame = !ws.frameless && x11::display() && x11::windowManagerRunning(x11::display());
    win->framePlace = place;

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

void QtRuntime::showWindow(Win& win)
{
    TopWindow* top = win.widget.get();
    switch (win.position) {
    case 2: top->showMinimized(); break;
    case 3: {
        Display* dpy = x11::display();
        int x = 0, y = 0, w = 0, h = 0;
        if (dpy)
            x11::workArea(dpy, x, y, w, h);
        else {
            const QRect r = QGuiApplication::primaryScreen()->availableGeometry();
            x = r.x(), y = r.y(), w = r.width(), h = r.height();
        }
        top->setGeometry(x, y, w, h);
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

void QtRuntime::fitToFrame(Win& win)
{
    Display* dpy = x11::display();
    x11::Extents ext;
    if (!dpy || !x11::frameExtents(dpy, win.widget->winId(), ext))
        return;
    win.awaitingFrame = false;
    const WindowSettings& ws = win.def.settings;
    const QSize client = QSize(ws.width - ext.left - ext.right, ws.height - ext.top - ext.bottom)
                             .expandedTo(neededClientSize(win.def));
    if (client != win.widget->size())
        win.widget->setFixedSize(client);
    const QPoint origin = win.framePlace + QPoint(ext.left, ext.top);
    if (win.widget->geometry().topLeft() != origin)
        win.widget->setGeometry(QRect(origin, client));
}

void QtRuntime::applyTopMost(Win& win)
{
    TopWindow* top = win.widget.get();
    if (!top->isVisible())
        return;
    if (Display* dpy = x11::display(); dpy && (win.aboveSent != win.topMost || !win.topMost)) {
        x11::setAbove(dpy, top->winId(), win.topMost);
        win.aboveSent = win.topMost;
    }
    if (win.topMost)
        top->raise(); // above the other top-most windows too; does not activate
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
    // Qt's timers wake up to a millisecond late, so the loop blocks on the
    // event queue until shortly before the deadline and the last stretch is
    // slept precisely (an event arriving then waits for its end).
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + microseconds(timeoutUs);
    const auto blockUntil = deadline - milliseconds(kTimerLatenessMs);
    if (steady_clock::now() < blockUntil) {
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &loop, [&loop] { loop.exit(); });
        const auto ms = duration_cast<milliseconds>(blockUntil - steady_clock::now()).count();
        timer.start(static_cast<int>(std::min<std::int64_t>(ms, INT32_MAX)));
        m_waitLoops.push_back(&loop);
        loop.exec();
        m_waitLoops.erase(std::find(m_waitLoops.begin(), m_waitLoops.end(), &loop));
    }
    if (!m_quit && steady_clock::now() < deadline)
        std::this_thread::sleep_until(deadline);
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

bool QtRuntime::nativeEventFilter(const QByteArray& type, void* message, qintptr*)
{
    if (type != "xcb_generic_event_t")
        return false;
    auto* ev = static_cast<xcb_generic_event_t*>(message);
    if ((ev->response_type & 0x7F) == XCB_PROPERTY_NOTIFY) {
        // The manager may frame the window differently from what it announced:
        // fit the client area to the real frame, once.
        auto* prop = reinterpret_cast<xcb_property_notify_event_t*>(ev);
        auto win = findByHandle(prop->window);
        static const unsigned long frameExtentsAtom = x11::atom("_NET_FRAME_EXTENTS");
        if (win && win->awaitingFrame && prop->atom == frameExtentsAtom)
            QMetaObject::invokeMethod(this, [this, w = std::weak_ptr<Win>(win)] {
                if (auto locked = w.lock(); locked && locked->alive)
                    fitToFrame(*locked);
            }, Qt::QueuedConnection);
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

// ---------------------------------------------------------------- properties

Value QtRuntime::readProperty(const std::string& window, const std::string& control, Prop prop)
{
    auto win = require(window);
    if (control.empty()) {
        switch (prop) {
        case Prop::AlwaysOnTop: return Value(win->topMost);
        case Prop::Position: return Value(std::int32_t{win->position});
        case Prop::Enabled: return Value(win->widget->isEnabled());
        case Prop::Visible: return Value(win->widget->isVisible());
        default: fatal("不支持的窗口属性");
        }
    }
    Control& ctl = requireControl(*win, control);
    if (ctl.timer) {
        if (prop == Prop::Period)
            return Value(std::int32_t{ctl.timer->period()});
        fatal("不支持的时钟属性: " + control);
    }
    QWidget* w = requireWidget(ctl, control);
    switch (prop) {
    case Prop::Text:
    case Prop::Caption:
        if (auto* e = qobject_cast<QLineEdit*>(w))
            return Value(s(e->text()));
        if (auto* e = qobject_cast<QPlainTextEdit*>(w))
            return Value(s(e->toPlainText().replace(QStringLiteral("\n"), QStringLiteral("\r\n"))));
        if (auto* l = qobject_cast<QLabel*>(w))
            return Value(s(l->text().replace(QStringLiteral("\n"), QStringLiteral("\r\n"))));
        if (auto* b = qobject_cast<QPushButton*>(w); b && ctl.kind == Kind::Button)
            return Value(s(b->property("caption").toString()));
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            return Value(s(b->text()));
        break;
    case Prop::Selection:
        if (auto* c = qobject_cast<QComboBox*>(w))
            return Value(std::int32_t{c->currentIndex()});
        break;
    case Prop::Checked:
        if (auto* b = qobject_cast<QCheckBox*>(w))
            return Value(b->isChecked());
        break;
    case Prop::Colour:
        if (auto* p = dynamic_cast<ColourPicker*>(w))
            return Value(p->colour());
        break;
    case Prop::Visible: return Value(w->isVisible() || (!w->isHidden() && !win->widget->isVisible()));
    case Prop::Enabled: return Value(w->isEnabled());
    case Prop::Left: return Value(std::int32_t{w->x()});
    case Prop::Top: return Value(std::int32_t{w->y()});
    case Prop::Width: return Value(std::int32_t{w->width()});
    case Prop::Height: return Value(std::int32_t{w->height()});
    case Prop::TextColour:
        return Value(fromQColor(w->palette().color(qobject_cast<QLabel*>(w) ? QPalette::WindowText : QPalette::Text)));
    default: break;
    }
    fatal("不支持的属性: " + control);
}

void QtRuntime::writeProperty(const std::string& window, const std::string& control, Prop prop, const Value& value)
{
    auto win = require(window);
    if (control.empty())
        return writeWindowProperty(*win, prop, value);
    Control& ctl = requireControl(*win, control);
    if (ctl.timer) {
        if (prop != Prop::Period)
            fatal("不支持的时钟属性: " + control);
        ctl.timer->setPeriod(value.toInt());
        return;
    }
    QWidget* w = requireWidget(ctl, control);
    switch (prop) {
    case Prop::Text:
    case Prop::Caption:
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            e->setText(q(value.toText()));
            e->setCursorPosition(0);
        } else if (auto* e = qobject_cast<QPlainTextEdit*>(w)) {
            const QString text = toDisplay(value.toText());
            if (e->toPlainText() == text)
                return;
            e->setPlainText(text);
        } else if (auto* l = qobject_cast<QLabel*>(w)) {
            l->setText(toDisplay(value.toText()));
        } else if (auto* b = qobject_cast<QPushButton*>(w); b && ctl.kind == Kind::Button) {
            setButtonCaption(b, value.toText());
        } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            b->setText(q(value.toText()));
        } else {
            fatal("不支持的属性: " + control);
        }
        break;
    case Prop::Visible: w->setVisible(value.toBool()); break;
    case Prop::Enabled: w->setEnabled(value.toBool()); break;
    case Prop::Left:
    case Prop::Top:
    case Prop::Width:
    case Prop::Height: {
        const int v = value.toInt();
        QRect r = w->geometry();
        if (prop == Prop::Left) r.moveLeft(clampCoord(v));
        if (prop == Prop::Top) r.moveTop(clampCoord(v));
        if (prop == Prop::Width) r.setWidth(clampSize(v));
        if (prop == Prop::Height) r.setHeight(clampSize(v));
        if (r == w->geometry())
            return; // nothing moves, nothing to repaint
        const bool resized = r.size() != w->size();
        w->setGeometry(r);
        if (win->colourKeyed) {
            if (resized)
                win->regionCache.erase(w);
            scheduleMaskUpdate(*win);
        }
        return;
    }
    case Prop::TextColour:
        setColour(w, qobject_cast<QLabel*>(w) ? QPalette::WindowText : QPalette::Text, value.toColour());
        w->repaint();
        break;
    case Prop::BackColour:
        setColour(w, qobject_cast<QLabel*>(w) ? QPalette::Window : QPalette::Base, value.toColour());
        w->repaint();
        break;
    default: fatal("不支持的属性: " + control);
    }
    if (win->colourKeyed) {
        win->regionCache.erase(w);
        scheduleMaskUpdate(*win);
    }
}

void QtRuntime::writeWindowProperty(Win& win, Prop prop, const Value& value)
{
    switch (prop) {
    case Prop::AlwaysOnTop:
        win.topMost = value.toBool();
        applyTopMost(win);
        break;
    case Prop::Position: writePosition(win, value.toInt()); break;
    case Prop::BackColour:
        win.widget->setAutoFillBackground(true);
        setColour(win.widget.get(), QPalette::Window, value.toColour());
        win.widget->repaint();
        if (win.colourKeyed)
            scheduleMaskUpdate(win);
        break;
    default: fatal("不支持的窗口属性");
    }
}

void QtRuntime::writePosition(Win& win, int position)
{
    win.position = std::clamp(position, 0, 3);
    if (!win.widget->isVisible() && !win.widget->isMinimized())
        return; // only stored until the window is shown
    TopWindow* top = win.widget.get();
    switch (win.position) {
    case 0: top->showNormal(); break;
    case 1: {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QRect frame = top->frameGeometry();
        top->move((screen.width() - frame.width()) / 2, (screen.height() - frame.height()) / 2);
        break;
    }
    case 2: top->showMinimized(); break;
    case 3: top->showMaximized(); break;
    }
    win.aboveSent = false;
    applyTopMost(win);
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
    return 1; // IDOK
}

int QtRuntime::pointerX() { return QCursor::pos().x(); }
int QtRuntime::pointerY() { return QCursor::pos().y(); }
int QtRuntime::screenWidth() { return QGuiApplication::primaryScreen()->geometry().width(); }
int QtRuntime::screenHeight() { return QGuiApplication::primaryScreen()->geometry().height(); }

// ---------------------------------------------------------------- input device

void QtRuntime::selectInputDevices(const std::string& window, const std::string& control, bool mouse, bool, bool)
{
    auto win = require(window);
    Control& ctl = requireControl(*win, control);
    if (ctl.device)
        ctl.device->mouse = mouse;
}

void QtRuntime::setInputSamplingPeriod(const std::string& window, const std::string& control, int ms)
{
    auto win = require(window);
    Control& ctl = requireControl(*win, control);
    if (!ctl.device)
        return;
    ctl.device->period = std::max(ms, 0);
    ctl.device->timer.stop();
    if (ctl.device->started && ctl.device->period > 0)
        ctl.device->timer.start(ctl.device->period);
}

void QtRuntime::startInputDevice(const std::string& window, const std::string& control, NativeHandle)
{
    auto win = require(window);
    Control& ctl = requireControl(*win, control);
    Device* dev = ctl.device.get();
    if (!dev || !dev->mouse)
        return;
    dev->source = m_platform.openMouse();
    std::array<bool, 3> downAtStart{}, released{};
    if (dev->source)
        dev->source->sample(downAtStart, released);
    dev->machine = ButtonStateMachine(downAtStart);
    dev->started = true;
    if (dev->period > 0)
        dev->timer.start(dev->period);
}

// ---------------------------------------------------------------- colour key, click-through

void QtRuntime::applyColourKey(std::uintptr_t window, bool on, std::uint32_t key)
{
    auto win = findByHandle(window);
    if (!win)
        return;
    win->colourKeyed = on;
    win->key = key;
    win->regionCache.clear();
    if (!on) {
        win->widget->clearMask();
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
    if (top->mask() != region)
        top->setMask(region);
}

} // namespace vantorel::qt
