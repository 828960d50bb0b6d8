#include "platform/x11/X11Platform.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>

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
    XTestFakeMotionEvent(m_display, -1, x, y, CurrentTime);
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

std::int32_t X11Platform::GetWindowLongA(WindowHandle window, int index)
{
    if (index != GWL_EXSTYLE)
        return 0;
    auto it = m_layered.find(window);
    return it == m_layered.end() ? 0 : it->second.exStyle;
}

std::int32_t X11Platform::SetWindowLongA(WindowHandle window, int index, std::int32_t value)
{
    if (index != GWL_EXSTYLE)
        return 0;
    auto& state = m_layered[window];
    const std::int32_t previous = state.exStyle;
    state.exStyle = value;
    applyEffects(window);
    return previous;
}

bool X11Platform::SetLayeredWindowAttributes(WindowHandle window, std::uint32_t colourKey, std::uint8_t, std::uint32_t flags)
{
    auto& state = m_layered[window];
    if (!(state.exStyle & WS_EX_LAYERED))
        return false;
    state.hasKey = (flags & LWA_COLORKEY) != 0;
    state.key = colourKey;
    applyEffects(window);
    return true;
}

void X11Platform::applyEffects(WindowHandle window)
{
    if (!m_effects)
        return;
    const auto& state = m_layered[window];
    m_effects->applyColourKey(window, (state.exStyle & WS_EX_LAYERED) && state.hasKey, state.key);
    m_effects->applyClickThrough(window, (state.exStyle & WS_EX_TRANSPARENT) != 0);
}

bool X11Platform::SetPropA(WindowHandle window, const std::string& name, std::uintptr_t value)
{
    m_props[{window, name}] = value;
    return true;
}

std::uintptr_t X11Platform::GetPropA(WindowHandle window, const std::string& name)
{
    auto it = m_props.find({window, name});
    return it == m_props.end() ? 0 : it->second;
}

std::uintptr_t X11Platform::RemovePropA(WindowHandle window, const std::string& name)
{
    auto it = m_props.find({window, name});
    if (it == m_props.end())
        return 0;
    const std::uintptr_t value = it->second;
    m_props.erase(it);
    return value;
}

std::unique_ptr<MouseButtonSource> X11Platform::openMouse() { return RawMouseSource::open(); }

} // namespace vantorel
