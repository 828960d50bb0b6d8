// The program as a user runs it: started on its own, driven through real X
// input, clicking into a recorder window that the window manager manages.

#include "tests/x11/ProgramFixture.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

using namespace vantorel::test;

namespace {

class Program : public ProgramProcess {};

TEST_F(Program, WithoutADisplayItSaysSoInOneLineAndFails)
{
    Child noDisplay({buildDir() + "/../vantorel"}, true);
    const int code = noDisplay.wait(10000);
    EXPECT_NE(code, 0);
    EXPECT_NE(code, -1);
    const std::string err = noDisplay.err();
    EXPECT_NE(err.find("display"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

TEST_F(Program, InAWaylandSessionABoxSaysSoOnceAndThenItGoesOnAsUsual)
{
    const char* const title = "提示：当前是 Wayland 桌面";
    for (const char* session : {"WAYLAND_DISPLAY=wayland-0", "XDG_SESSION_TYPE=wayland"}) {
        SCOPED_TRACE(session);
        startProgram({session});
        std::vector<Window> boxes;
        ASSERT_TRUE(waitFor([&] { return !(boxes = x.findByTitle(title)).empty() && x.wmState(boxes[0]) == 1; }, 5000));
        x.key("Return"); // the box has the focus
        ASSERT_TRUE(waitFor([&] { return x.findByTitle(title).empty(); }, 3000));
        waitFor([] { return false; }, 500);
        EXPECT_TRUE(x.findByTitle(title).empty()); // once
        EXPECT_EQ(x.wmState(main), 1);
        typeInto(kXColumn, slotRow(1), "5"); // then as usual
        x.key("Escape");
        EXPECT_EQ(program->wait(5000), 0);
        expectCleanErrors();
    }
    startProgram({"XDG_SESSION_TYPE=x11"});
    waitFor([] { return false; }, 700); // the box would come right after the main window
    EXPECT_TRUE(x.findByTitle(title).empty());
}

TEST_F(Program, EscClosesTheMainWindowAndEndsTheProcessWithZero)
{
    startProgram();
    typeInto(kXColumn, slotRow(1), "5"); // a box has the focus
    x.key("Escape");
    EXPECT_EQ(program->wait(5000), 0);
    expectCleanErrors();
}

TEST_F(Program, ARunClicksEverySlotWholeAndInPlaceOnAManagedWindow)
{
    startRecorder("600x500+40+60");
    startProgram();
    // slot 1: left click; slot 2: left double click; slot 3: right click;
    // slot 4: right double click; all at different places, no delays.
    const int places[4][2] = {{100, 120}, {400, 150}, {250, 400}, {560, 500}};
    const char* actions[4] = {nullptr, "Down", "Down Down", "Down Down Down"};
    for (int k = 1; k <= 4; ++k) {
        typeInto(kXColumn, slotRow(k), std::to_string(places[k - 1][0]));
        typeInto(kYColumn, slotRow(k), std::to_string(places[k - 1][1]));
        typeInto(kDelayColumn, slotRow(k), "0");
        if (actions[k - 1]) { // pick the action in the drop-down list by keyboard
            int sx, sy;
            at(256, 223 + 31 * (k - 1) + 10, sx, sy);
            x.click(sx, sy);
            std::istringstream keys(actions[k - 1]);
            for (std::string key; keys >> key;)
                x.key(key.c_str());
            x.key("Return");
        }
    }
    typeInto(453, 238, "1"); // repeat count
    typeInto(454, 279, "0"); // end-of-pass delay
    int sx, sy;
    at(421, 328, sx, sy);
    x.click(sx, sy); // 启动
    ASSERT_TRUE(waitFor([&] { return clicks().size() >= 12; }, 9000)) << recorder->out();
    waitFor([] { return false; }, 500);

    const auto got = clicks();
    struct Expect { const char* kind; int button, x, y; };
    const Expect expected[] = {
        {"press", 1, 100, 120}, {"release", 1, 100, 120},
        {"press", 1, 400, 150}, {"release", 1, 400, 150}, {"press", 1, 400, 150}, {"release", 1, 400, 150},
        {"press", 3, 250, 400}, {"release", 3, 250, 400},
        {"press", 3, 560, 500}, {"release", 3, 560, 500}, {"press", 3, 560, 500}, {"release", 3, 560, 500},
    };
    ASSERT_EQ(got.size(), std::size(expected)) << recorder->out();
    for (std::size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(got[i].kind, expected[i].kind);
        EXPECT_EQ(got[i].button, expected[i].button);
        EXPECT_EQ(got[i].x, expected[i].x);
        EXPECT_EQ(got[i].y, expected[i].y);
    }
    // the double click's two presses are close enough to be one double click
    EXPECT_LT(got[4].time - got[2].time, 400u);
    EXPECT_LT(got[10].time - got[8].time, 400u);
    expectCleanErrors();
}

TEST_F(Program, ClosingTheWindowDuringARunStopsTheClicksAndEndsWithZero)
{
    startRecorder("300x300+40+60");
    startProgram();
    typeInto(kXColumn, slotRow(1), "150");
    typeInto(kYColumn, slotRow(1), "150");
    typeInto(kDelayColumn, slotRow(1), "700");
    typeInto(453, 238, "5");
    int sx, sy;
    at(421, 328, sx, sy);
    x.click(sx, sy);
    ASSERT_TRUE(waitFor([&] { return clicks().size() >= 2; }, 9000));
    x.requestClose(main); // as the close button does, while the run waits
    EXPECT_EQ(program->wait(5000), 0);
    const auto count = clicks().size();
    waitFor([] { return false; }, 1000);
    EXPECT_EQ(clicks().size(), count);
    EXPECT_LE(count, 4u);
    expectCleanErrors();
}

TEST_F(Program, ACloseRequestEndsARunWithEveryDelayZeroAndNoEnd)
{
    startRecorder("300x300+40+60", true);
    startProgram();
    typeInto(kXColumn, slotRow(1), "150");
    typeInto(kYColumn, slotRow(1), "150");
    typeInto(kDelayColumn, slotRow(1), "0");
    typeInto(453, 238, "2147483647"); // repeat count: passes and clicks per visit
    typeInto(454, 279, "0");          // end-of-pass delay
    int sx, sy;
    at(421, 328, sx, sy);
    x.click(sx, sy);
    ASSERT_TRUE(waitFor([&] { return clicks().size() >= 200; }, 15000)) << recorder->out();
    x.requestClose(main); // as the close button does, in the middle of the clicks
    EXPECT_EQ(program->wait(5000), 0);
    const auto count = clicks().size();
    waitFor([] { return false; }, 500);
    EXPECT_EQ(clicks().size(), count);
    expectCleanErrors();
}

/// True when this client could take Esc on the root window, i.e. no other client holds it.
bool escapeIsFree(Display* dpy)
{
    static bool refused;
    refused = false;
    auto* previous = XSetErrorHandler([](Display*, XErrorEvent* e) {
        refused = refused || e->error_code == BadAccess;
        return 0;
    });
    const KeyCode esc = XKeysymToKeycode(dpy, XK_Escape);
    XGrabKey(dpy, esc, 0, DefaultRootWindow(dpy), True, GrabModeAsync, GrabModeAsync);
    XSync(dpy, False);
    XUngrabKey(dpy, esc, 0, DefaultRootWindow(dpy));
    XSync(dpy, False);
    XSetErrorHandler(previous);
    return !refused;
}

class EscAnywhere : public ProgramProcess {
protected:
    /// Slot 1 over the recorder, `delay` ms, `repeat` clicks; then start is pressed.
    void startARun(const char* delay, const char* repeat)
    {
        startRecorder("300x300+40+60");
        startProgram();
        typeInto(kXColumn, slotRow(1), "150");
        typeInto(kYColumn, slotRow(1), "150");
        typeInto(kDelayColumn, slotRow(1), delay);
        typeInto(453, 238, repeat);
        typeInto(454, 279, "0");
        int sx, sy;
        at(421, 328, sx, sy);
        x.click(sx, sy);
    }
};

TEST_F(EscAnywhere, EscInAnotherProgramsWindowClosesItDuringTheCountdown)
{
    startARun("0", "1");
    x.click(100, 100); // the recorder takes the keyboard focus
    x.key("Escape");
    EXPECT_EQ(program->wait(3000), 0);
    EXPECT_EQ(clicks().size(), 2u); // the focusing click's press and release: the run never began
    expectCleanErrors();
}

TEST_F(EscAnywhere, EscInAnotherProgramsWindowClosesItDuringTheRun)
{
    startARun("1500", "4");
    ASSERT_TRUE(waitFor([&] { return clicks().size() >= 2; }, 9000)); // the run's click focused the recorder
    EXPECT_FALSE(escapeIsFree(x.dpy())); // the program holds Esc now
    x.key("Escape");
    EXPECT_EQ(program->wait(3000), 0);
    EXPECT_LT(clicks().size(), 8u);
    expectCleanErrors();
}

TEST_F(EscAnywhere, EscInAnotherProgramsWindowClosesItDuringARunWithEveryDelayZero)
{
    startARun("0", "2147483647");
    ASSERT_TRUE(waitFor([&] { return clicks().size() >= 200; }, 15000)) << recorder->out();
    x.key("Escape");
    EXPECT_EQ(program->wait(5000), 0);
    expectCleanErrors();
}

TEST_F(EscAnywhere, IsGivenBackAfterTheRunAndLeftToAProgramThatHoldsIt)
{
    // Another program holds Esc: the run goes on as usual.
    const KeyCode esc = XKeysymToKeycode(x.dpy(), XK_Escape);
    XGrabKey(x.dpy(), esc, 0, x.root(), True, GrabModeAsync, GrabModeAsync);
    x.sync();
    startARun("0", "1");
    ASSERT_TRUE(waitFor([&] { return clicks().size() >= 2; }, 9000)) << recorder->out(); // press and release
    XUngrabKey(x.dpy(), esc, 0, x.root());
    x.sync();
    EXPECT_TRUE(program->running());

    // A second run takes Esc for its countdown and gives it back when it ends.
    int sx, sy;
    at(421, 328, sx, sy);
    x.click(sx, sy);
    waitFor([] { return false; }, 300);
    EXPECT_FALSE(escapeIsFree(x.dpy()));
    ASSERT_TRUE(waitFor([&] { return clicks().size() >= 4; }, 9000)) << recorder->out();
    EXPECT_TRUE(waitFor([&] { return escapeIsFree(x.dpy()); }, 2000)) << program->err();
    EXPECT_TRUE(program->running());
    x.requestClose(main);
    EXPECT_EQ(program->wait(5000), 0);
    expectCleanErrors();
}

} // namespace
