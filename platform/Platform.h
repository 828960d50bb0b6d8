#pragma once
// The operating-system calls the program makes beyond the GUI runtime:
// pointer moves and button events, the extended-style and window-property
// calls on the picker overlay, and a millisecond clock. Named after the
// Windows calls they stand for, so that a Win32 backend maps them one to one.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace vantorel {

using WindowHandle = std::uintptr_t;

// mouse_event flags
inline constexpr std::uint32_t MOUSEEVENTF_LEFTDOWN = 0x0002;
inline constexpr std::uint32_t MOUSEEVENTF_LEFTUP = 0x0004;
inline constexpr std::uint32_t MOUSEEVENTF_RIGHTDOWN = 0x0008;
inline constexpr std::uint32_t MOUSEEVENTF_RIGHTUP = 0x0010;

// Extended window styles and layered-window flags
inline constexpr int GWL_EXSTYLE = -20;
inline constexpr std::int32_t WS_EX_TRANSPARENT = 0x00000020;
inline constexpr std::int32_t WS_EX_LAYERED = 0x00080000;
inline constexpr std::uint32_t LWA_COLORKEY = 0x1;

/// System-wide mouse button state, sampled without grabbing anything.
class MouseButtonSource {
public:
    virtual ~MouseButtonSource() = default;
    /// Left, right, middle: `down` when held now or pressed since the last
    /// sample (a press released again in between still reads as down once);
    /// `released` when a release happened since the last sample. False when
    /// the read failed.
    virtual bool sample(std::array<bool, 3>& down, std::array<bool, 3>& released) = 0;
};

class Platform {
public:
    virtual ~Platform() = default;

    /// Moves the real pointer; the system keeps it on the screen.
    virtual void SetCursorPos(int x, int y) = 0;
    /// Injects one button event at the pointer (one MOUSEEVENTF_* flag).
    virtual void mouse_event(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::uint32_t data, std::uintptr_t extra) = 0;
    /// Microseconds on a monotonic clock: the precise counterpart of the
    /// millisecond tick count (QueryPerformanceCounter on Windows), so that a
    /// wait of t ms ends as soon as t ms have passed, not at a later tick.
    virtual std::int64_t monotonicMicroseconds() = 0;

    virtual std::int32_t GetWindowLongA(WindowHandle window, int index) = 0;
    /// Returns the previous value.
    virtual std::int32_t SetWindowLongA(WindowHandle window, int index, std::int32_t value) = 0;
    virtual bool SetLayeredWindowAttributes(WindowHandle window, std::uint32_t colourKey, std::uint8_t alpha, std::uint32_t flags) = 0;
    virtual bool SetPropA(WindowHandle window, const std::string& name, std::uintptr_t value) = 0;
    virtual std::uintptr_t GetPropA(WindowHandle window, const std::string& name) = 0;
    virtual std::uintptr_t RemovePropA(WindowHandle window, const std::string& name) = 0;

    /// Opens the mouse for shared, non-exclusive sampling; null when unavailable.
    virtual std::unique_ptr<MouseButtonSource> openMouse() = 0;
};

} // namespace vantorel
