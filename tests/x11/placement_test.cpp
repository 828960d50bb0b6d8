// The main window comes up at its size and centred on every launch, under
// whichever window manager runs it (tools/with-x.sh picks it) and on a busy
// machine, where the manager's frame may be announced late or differently.

#include "tests/x11/ProgramFixture.h"

#include <atomic>
#include <cstdlib>
#include <sstream>
#include <thread>

using namespace vantorel::test;

namespace {

constexpr int kOuterWidth = 487, kOuterHeight = 612;
constexpr int kWidestControlRight = 482; // a thicker frame than 5 px would cut it off

/// Keeps every core busy while it lives.
class Load {
public:
    Load()
    {
        for (unsigned i = 0; i < std::max(2u, std::thread::hardware_concurrency()); ++i)
            m_threads.emplace_back([this] {
                volatile unsigned long spin = 0;
                while (!m_stop.load(std::memory_order_relaxed))
                    spin = spin + 1;
            });
    }
    ~Load()
    {
        m_stop = true;
        for (auto& t : m_threads)
            t.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::vector<std::thread> m_threads;
};

class Placement : public ProgramProcess {};

TEST_F(Placement, TheMainWindowComesUpAtItsSizeAndCentredOnEveryLaunchUnderLoad)
{
    const char* launchesVar = std::getenv("VANTOREL_LAUNCHES");
    const int launches = launchesVar ? std::atoi(launchesVar) : 20;
    Load load;
    for (int i = 0; i < launches; ++i) {
        SCOPED_TRACE(testing::Message() << "launch " << i + 1);
        startProgram();
        XDriver::Rect expected, frame;
        // Wait for the manager's frame to settle, then check that it stays.
        auto settled = [&] {
            const auto ext = x.cardinals(main, "_NET_FRAME_EXTENTS");
            if (ext.size() != 4)
                return false;
            const int width = std::max<int>(kOuterWidth, kWidestControlRight + ext[0] + ext[1]);
            expected = {(1920 - width) / 2, (1080 - kOuterHeight) / 2, width, kOuterHeight};
            frame = x.frameRect(main);
            return frame == expected;
        };
        waitFor(settled, 6000);
        waitFor([] { return false; }, 300);
        const bool right = settled();
        EXPECT_TRUE(right) << "frame " << frame.width << "x" << frame.height << "+" << frame.x << "+" << frame.y
                           << ", expected " << expected.width << "x" << expected.height << "+" << expected.x << "+"
                           << expected.y;
        x.requestClose(main);
        ASSERT_EQ(program->wait(10000), 0);
        waitFor([&] { return x.findByTitle("Vantorel").empty(); }, 3000);
        if (!right)
            break;
    }
}

} // namespace
