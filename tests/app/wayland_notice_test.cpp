#include "app/WaylandNotice.h"

#include "tests/fake/ProgramFixture.h"

#include <cstdlib>

using namespace vantorel;
using vantorel::test::ProgramFixture;

namespace {

TEST(WaylandNotice, WhatCountsAsAWaylandSession)
{
    struct Case {
        const char* waylandDisplay;
        const char* sessionType;
        bool wayland;
    };
    // clang-format off
    const Case cases[] = {
        {nullptr,     nullptr,   false},
        {nullptr,     "x11",     false},
        {"",          "x11",     false},   // set but empty: no compositor to talk to
        {"wayland-0", nullptr,   true},
        {"wayland-1", "x11",     true},    // a Wayland compositor answers whatever the session says
        {nullptr,     "wayland", true},
        {"",          "wayland", true},
        {nullptr,     "tty",     false},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.waylandDisplay ? c.waylandDisplay : "(unset)") + " / " +
                     (c.sessionType ? c.sessionType : "(unset)"));
        EXPECT_EQ(isWaylandSession(c.waylandDisplay, c.sessionType), c.wayland);
    }
}

class WaylandNoticeAtStartUp : public ProgramFixture {
protected:
    void TearDown() override
    {
        unsetenv("WAYLAND_DISPLAY");
        unsetenv("XDG_SESSION_TYPE");
    }
};

TEST_F(WaylandNoticeAtStartUp, OneBoxInAWaylandSessionSayingWhatReachesWhereAndHowToGetX11)
{
    unsetenv("WAYLAND_DISPLAY");
    setenv("XDG_SESSION_TYPE", "x11", 1);
    warnIfWaylandSession(program);
    EXPECT_TRUE(rt.messageBoxes.empty());

    setenv("WAYLAND_DISPLAY", "wayland-0", 1);
    warnIfWaylandSession(program);
    ASSERT_EQ(rt.messageBoxes.size(), 1u);
    const std::string& box = rt.messageBoxes[0];
    for (const char* words : {"Wayland", "只能送到 X11 程序的窗口", "准星", "登录界面", "“Xorg”或“X11”", "照常运行"})
        EXPECT_NE(box.find(words), std::string::npos) << words;
    EXPECT_TRUE(rt.isLoaded(kMainWindow)); // and the program goes on
}

} // namespace
