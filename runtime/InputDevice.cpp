#include "runtime/InputDevice.h"

namespace vantorel {

ButtonStateMachine::ButtonStateMachine(std::array<bool, 3> downAtStart) : m_waitForRelease(downAtStart) {}

void ButtonStateMachine::apply(const std::array<bool, 3>& down, const std::array<bool, 3>& released,
                               const std::function<bool(std::int32_t, std::int32_t)>& report)
{
    for (int b = 0; b < 3; ++b) {
        if (m_waitForRelease[b]) {
            // Down after a release seen in the same interval is a new press.
            if (down[b] && !released[b])
                continue;
            m_waitForRelease[b] = false;
        }
        ButtonState& s = m_state[b];
        if (down[b])
            s = (s == StateNone || s == StateReleased) ? StateFirstPressed : StateHeld;
        else
            s = (s == StateFirstPressed || s == StateHeld) ? StateReleased : StateNone;
    }
    for (int b = 0; b < 3; ++b) {
        if (m_state[b] == m_reported[b])
            continue;
        m_reported[b] = m_state[b];
        if (!report(KeyMOUSELEFT + b, m_state[b]))
            return;
    }
}

} // namespace vantorel
