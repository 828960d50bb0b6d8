#include "picker/ClickThrough.h"
#include "picker/Overlay.h"
#include "picker/Tracking.h"
#include "runtime/InputDevice.h"

#include "tests/fake/ProgramFixture.h"

using namespace vantorel;
using vantorel::test::ProgramFixture;

namespace {

class Picker : public ProgramFixture {
protected:
    void open() { rt.fire(kMainWindow, "准星", Event{EventKind::LeftPressed}); }
    void button(std::int32_t key, std::int32_t state)
    {
        rt.fire(kPickerWindow, "输入设备1", Event{EventKind::ButtonChanged, key, state});
    }
    void closeQueued() { rt.carryOutDestroys(); }
};

TEST_F(Picker, CreationStepsRunInOrder)
{
    rt.set(kMainWindow, "颜色选择器1", Prop::Colour, Value(rgb(0, 255, 0)));
    rt.writes.clear();
    open();
    const std::string green = std::to_string(rgb(0, 255, 0));
    const std::string key = std::to_string(kKeyColour);
    EXPECT_EQ(rt.writes, (std::vector<std::string>{
                             "准星窗口/输入设备1.select=100",
                             "准星窗口/输入设备1.sampling=30",
                             "准星窗口/输入设备1.start=0",
                             "准星窗口/透明标签1.textColour=" + green,
                             "准星窗口/透明标签2.textColour=" + green,
                             "准星窗口/编辑框1.textColour=" + green,
                             "准星窗口/.backColour=" + key,
                             "准星窗口/编辑框1.backColour=" + key,
                             "启动窗口/.position=2",
                         }));
    // the style calls between steps 8 and 12: layered, colour key, then click-through keeping the old style
    EXPECT_EQ(platform.log, (std::vector<std::string>{"SetWindowLongA 524288", "SetLayeredWindowAttributes",
                                                      "SetPropA transparent_tmp 524288", "SetWindowLongA 524320"}));
    ASSERT_EQ(platform.layered.size(), 1u);
    EXPECT_EQ(std::get<1>(platform.layered[0]), 0xF4D5B1u);
    EXPECT_EQ(std::get<2>(platform.layered[0]), LWA_COLORKEY);
}

TEST_F(Picker, ClickThroughOffRestoresTheSavedStyle)
{
    platform.exStyle[7] = 0x100;
    setClickThrough(platform, 7, true);
    EXPECT_EQ(platform.exStyle[7], WS_EX_LAYERED | WS_EX_TRANSPARENT);
    setClickThrough(platform, 7, false);
    EXPECT_EQ(platform.exStyle[7], 0x100);
    EXPECT_EQ(platform.props.count({7, "transparent_tmp"}), 0u);
}

TEST_F(Picker, ALeftPressFillsTheFirstFreeSlotAndCloses)
{
    struct Case {
        std::vector<std::pair<std::string, std::string>> slots; // slots 1.. as (x, y)
        int target;
    };
    // clang-format off
    const Case cases[] = {
        {{},                                       1},
        {{{"1", "1"}, {"", ""}, {"3", "3"}},       2},   // a gap comes first
        {{{"1", "1"}, {"150", ""}},                2},   // X held, Y empty: both overwritten
        {{{" ", " "}, {"", "9"}},                  2},   // a blank counts as taken
        {{{"X坐标1", "Y坐标1"}},                   2},   // the runner would skip it; the picker does not
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        for (int k = 1; k <= 10; ++k)
            fillSlot(k, "", "");
        for (std::size_t i = 0; i < c.slots.size(); ++i)
            fillSlot(static_cast<int>(i) + 1, c.slots[i].first, c.slots[i].second);
        open();
        rt.pointer[0] = 640, rt.pointer[1] = -12;
        button(KeyMOUSELEFT, StateFirstPressed);
        EXPECT_EQ(text(xBox(c.target)), "640");
        EXPECT_EQ(text(yBox(c.target)), "-12");
        EXPECT_EQ(text("状态标签"), "坐标" + std::to_string(c.target) + "写入成功！");
        EXPECT_TRUE(rt.isLoaded(kPickerWindow)); // closes at the next dispatch
        rt.writes.clear();
        closeQueued();
        EXPECT_FALSE(rt.isLoaded(kPickerWindow));
        EXPECT_EQ(rt.writes, (std::vector<std::string>{"启动窗口/.position=0"})); // main window restored
    }
}

TEST_F(Picker, AllTenTakenSetsTheTextClosesAndShowsTheBox)
{
    for (int k = 1; k <= 10; ++k)
        fillSlot(k, "1", "2");
    open();
    button(KeyMOUSELEFT, StateFirstPressed);
    EXPECT_EQ(text("状态标签"), "您已成功写入所有坐标，请点启动开始运行！");
    EXPECT_EQ(rt.messageBoxes, (std::vector<std::string>{"警告:|坐标已满，请开始运行！"}));
    EXPECT_FALSE(rt.isLoaded(kPickerWindow)); // gone while the box was open
    for (int k = 1; k <= 10; ++k)
        EXPECT_EQ(text(xBox(k)), "1");
}

TEST_F(Picker, RightMiddleAndNoneDoNothing)
{
    open();
    rt.writes.clear();
    button(KeyMOUSERIGHT, StateFirstPressed);
    button(KeyMOUSEMIDDLE, StateFirstPressed);
    button(KeyMOUSELEFT, StateNone);
    EXPECT_TRUE(rt.writes.empty());
    EXPECT_EQ(text(xBox(1)), "");
    closeQueued();
    EXPECT_TRUE(rt.isLoaded(kPickerWindow));
}

TEST_F(Picker, TicksFollowThePointer)
{
    open();
    rt.pointer[0] = 0, rt.pointer[1] = 0;
    rt.writes.clear();
    rt.fire(kPickerWindow, "时钟1", Event{EventKind::Periodic});
    EXPECT_EQ(rt.writes, (std::vector<std::string>{"准星窗口/.alwaysOnTop=1", "准星窗口/透明标签1.top=-13",
                                                   "准星窗口/透明标签2.left=-9", "准星窗口/透明标签1.width=1920",
                                                   "准星窗口/透明标签2.height=1080"}));
    rt.pointer[0] = 2500, rt.pointer[1] = -40; // a secondary monitor
    rt.writes.clear();
    rt.fire(kPickerWindow, "时钟2", Event{EventKind::Periodic});
    EXPECT_EQ(rt.writes, (std::vector<std::string>{
                             "准星窗口/编辑框1.text= X轴 水平坐标：2500\r\n Y轴 垂直坐标：-40\r\n\r\n请再次单击自动写入坐标！",
                             "准星窗口/编辑框1.left=2510", "准星窗口/编辑框1.top=-35"}));
}

} // namespace
