#pragma once
// A program on the recording fakes, with its main window loaded.

#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/Startup.h"
#include "tests/fake/FakeRuntime.h"

#include <gtest/gtest.h>

namespace vantorel::test {

class ProgramFixture : public ::testing::Test {
protected:
    ProgramFixture() { rt.loadWindow(mainWindowDef(), mainWindowBindings(program), false); }

    void fillSlot(int k, const std::string& x, const std::string& y, std::int32_t action = 0,
                  const std::string& delay = "0")
    {
        rt.setText(kMainWindow, xBox(k), x);
        rt.setText(kMainWindow, yBox(k), y);
        rt.set(kMainWindow, actionList(k), Prop::Selection, Value(action));
        rt.setText(kMainWindow, delayBox(k), delay);
    }
    std::string text(const std::string& control) { return rt.text(kMainWindow, control); }

    FakePlatform platform;
    FakeRuntime rt{platform};
    Program program{rt, platform};
};

} // namespace vantorel::test
