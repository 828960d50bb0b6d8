#include "runtime/InputDevice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vantorel;

namespace {

std::vector<std::string> run(ButtonStateMachine& m, const std::vector<std::array<bool, 3>>& samples,
                             std::array<bool, 3> released = {})
{
    std::vector<std::string> events;
    for (const auto& s : samples)
        m.apply(s, released, [&](std::int32_t key, std::int32_t state) {
            events.push_back(std::to_string(key) + ":" + std::to_string(state));
            return true;
        });
    return events;
}

constexpr std::array<bool, 3> kUp{}, kLeft{true, false, false}, kRight{false, true, false}, kBoth{true, true, false};

TEST(InputDevice, APressGoesThroughFirstPressedHeldReleasedNoneOneEventEach)
{
    ButtonStateMachine m;
    EXPECT_EQ(run(m, {kUp, kLeft, kLeft, kLeft, kUp, kUp, kUp}),
              (std::vector<std::string>{"256:2", "256:3", "256:1", "256:0"}));
}

TEST(InputDevice, AShortPressSeenOnceIsFirstPressedThenReleased)
{
    ButtonStateMachine m;
    EXPECT_EQ(run(m, {kLeft, kUp}), (std::vector<std::string>{"256:2", "256:1"}));
}

TEST(InputDevice, ButtonsAreReportedLeftRightMiddle)
{
    ButtonStateMachine m;
    EXPECT_EQ(run(m, {kBoth, {false, false, true}}),
              (std::vector<std::string>{"256:2", "257:2", "256:1", "257:1", "258:2"}));
}

TEST(InputDevice, AButtonHeldAtStartCountsOnlyAfterItsRelease)
{
    ButtonStateMachine m({true, false, false});
    EXPECT_EQ(run(m, {kLeft, kLeft, kRight, kUp}), (std::vector<std::string>{"257:2", "257:1"}));
    EXPECT_EQ(run(m, {kLeft}), (std::vector<std::string>{"256:2", "257:0"}));
}

TEST(InputDevice, AReleaseAndANewPressBetweenTwoSamplesCountAsANewPress)
{
    ButtonStateMachine m({true, false, false});
    EXPECT_EQ(run(m, {kLeft}, {true, false, false}), (std::vector<std::string>{"256:2"}));
}

TEST(InputDevice, ReportingStopsWhenTheWindowIsGone)
{
    ButtonStateMachine m;
    int calls = 0;
    m.apply(kBoth, {}, [&](std::int32_t, std::int32_t) { return ++calls < 1; });
    EXPECT_EQ(calls, 1);
}

} // namespace
