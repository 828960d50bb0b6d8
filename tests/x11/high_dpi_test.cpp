// The program on a desktop that asks for 150 % or 200 %: a position captured
// with the picker is the physical screen pixel that was clicked, the lines
// cross at the pointer, and a run clicks exactly there again.

#include "tests/x11/ProgramFixture.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdlib>

using namespace vantorel::test;

namespace {

constexpr unsigned long kBackground = 0x3060C0; // the recorder's colour
constexpr unsigned long kRed = 0xFF0000;
constexpr int kPickX = 700, kPickY = 900;

struct Scale {
    const char* name;
    const char* xftDpi;      // announced in the root window's resources, as desktops do
    const char* scaleFactor; // QT_SCALE_FACTOR, as a user may set it
};

class HighDpi : public ProgramProcess, public ::testing::WithParamInterface<Scale> {
protected:
    void SetUp() override
    {
        m_resources = XInternAtom(x.dpy(), "RESOURCE_MANAGER", False);
        m_saved = rootResources();
        const std::string announced = std::string("Xft.dpi:\t") + GetParam().xftDpi + "\n";
        setRootResources(announced);
        if (GetParam().scaleFactor)
            setenv("QT_SCALE_FACTOR", GetParam().scaleFactor, 1);
    }
    void TearDown() override
    {
        unsetenv("QT_SCALE_FACTOR");
        setRootResources(m_saved);
    }

    std::string rootResources()
    {
        Atom type;
        int format;
        unsigned long n, after;
        unsigned char* data = nullptr;
        std::string value;
        if (XGetWindowProperty(x.dpy(), x.root(), m_resources, 0, 1 << 16, False, XA_STRING, &type, &format, &n, &after,
                               &data) == Success && data)
            value.assign(reinterpret_cast<char*>(data), n);
        if (data)
            XFree(data);
        return value;
    }
    void setRootResources(const std::string& value)
    {
        if (value.empty())
            XDeleteProperty(x.dpy(), x.root(), m_resources);
        else
            XChangeProperty(x.dpy(), x.root(), m_resources, XA_STRING, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(value.data()), static_cast<int>(value.size()));
        x.sync();
    }

    bool lineNear(int fromX, int fromY, int dx, int dy)
    {
        for (int i = -3; i <= 3; ++i)
            if (x.pixel(fromX + i * dx, fromY + i * dy) == kRed)
                return true;
        return false;
    }

    Atom m_resources = 0;
    std::string m_saved;
};

TEST_P(HighDpi, ACapturedPositionIsThePixelClickedAndARunClicksThere)
{
    std::vector<std::string> args{buildDir() + "/recorder", "900x500+300+450", "--colour", "3060C0", "--title", "recorder"};
    recorder = std::make_unique<Child>(args);
    ASSERT_TRUE(waitFor([&] { return recorder->out().find("ready") != std::string::npos; }, 5000));
    startProgram();

    // Open the picker with a real press on the crosshair picture.
    int sx, sy;
    at(52, 44, sx, sy);
    x.move(sx, sy);
    x.button(1, true);
    ASSERT_TRUE(waitFor([&] { return x.wmState(main) == 3; }, 5000)) << "the picker did not open";
    x.button(1, false);
    x.move(kPickX, kPickY);
    // The lines follow within a few ticks; a busy machine may take longer.
    waitFor([&] { return lineNear(400, kPickY, 0, 1) && lineNear(kPickX, 600, 1, 0); }, 5000);

    // The lines cross at the pointer; elsewhere the recorder shows through.
    EXPECT_TRUE(lineNear(400, kPickY, 0, 1)) << "no horizontal line on the pointer's row";
    EXPECT_TRUE(lineNear(kPickX, 600, 1, 0)) << "no vertical line in the pointer's column";
    EXPECT_EQ(x.pixel(500, 520), kBackground);

    x.button(1, true);
    x.button(1, false);
    ASSERT_TRUE(waitFor([&] { return x.wmState(main) == 1; }, 5000)) << "the main window did not come back";
    waitFor([] { return false; }, 200);

    // Replay the captured slot once, at once.
    typeInto(kDelayColumn, slotRow(1), "0");
    typeInto(454, 279, "0");
    at(421, 328, sx, sy);
    x.click(sx, sy); // 启动
    ASSERT_TRUE(waitFor([&] { return clicks().size() >= 4; }, 10000)) << recorder->out();
    waitFor([] { return false; }, 300);

    const auto got = clicks();
    ASSERT_EQ(got.size(), 4u) << recorder->out(); // the capture's own click, then the replay
    for (const Click& c : got) {
        EXPECT_EQ(c.button, 1);
        EXPECT_EQ(c.x, kPickX);
        EXPECT_EQ(c.y, kPickY);
    }
    x.requestClose(main);
    EXPECT_EQ(program->wait(5000), 0);
    expectCleanErrors();
}

INSTANTIATE_TEST_SUITE_P(Scales, HighDpi,
                         ::testing::Values(Scale{"Dpi144", "144", nullptr}, Scale{"Dpi192", "192", nullptr},
                                           Scale{"QtScaleFactor2", "96", "2"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
