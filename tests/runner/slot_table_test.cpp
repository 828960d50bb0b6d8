#include "runner/SlotTable.h"

#include "tests/fake/ProgramFixture.h"

using namespace vantorel;
using vantorel::test::ProgramFixture;

namespace {

class SlotTable : public ProgramFixture {};

TEST_F(SlotTable, SkipTest)
{
    struct Case {
        int slot;
        const char* x;
        const char* y;
        bool skipped;
    };
    // clang-format off
    const Case cases[] = {
        {1, "100",    "200",    false},
        {3, "X坐标3", "200",    true},   // X holding its own control name
        {4, "X坐标3", "200",    false},  // another slot's name is just text
        {2, "100",    "",       true},   // Y empty
        {2, "",       "200",    true},
        {5, "100",    "Y坐标5", true},
        {1, " ",      "abc",    false},  // a blank and letters are not empty
        {10, "X坐标10", "1",    true},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.x) + "," + c.y);
        fillSlot(c.slot, c.x, c.y);
        EXPECT_EQ(slotSkipped(rt, c.slot), c.skipped);
    }
}

TEST_F(SlotTable, NumericReadingTruncatesAndWraps)
{
    // clang-format off
    const std::pair<const char*, std::int32_t> cases[] = {
        {"12.9", 12}, {"-3.7", -3}, {"1500.8", 1500}, {"-5", -5}, {" ", 0}, {"abc", 0},
        {"4294967297", 1}, {"3000000000", -1294967296}, {"1e999", 0},
    };
    // clang-format on
    for (const auto& [text, value] : cases) {
        SCOPED_TRACE(text);
        rt.setText(kMainWindow, "X坐标1", text);
        EXPECT_EQ(numericReading(rt, "X坐标1"), value);
    }
}

TEST_F(SlotTable, ActionCodeIsTheSelectionAndNoSelectionReadsMinusOne)
{
    EXPECT_EQ(actionCode(rt, 1), 0); // first item selected at start-up
    rt.set(kMainWindow, actionList(7), Prop::Selection, Value(std::int32_t{-1}));
    EXPECT_EQ(actionCode(rt, 7), -1);
    rt.set(kMainWindow, actionList(10), Prop::Selection, Value(std::int32_t{3}));
    EXPECT_EQ(actionCode(rt, 10), 3);
}

TEST_F(SlotTable, ReadingsAreNotCached)
{
    fillSlot(1, "100", "200");
    EXPECT_FALSE(slotSkipped(rt, 1));
    rt.setText(kMainWindow, "Y坐标1", "");
    EXPECT_TRUE(slotSkipped(rt, 1));
    rt.setText(kMainWindow, "X坐标1", "7");
    EXPECT_EQ(numericReading(rt, "X坐标1"), 7);
}

} // namespace
