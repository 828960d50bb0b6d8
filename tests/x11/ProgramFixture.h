#pragma once
// The program started as a user starts it, in a process of its own, with a
// recorder window of the test's that logs the clicks it receives.

#include "tests/x11/XDriver.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vantorel::test {

struct Click {
    std::string kind; // press / release
    int button, x, y;
    unsigned long time;
};

class ProgramProcess : public ::testing::Test {
protected:
    /// Starts the program and waits until its main window is mapped; `env`
    /// ("NAME=value") adds to the test's environment.
    void startProgram(std::vector<std::string> env = {});
    /// Starts a recorder window at `geometry` ("WxH+X+Y") and waits until it is mapped.
    void startRecorder(const std::string& geometry, bool overrideRedirect = false);
    /// The main window's client origin; control positions are relative to it.
    void at(int cx, int cy, int& sx, int& sy);
    /// Clicks into a box of the main window at client (cx, cy), selects all and types `text`.
    void typeInto(int cx, int cy, const std::string& text);
    std::vector<Click> clicks();
    /// No sanitizer report and no Qt warning in the program's error output.
    void expectCleanErrors();

    XDriver x;
    std::unique_ptr<Child> program;
    std::unique_ptr<Child> recorder;
    Window main = 0;
};

// Client-area places of main window controls (their centres).
inline int slotRow(int k) { return 221 + 31 * (k - 1) + 16; }
inline constexpr int kXColumn = 112, kYColumn = 180, kDelayColumn = 328;

} // namespace vantorel::test
