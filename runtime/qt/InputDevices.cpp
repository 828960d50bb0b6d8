// The input device control: system-wide mouse button sampling.

#include "runtime/qt/RuntimeState.h"

namespace vantorel::qt {

void QtRuntime::selectInputDevices(const std::string& window, const std::string& control, bool mouse, bool, bool)
{
    auto win = require(window);
    Control& ctl = requireControl(*win, control);
    if (ctl.device)
        ctl.device->mouse = mouse;
}

void QtRuntime::setInputSamplingPeriod(const std::string& window, const std::string& control, int ms)
{
    auto win = require(window);
    Control& ctl = requireControl(*win, control);
    if (!ctl.device)
        return;
    ctl.device->period = std::max(ms, 0);
    ctl.device->timer.stop();
    if (ctl.device->started && ctl.device->period > 0)
        ctl.device->timer.start(ctl.device->period);
}

void QtRuntime::startInputDevice(const std::string& window, const std::string& control, NativeHandle)
{
    auto win = require(window);
    Control& ctl = requireControl(*win, control);
    Device* dev = ctl.device.get();
    if (!dev || !dev->mouse)
        return;
    dev->source = m_platform.openMouse();
    std::array<bool, 3> downAtStart{}, released{};
    if (dev->source)
        dev->source->sample(downAtStart, released);
    dev->machine = ButtonStateMachine(downAtStart);
    dev->started = true;
    if (dev->period > 0)
        dev->timer.start(dev->period);
}

} // namespace vantorel::qt
