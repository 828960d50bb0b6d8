#pragma once
// Run control: the start press, the countdown tick that carries the run, and
// the re-arm tick that resets the countdown after a run.

#include "app/Program.h"

#include <string>

namespace vantorel {

inline const std::string kStatusLabel = "状态标签";
inline const std::string kTextGetReady = "当前状态：请做好准备，即将开始运行！";
inline const std::string kTextRunning = "当前状态：正在运行！";
inline const std::string kTextLooping = "当前状态：正在循环.....";
inline const std::string kTextFinished = "当前状态：循环结束！";

void onStartPressed(Program& p);
void onCountdownTick(Program& p);
void onRearmTick(Program& p);

} // namespace vantorel
