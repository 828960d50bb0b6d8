// The Qt runtime's own rules: timers, deferred destruction, dialog mode,
// re-entrant dispatch and property limits. Runs on Qt's offscreen platform.

#include "runtime/qt/QtRuntime.h"
#include "tests/fake/FakeRuntime.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>

using namespace vantorel;

namespace {

WindowDef testWindow(const std::string& name, int period = 0)
{
    return {.name = name,
            .settings = {.title = name, .left = 10, .top = 10, .width = 200, .height = 150},
            .controls = {
                {.kind = Kind::Timer, .name = "时钟", .period = period},
                {.kind = Kind::EditBox, .name = "编辑框", .left = 5, .top = 5, .width = 60, .height = 24, .content = "x"},
                {.kind = Kind::ComboBox, .name = "组合框", .left = 5, .top = 40, .width = 80, .height = 21,
                 .items = {"a", "b"}, .selected = -1},
            }};
}

class QtRuntimeTest : public ::testing::Test {
protected:
    static qint64 now()
    {
        static QElapsedTimer clock = [] { QElapsedTimer c; c.start(); return c; }();
        return clock.elapsed();
    }
    void pumpFor(int ms)
    {
        const qint64 end = now() + ms;
        while (now() < end)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    void load(const std::string& name, std::vector<Binding> bindings, int period = 0, bool dialog = false)
    {
        rt.loadWindow(testWindow(name, period), std::move(bindings), dialog);
    }
    void TearDown() override
    {
        for (const char* w : {"甲", "乙", "丙"})
            if (rt.isLoaded(w))
                rt.destroyWindow(w);
        pumpFor(20);
    }

    test::FakePlatform platform;
    qt::QtRuntime rt{platform};
};

TEST_F(QtRuntimeTest, WritingTheSamePeriodKeepsThePhaseAnotherRestartsIt)
{
    std::vector<qint64> ticks;
    load("甲", {{"时钟", EventKind::Periodic, [&](const Event&) { ticks.push_back(now()); }}}, 300);
    const qint64 start = now();
    pumpFor(450);
    ASSERT_EQ(ticks.size(), 1u);
    rt.writeInt("甲", "时钟", Prop::Period, 300); // same period: next tick stays at ~600
    pumpFor(200);
    ASSERT_EQ(ticks.size(), 2u);
    EXPECT_LT(ticks[1] - start, 675);

    rt.writeInt("甲", "时钟", Prop::Period, 0); // stop, then start again: first tick one period later
    const qint64 restart = now();
    rt.writeInt("甲", "时钟", Prop::Period, 300);
    pumpFor(450);
    ASSERT_EQ(ticks.size(), 3u);
    EXPECT_GE(ticks[2] - restart, 295);
    EXPECT_LT(ticks[2] - restart, 400);
}

TEST_F(QtRuntimeTest, NegativePeriodStopsAndShortPeriodsTickAtTheShortest)
{
    int ticks = 0;
    load("甲", {{"时钟", EventKind::Periodic, [&](const Event&) { ++ticks; }}}, 1);
    pumpFor(300);
    EXPECT_GT(ticks, 300 / kMinTimerPeriodMs / 3);
    EXPECT_LE(ticks, 300 / kMinTimerPeriodMs + 2);
    rt.writeInt("甲", "时钟", Prop::Period, -5);
    EXPECT_EQ(rt.readInt("甲", "时钟", Prop::Period), 0);
    const int stoppedAt = ticks;
    pumpFor(100);
    EXPECT_EQ(ticks, stoppedAt);
}

TEST_F(QtRuntimeTest, ARunningTimersEventReachesItsOwnHandlerWhileItPumps)
{
    int depth = 0, maxDepth = 0, calls = 0;
    load("甲", {{"时钟", EventKind::Periodic, [&](const Event&) {
                     ++calls;
                     maxDepth = std::max(maxDepth, ++depth);
                     if (depth == 1) { // the outer call pumps, as a paced wait does
                         const qint64 end = now() + 200;
                         while (now() < end) {
                             rt.processPendingEvents();
                             rt.waitForEvents((end - now()) * 1000);
                         }
                     }
                     --depth;
                 }}},
         20);
    pumpFor(260);
    EXPECT_GE(maxDepth, 2);
    EXPECT_GE(calls, 5);
}

TEST_F(QtRuntimeTest, NestedWaitsEachLastUntilTheirOwnDeadline)
{
    // A wait dispatches an event whose handler waits too: the inner wait must
    // neither end the outer one early nor lose its deadline.
    const struct { qint64 outerMs, innerMs; } cases[] = {{120, 40}, {40, 120}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.outerMs);
        qint64 innerStart = -1, innerEnd = -1;
        QTimer::singleShot(0, [&] {
            innerStart = now();
            rt.waitForEvents(c.innerMs * 1000);
            innerEnd = now();
        });
        const qint64 outerStart = now();
        rt.waitForEvents(c.outerMs * 1000);
        const qint64 outerEnd = now();
        ASSERT_GE(innerStart, 0);
        EXPECT_GE(innerEnd - innerStart, c.innerMs);
        EXPECT_GE(outerEnd - outerStart, c.outerMs);
        // the outer wait ends once its deadline has passed and the inner one returned
        EXPECT_LT(outerEnd - std::max(outerStart + c.outerMs, innerEnd), 250);
    }
}

TEST_F(QtRuntimeTest, DestroyThenMessageBoxInOneHandlerClosesTheWindowWhileTheBoxIsOpen)
{
    bool destroyedEvent = false, loadedWhileBoxOpen = true, boxSeen = false;
    load("乙", {});
    load("甲", {{"时钟", EventKind::Periodic, [&](const Event&) {
                     rt.writeInt("甲", "时钟", Prop::Period, 0);
                     rt.destroyWindow("甲");
                     EXPECT_TRUE(rt.isLoaded("甲")); // deferred
                     QTimer::singleShot(100, [&] {
                         loadedWhileBoxOpen = rt.isLoaded("甲");
                         if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                             boxSeen = box->text() == QStringLiteral("坐标已满，请开始运行！") &&
                                       box->windowTitle() == QStringLiteral("警告:") &&
                                       box->icon() == QMessageBox::Information;
                             box->accept();
                         }
                     });
                     rt.messageBox("坐标已满，请开始运行！", kMbIconInformation, "警告:", rt.nativeHandle("乙"));
                 }},
                {"", EventKind::WillBeDestroyed, [&](const Event&) { destroyedEvent = true; }}},
         50);
    pumpFor(300);
    EXPECT_TRUE(boxSeen);
    EXPECT_FALSE(loadedWhileBoxOpen);
    EXPECT_TRUE(destroyedEvent);
    EXPECT_FALSE(rt.quitRequested()); // 乙 is still there
}

TEST_F(QtRuntimeTest, DialogModeDisablesTheOthersAndRestoresTheirStateAfterwards)
{
    load("甲", {});
    load("丙", {});
    rt.widgetOf("丙")->setEnabled(false);
    bool duringA = true, duringC = true, returned = false;
    QTimer::singleShot(0, [&] {
        load("乙",
             {{"", EventKind::Created, [&](const Event&) {
                   QTimer::singleShot(50, [&] {
                       duringA = rt.widgetOf("甲")->isEnabled();
                       duringC = rt.widgetOf("丙")->isEnabled();
                       rt.destroyWindow("乙");
                   });
               }}},
             0, true);
        returned = !rt.isLoaded("乙"); // returns only once the window is gone
    });
    pumpFor(200);
    EXPECT_TRUE(returned);
    EXPECT_FALSE(duringA);
    EXPECT_FALSE(duringC);
    EXPECT_TRUE(rt.widgetOf("甲")->isEnabled());
    EXPECT_FALSE(rt.widgetOf("丙")->isEnabled()); // back to its previous state
}

TEST_F(QtRuntimeTest, PropertyLimitsAndReadings)
{
    load("甲", {});
    rt.writeInt("甲", "编辑框", Prop::Left, 40000);
    EXPECT_EQ(rt.readInt("甲", "编辑框", Prop::Left), 32627);
    rt.writeInt("甲", "编辑框", Prop::Top, -40000);
    EXPECT_EQ(rt.readInt("甲", "编辑框", Prop::Top), -32627);
    rt.writeInt("甲", "编辑框", Prop::Width, -3);
    EXPECT_EQ(rt.readInt("甲", "编辑框", Prop::Width), 0);
    EXPECT_EQ(rt.readInt("甲", "组合框", Prop::Selection), -1);
    rt.writeText("甲", "编辑框", Prop::Text, "");
    EXPECT_EQ(rt.readText("甲", "编辑框"), "");
    rt.writeText("甲", "编辑框", Prop::Text, "坐标 12");
    EXPECT_EQ(rt.readText("甲", "编辑框"), "坐标 12");
}

TEST_F(QtRuntimeTest, PositionOnAHiddenWindowIsOnlyStored)
{
    WindowDef def = testWindow("甲");
    def.settings.visible = false;
    rt.loadWindow(def, {}, false);
    rt.writeInt("甲", "", Prop::Position, 2);
    pumpFor(20);
    EXPECT_FALSE(rt.widgetOf("甲")->isVisible());
    EXPECT_FALSE(rt.widgetOf("甲")->isMinimized());
}

TEST_F(QtRuntimeTest, ClosingTheLastWindowEndsTheEventLoop)
{
    load("甲", {});
    QTimer::singleShot(30, [&] { rt.widgetOf("甲")->close(); });
    rt.runEventLoop(); // returns once the window is gone
    EXPECT_FALSE(rt.isLoaded("甲"));
    EXPECT_TRUE(rt.quitRequested());
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
