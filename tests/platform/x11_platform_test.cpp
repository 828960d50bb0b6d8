// The X11 platform on a real X server: pointer moves keep the pointer on the screen.

#include "platform/x11/X11Platform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <X11/Xlib.h> // after gtest: Xlib defines None

using namespace vantorel;

namespace {

struct Pointer {
    int x, y;
};

Pointer pointerOn(Display* dpy)
{
    Window root, child;
    int rx = 0, ry = 0, wx, wy;
    unsigned mask;
    XQueryPointer(dpy, DefaultRootWindow(dpy), &root, &child, &rx, &ry, &wx, &wy, &mask);
    return {rx, ry};
}

TEST(X11Platform, MovesBeyondTheScreenStopAtItsEdgeInsteadOfWrappingAround)
{
    Display* dpy = XOpenDisplay(nullptr);
    ASSERT_NE(dpy, nullptr);
    const int right = DisplayWidth(dpy, DefaultScreen(dpy)) - 1;
    const int bottom = DisplayHeight(dpy, DefaultScreen(dpy)) - 1;
    X11Platform platform;

    // XTest takes 16 bits: 65736 used to land at 200, -65336 at 200 as well.
    const struct {
        int x, y;
        Pointer expected;
    } cases[] = {
        {300, 400, {300, 400}},
        {65736, 200, {right, 200}},
        {-65336, 200, {0, 200}},
        {200, 65736, {200, bottom}},
        {200, -1, {200, 0}},
        {2147483647, -2147483647 - 1, {right, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
        platform.SetCursorPos(c.x, c.y);
        // The move travels on the platform's own connection: wait for it to arrive.
        Pointer at = pointerOn(dpy);
        for (int i = 0; i < 200 && (at.x != c.expected.x || at.y != c.expected.y); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            at = pointerOn(dpy);
        }
        EXPECT_EQ(at.x, c.expected.x);
        EXPECT_EQ(at.y, c.expected.y);
    }
    XCloseDisplay(dpy);
}

} // namespace
