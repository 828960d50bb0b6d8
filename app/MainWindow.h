#pragma once
// The main window: its definition and the names the program addresses it by.

#include "runtime/WindowDef.h"

#include <string>

namespace vantorel {

inline const std::string kMainWindow = "启动窗口";

/// Names of the slot controls, k = 1..10.
std::string xBox(int k);
std::string yBox(int k);
std::string actionList(int k);
std::string delayBox(int k);

const WindowDef& mainWindowDef();

} // namespace vantorel
