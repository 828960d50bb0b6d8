#pragma once
// The input device's button state machine: each sample moves every mouse
// button through none(0) -> first pressed(2) -> held(3) -> released(1) -> none,
// and each change is reported once.

#include <array>
#include <cstdint>
#include <functional>

namespace vantorel {

inline constexpr std::int32_t KeyMOUSELEFT = 256;
inline constexpr std::int32_t KeyMOUSERIGHT = 257;
inline constexpr std::int32_t KeyMOUSEMIDDLE = 258;

enum ButtonState : std::uint8_t { StateNone = 0, StateReleased = 1, StateFirstPressed = 2, StateHeld = 3 };

class ButtonStateMachine {
public:
    /// `downAtStart`: buttons already held when sampling begins count only
    /// once they have been released, so every reported press is a new one.
    explicit ButtonStateMachine(std::array<bool, 3> downAtStart = {});

    /// Applies one sample (`released`: a release happened since the last one);
    /// calls `report(keyCode, newState)` for each change, in the order left,
    /// right, middle, and stops when report returns false.
    void apply(const std::array<bool, 3>& down, const std::array<bool, 3>& released,
               const std::function<bool(std::int32_t, std::int32_t)>& report);

    ButtonState state(int button) const { return m_state[button]; }

private:
    std::array<ButtonState, 3> m_state{};
    std::array<ButtonState, 3> m_reported{};
    std::array<bool, 3> m_waitForRelease{};
};

} // namespace vantorel
