#include "runtime/qt/X11Window.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/shape.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <cstdlib>
#include <thread>

namespace vantorel::x11 {

Display* display()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

bool windowManagerRunning(Display* dpy)
{
    Atom check = XInternAtom(dpy, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    bool found = XGetWindowProperty(dpy, DefaultRootWindow(dpy), check, 0, 1, False, XA_WINDOW, &type, &format,
                                    &count, &after, &data) == Success && count == 1;
    if (data)
        XFree(data);
    return found;
}

void setAbove(Display* dpy, XWindow window, bool above)
{
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = window;
    ev.xclient.message_type = XInternAtom(dpy, "_NET_WM_STATE", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = above ? 1 : 0; // _NET_WM_STATE_ADD / _REMOVE
    ev.xclient.data.l[1] = static_cast<long>(XInternAtom(dpy, "_NET_WM_STATE_ABOVE", False));
    ev.xclient.data.l[3] = 1; // source: a normal application
    XSendEvent(dpy, DefaultRootWindow(dpy), False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
    XFlush(dpy);
}

namespace {
bool readCardinals(Display* dpy, XWindow window, const char* name, long* out, unsigned long n)
{
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    const bool ok = XGetWindowProperty(dpy, window, XInternAtom(dpy, name, False), 0, static_cast<long>(n), False,
                                       XA_CARDINAL, &type, &format, &count, &after, &data) == Success &&
                    format == 32 && count >= n;
    if (ok)
        for (unsigned long i = 0; i < n; ++i)
            out[i] = reinterpret_cast<long*>(data)[i];
    if (data)
        XFree(data);
    return ok;
}
} // namespace

bool frameExtents(Display* dpy, XWindow window, Extents& out)
{
    long v[4];
    if (!readCardinals(dpy, window, "_NET_FRAME_EXTENTS", v, 4))
        return false;
    out = {static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]), static_cast<int>(v[3])};
    return true;
}

unsigned long atom(const char* name)
{
    Display* dpy = display();
    return dpy ? XInternAtom(dpy, name, False) : 0;
}

Extents requestFrameExtents(Display* dpy, XWindow window)
{
    Extents e;
    if (!windowManagerRunning(dpy))
        return e;
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = window;
    ev.xclient.message_type = XInternAtom(dpy, "_NET_REQUEST_FRAME_EXTENTS", False);
    ev.xclient.format = 32;
    XSendEvent(dpy, DefaultRootWindow(dpy), False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
    // The manager answers within a round trip or two; give up after 250 ms.
    for (int i = 0; i < 125; ++i) {
        XSync(dpy, False);
        if (frameExtents(dpy, window, e))
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return e;
}

void declineCompositorShadow(Display* dpy, XWindow window)
{
    const unsigned long none = 0;
    XChangeProperty(dpy, window, XInternAtom(dpy, "_COMPTON_SHADOW", False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&none), 1);
    XFlush(dpy);
}

void declareOpaque(Display* dpy, XWindow window)
{
    const unsigned long opaque = 0xFFFFFFFFul;
    XChangeProperty(dpy, window, XInternAtom(dpy, "_NET_WM_WINDOW_OPACITY", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&opaque), 1);
    XFlush(dpy);
}

bool compositorRunning(Display* dpy)
{
    const std::string name = "_NET_WM_CM_S" + std::to_string(DefaultScreen(dpy));
    return XGetSelectionOwner(dpy, XInternAtom(dpy, name.c_str(), False)) != None;
}

bool propertyChangesWatched(Display* dpy, XWindow window)
{
    const std::vector<XWindow> chain = selfAndAncestors(dpy, window);
    XWindowAttributes attrs;
    return !chain.empty() && XGetWindowAttributes(dpy, chain.back(), &attrs) &&
           (attrs.all_event_masks & PropertyChangeMask);
}

void showIfIconic(Display* dpy, XWindow window)
{
    const Atom wmState = XInternAtom(dpy, "WM_STATE", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    const bool iconic = XGetWindowProperty(dpy, window, wmState, 0, 2, False, wmState, &type, &format, &count,
                                           &after, &data) == Success &&
                        format == 32 && count >= 1 && reinterpret_cast<long*>(data)[0] == IconicState;
    if (data)
        XFree(data);
    if (iconic) {
        XMapWindow(dpy, window);
        XFlush(dpy);
    }
}

std::vector<XWindow> selfAndAncestors(Display* dpy, XWindow window)
{
    std::vector<XWindow> chain;
    const XWindow root = DefaultRootWindow(dpy);
    while (window && window != root) {
        chain.push_back(window);
        Window rootRet, parent;
        Window* children = nullptr;
        unsigned n = 0;
        if (!XQueryTree(dpy, window, &rootRet, &parent, &children, &n))
            break;
        if (children)
            XFree(children);
        window = parent;
    }
    return chain;
}

namespace {
/// The modifier bits of the lock keys: Caps Lock, and whichever modifiers Num Lock and Scroll Lock are on.
std::vector<unsigned> lockCombinations(Display* dpy)
{
    unsigned locks[3] = {LockMask, 0, 0};
    if (XModifierKeymap* map = XGetModifierMapping(dpy)) {
        const KeyCode num = XKeysymToKeycode(dpy, XK_Num_Lock), scroll = XKeysymToKeycode(dpy, XK_Scroll_Lock);
        for (int mod = 0; mod < 8; ++mod)
            for (int k = 0; k < map->max_keypermod; ++k) {
                const KeyCode code = map->modifiermap[mod * map->max_keypermod + k];
                if (code && code == num)
                    locks[1] = 1u << mod;
                if (code && code == scroll)
                    locks[2] = 1u << mod;
            }
        XFreeModifiermap(map);
    }
    std::vector<unsigned> combos;
    for (unsigned bits = 0; bits < 8; ++bits) {
        unsigned m = 0;
        for (int i = 0; i < 3; ++i)
            if (bits & (1u << i))
                m |= locks[i];
        if (std::find(combos.begin(), combos.end(), m) == combos.end())
            combos.push_back(m);
    }
    return combos;
}
} // namespace

bool grabKeyAnywhere(Display* dpy, unsigned long keysym, bool grab, unsigned& keycode)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* conn = x11 ? x11->connection() : nullptr;
    keycode = XKeysymToKeycode(dpy, keysym);
    if (!conn || !keycode)
        return false;
    const xcb_window_t root = DefaultRootWindow(dpy);
    const auto combos = lockCombinations(dpy);
    XSync(dpy, False); // Xlib's requests before xcb's
    if (!grab) {
        for (unsigned m : combos)
            xcb_ungrab_key(conn, static_cast<xcb_keycode_t>(keycode), root, static_cast<std::uint16_t>(m));
        xcb_flush(conn);
        return true;
    }
    // Checked requests: a grab someone else holds is refused with an error we
    // look at here, instead of one the toolkit would report.
    std::vector<xcb_void_cookie_t> cookies;
    for (unsigned m : combos)
        cookies.push_back(xcb_grab_key_checked(conn, 1, root, static_cast<std::uint16_t>(m),
                                               static_cast<xcb_keycode_t>(keycode), XCB_GRAB_MODE_ASYNC,
                                               XCB_GRAB_MODE_ASYNC));
    bool all = true;
    for (auto cookie : cookies)
        if (xcb_generic_error_t* error = xcb_request_check(conn, cookie)) {
            all = false;
            std::free(error);
        }
    if (!all) {
        for (unsigned m : combos)
            xcb_ungrab_key(conn, static_cast<xcb_keycode_t>(keycode), root, static_cast<std::uint16_t>(m));
        xcb_flush(conn);
    }
    return all;
}

void setInputTransparent(Display* dpy, XWindow window, bool transparent)
{
    if (transparent) {
        XserverRegion empty = XFixesCreateRegion(dpy, nullptr, 0);
        XFixesSetWindowShapeRegion(dpy, window, ShapeInput, 0, 0, empty);
        XFixesDestroyRegion(dpy, empty);
    } else {
        XFixesSetWindowShapeRegion(dpy, window, ShapeInput, 0, 0, None); // back to the default shape
    }
    XFlush(dpy);
}

bool topOfClientStack(Display* dpy, XWindow window)
{
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    // Only the last entry matters: read the length first, then that one window.
    const Atom stacking = XInternAtom(dpy, "_NET_CLIENT_LIST_STACKING", False);
    if (XGetWindowProperty(dpy, DefaultRootWindow(dpy), stacking, 0, 0, False, XA_WINDOW, &type, &format, &count,
                           &after, &data) != Success || format != 32 || after < 4) {
        if (data)
            XFree(data);
        return false;
    }
    XFree(data);
    data = nullptr;
    const bool top = XGetWindowProperty(dpy, DefaultRootWindow(dpy), stacking, static_cast<long>(after / 4 - 1), 1,
                                        False, XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
                     count == 1 && reinterpret_cast<Window*>(data)[0] == window;
    if (data)
        XFree(data);
    return top;
}

void setVisibleShape(Display* dpy, XWindow window, const std::vector<ShapeRect>& rects)
{
    std::vector<XRectangle> xrects;
    xrects.reserve(rects.size());
    for (const ShapeRect& r : rects)
        xrects.push_back({static_cast<short>(r.x), static_cast<short>(r.y), static_cast<unsigned short>(r.width),
                          static_cast<unsigned short>(r.height)});
    XShapeCombineRectangles(dpy, window, ShapeBounding, 0, 0, xrects.data(), static_cast<int>(xrects.size()), ShapeSet,
                            Unsorted);
    XFlush(dpy);
}

void clearVisibleShape(Display* dpy, XWindow window)
{
    XShapeCombineMask(dpy, window, ShapeBounding, 0, 0, None, ShapeSet);
    XFlush(dpy);
}

} // namespace vantorel::x11
