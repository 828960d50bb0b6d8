#include "platform/x11/X11Platform.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace vantorel {
namespace {

constexpr std::uint64_t kReleaseWaitLimitUs = 200000;

std::uint64_t nowUs()
{
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

bool hasExtension(Display* dpy, const char* name)
{
    int opcode, event, error;
    return XQueryExtension(dpy, name, &opcode, &event, &error);
}

/// Buttons seen through XInput2 raw events on a connection of its own, so a
/// press released before the next sample still counts once.
class RawMouseSource : public MouseButtonSource {
public:
    static std::unique_ptr<RawMouseSource> open()
    {
        Display* dpy = XOpenDisplay(nullptr);
        if (!dpy)
            return nullptr;
        int opcode, event, error, major = 2, minor = 2;
        if (!XQueryExtension(dpy, "XInputExtension", &opcode, &event, &error) ||
            XIQueryVersion(dpy, &major, &minor) != Success) {
            XCloseDisplay(dpy);
            return nullptr;
        }
        unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
        XISetMask(bits, XI_RawButtonPress);
        XISetMask(bits, XI_RawButtonRelease);
        XIEventMask mask{XIAllMasterDevices, sizeof bits, bits};
        XISelectEvents(dpy, DefaultRootWindow(dpy), &mask, 1);
        XSync(dpy, False);
        return std::unique_ptr<RawMouseSource>(new RawMouseSource(dpy, opcode));
    }
    ~RawMouseSource() override { XCloseDisplay(m_dpy); }

    bool sample(std::array<bool, 3>& down, std::array<bool, 3>& released) override
    {
        std::array<bool, 3> pressedSince{};
        released = {};
        while (XPending(m_dpy)) {
            XEvent ev;
            XNextEvent(m_dpy, &ev);
            XGenericEventCookie* cookie = &ev.xcookie;
            if (cookie->type != GenericEvent || cookie->extension != m_opcode || !XGetEventData(m_dpy, cookie))
                continue;
            const auto* raw = static_cast<XIRawEvent*>(cookie->data);
            const int index = buttonIndex(raw->detail);
            if (index >= 0)
                (cookie->evtype == XI_RawButtonPress ? pressedSince : released)[index] = true;
            XFreeEventData(m_dpy, cookie);
        }
        Window root, child;
        int rx, ry, wx, wy;
        unsigned mask = 0;
        if (!XQueryPointer(m_dpy, DefaultRootWindow(m_dpy), &root, &child, &rx, &ry, &wx, &wy, &mask))
            return false;
        const std::array<bool, 3> held{(mask & Button1Mask) != 0, (mask & Button3Mask) != 0, (mask & Button2Mask) != 0};
        for (int b = 0; b < 3; ++b)
            down[b] = held[b] || pressedSince[b];
        return true;
    }

private:
    RawMouseSource(Display* dpy, int opcode) : m_dpy(dpy), m_opcode(opcode) {}
    static int buttonIndex(int button) { return button == 1 ? 0 : button == 3 ? 1 : button == 2 ? 2 : -1; }

    Display* m_dpy;
    int m_opcode;
};

} // namespace

X11Platform::X11Platform() : m_display(XOpenDisplay(nullptr)) {}

X11Platform::~X11Platform()
{
    if (m_display)
        XCloseDisplay(m_display);
}

std::string X11Platform::missingExtensions(Display* display)
{
    std::string missing;
    for (const char* ext : {"XTEST", "XInputExtension", "SHAPE", "XFIXES"})
        if (!hasExtension(display, ext))
            missing += std::string(missing.empty() ? "" : ", ") + ext;
    return missing;
}

void X11Platform::awaitDelivery()
{
    // Under a click-to-focus window manager a click on a managed window goes
    // through the manager's synchronous button grab: the server holds the
    // click back until the manager replays it, and a move or click sent
    // meanwhile overtakes it. The server's button state shows a release only
    // once it has really been processed, so after each click wait until no
    // button reads down (at once when nobody grabs for the window). Querying
    // the state takes no events from anyone, unlike a probing grab would.
    const std::uint64_t deadline = nowUs() + kReleaseWaitLimitUs;
    for (;;) {
        Window root, child;
        int rx, ry, wx, wy;
        unsigned mask = 0;
        XQueryPointer(m_display, DefaultRootWindow(m_display), &root, &child, &rx, &ry, &wx, &wy, &mask);
        if (!(mask & (Button1Mask | Button2Mask | Button3Mask)))
            return;
        if (nowUs() >= deadline)
            return; // the user holds a button down: do not hang
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
}

void X11Platform::SetCursorPos(int x, int y)
{
    // XTest carries 16-bit coordinates: a place far off the screen would wrap
    // around onto it. Keep the pointer on the screen, as the system does.
    const int screen = DefaultScreen(m_display);
    x = std::clamp(x, 0, DisplayWidth(m_display, screen) - 1);
    y = std::clamp(y, 0, DisplayHeight(m_display, screen) - 1);
    XTestFakeMotionEvent(m_display, screen, x, y, CurrentTime);
    XFlush(m_display);
}

void X11Platform::mouse_event(std::uint32_t flags, std::int32_t, std::int32_t, std::uint32_t, std::uintptr_t)
{
    unsigned button = 0;
    bool press = false;
    switch (flags) {
    case MOUSEEVENTF_LEFTDOWN: button = 1, press = true; break;
    case MOUSEEVENTF_LEFTUP: button = 1; break;
    case MOUSEEVENTF_RIGHTDOWN: button = 3, press = true; break;
    case MOUSEEVENTF_RIGHTUP: button = 3; break;
    default: return;
    }
    XTestFakeButtonEvent(m_display, button, press, CurrentTime);
    XFlush(m_display);
    if (!press)
        awaitDelivery();
}

std::int64_t X11Platform::monotonicMicroseconds() { return static_cast<std::int64_t>(nowUs()); }

// The extended style, the colour key and the program's window properties are
// kept as properties of the X window itself, so they go with the window.
namespace {
const char* const kExStyleProperty = "_VANTOREL_EXSTYLE";
const char* const kColourKeyProperty = "_VANTOREL_COLOURKEY";

bool readWindowProperty(Display* dpy, WindowHandle window, const std::string& name, std::uintptr_t& value)
{
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    const bool found = XGetWindowProperty(dpy, window, XInternAtom(dpy, name.c_str(), False), 0, 1, False,
                                          XA_CARDINAL, &type, &format, &count, &after, &data) == Success &&
                       type == XA_CARDINAL && format == 32 && count == 1;
    if (found)
        value = static_cast<std::uintptr_t>(*reinterpret_cast<unsigned long*>(data));
    if (data)
        XFree(data);
    return found;
}

void writeWindowProperty(Display* dpy, WindowHandle window, const std::string& name, std::uintptr_t value)
{
    const unsigned long v = value;
    XChangeProperty(dpy, window, XInternAtom(dpy, name.c_str(), False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&v), 1);
    XFlush(dpy);
}

std::int32_t asInt32(std::uintptr_t value) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(value)); }
} // namespace

std::int32_t X11Platform::GetWindowLongA(WindowHandle window, int index)
{
    std::uintptr_t style = 0;
    if (index == GWL_EXSTYLE)
        readWindowProperty(m_display, window, kExStyleProperty, style);
    return asInt32(style);
}

std::int32_t X11Platform::SetWindowLongA(WindowHandle window, int index, std::int32_t value)
{
    if (index != GWL_EXSTYLE)
        return 0;
    const std::int32_t previous = GetWindowLongA(window, index);
    writeWindowProperty(m_display, window, kExStyleProperty, static_cast<std::uint32_t>(value));
    applyEffects(window);
    return previous;
}

bool X11Platform::SetLayeredWindowAttributes(WindowHandle window, std::uint32_t colourKey, std::uint8_t, std::uint32_t flags)
{
    if (!(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED))
        return false;
    if (flags & LWA_COLORKEY)
        writeWindowProperty(m_display, window, kColourKeyProperty, colourKey);
    else
        XDeleteProperty(m_display, window, XInternAtom(m_display, kColourKeyProperty, False));
    applyEffects(window);
    return true;
}

void X11Platform::applyEffects(WindowHandle window)
{
    if (!m_effects)
        return;
    const std::int32_t style = GetWindowLongA(window, GWL_EXSTYLE);
    std::uintptr_t key = 0;
    const bool keyed = readWindowProperty(m_display, window, kColourKeyProperty, key);
    m_effects->applyColourKey(window, (style & WS_EX_LAYERED) && keyed, static_cast<std::uint32_t>(key));
    m_effects->applyClickThrough(window, (style & WS_EX_TRANSPARENT) != 0);
}

bool X11Platform::SetPropA(WindowHandle window, const std::string& name, std::uintptr_t value)
{
    writeWindowProperty(m_display, window, name, value);
    return true;
}

std::uintptr_t X11Platform::GetPropA(WindowHandle window, const std::string& name)
{
    std::uintptr_t value = 0;
    readWindowProperty(m_display, window, name, value);
    return value;
}

std::uintptr_t X11Platform::RemovePropA(WindowHandle window, const std::string& name)
{
    const std::uintptr_t value = GetPropA(window, name);
    XDeleteProperty(m_display, window, XInternAtom(m_display, name.c_str(), False));
    XFlush(m_display);
    return value;
}

std::unique_ptr<MouseButtonSource> X11Platform::openMouse() { return RawMouseSource::open(); }

} // namespace vantorel
