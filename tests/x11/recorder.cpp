// A small X client that records the button events it receives, one line each:
// "press|release BUTTON ROOT_X ROOT_Y SERVER_TIME", then "ready" once mapped.
// With --marks it also draws a ring where each press landed (white: left
// button, yellow: others), so that a screenshot shows the clicks.
// Usage: recorder WxH+X+Y [--override] [--colour RRGGBB] [--title T] [--marks]

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: recorder WxH+X+Y [--override] [--colour RRGGBB] [--title T] [--marks]\n");
        return 2;
    }
    unsigned w = 300, h = 200;
    int x = 0, y = 0;
    std::sscanf(argv[1], "%ux%u+%d+%d", &w, &h, &x, &y);
    bool override = false;
    bool marks = false;
    unsigned long colour = 0x20A040;
    std::string title = "recorder";
    for (int i = 2; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--override"))
            override = true;
        else if (!std::strcmp(argv[i], "--colour") && i + 1 < argc)
            colour = std::strtoul(argv[++i], nullptr, 16);
        else if (!std::strcmp(argv[i], "--title") && i + 1 < argc)
            title = argv[++i];
        else if (!std::strcmp(argv[i], "--marks"))
            marks = true;
    }
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return 1;
    XSetWindowAttributes attrs{};
    attrs.override_redirect = override;
    attrs.background_pixel = colour;
    attrs.event_mask = ButtonPressMask | ButtonReleaseMask | StructureNotifyMask | ExposureMask;
    Window win = XCreateWindow(dpy, DefaultRootWindow(dpy), x, y, w, h, 0, CopyFromParent, InputOutput, CopyFromParent,
                               CWOverrideRedirect | CWBackPixel | CWEventMask, &attrs);
    XSizeHints hints{};
    hints.flags = USPosition | PPosition;
    hints.x = x, hints.y = y;
    XSetWMNormalHints(dpy, win, &hints);
    XStoreName(dpy, win, title.c_str());
    XChangeProperty(dpy, win, XInternAtom(dpy, "_NET_WM_NAME", False), XInternAtom(dpy, "UTF8_STRING", False), 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(title.c_str()), static_cast<int>(title.size()));
    XMapRaised(dpy, win);
    GC gc = XCreateGC(dpy, win, 0, nullptr);
    XSetLineAttributes(dpy, gc, 3, LineSolid, CapRound, JoinRound);
    struct Mark { int x, y; unsigned button; };
    std::vector<Mark> pressed;
    auto draw = [&](const Mark& m) {
        XSetForeground(dpy, gc, m.button == 1 ? 0xFFFFFF : 0xFFD020);
        XDrawArc(dpy, win, gc, m.x - 9, m.y - 9, 18, 18, 0, 360 * 64);
    };
    bool ready = false;
    for (;;) {
        XEvent ev;
        XNextEvent(dpy, &ev);
        if (ev.type == Expose) {
            for (const Mark& m : pressed)
                draw(m);
            if (!ready)
                std::printf("ready\n");
            ready = true;
        } else if (ev.type == ButtonPress || ev.type == ButtonRelease) {
            std::printf("%s %u %d %d %lu\n", ev.type == ButtonPress ? "press" : "release", ev.xbutton.button,
                        ev.xbutton.x_root, ev.xbutton.y_root, ev.xbutton.time);
            if (marks && ev.type == ButtonPress) {
                pressed.push_back({ev.xbutton.x, ev.xbutton.y, ev.xbutton.button});
                draw(pressed.back());
                XFlush(dpy);
            }
        }
        std::fflush(stdout);
    }
}
