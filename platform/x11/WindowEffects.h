#pragma once
// What the X11 platform needs from the toolkit to give a window the effects
// of the Windows extended styles: a colour key and click-through.

#include <cstdint>

namespace vantorel {

class WindowEffects {
public:
    virtual ~WindowEffects() = default;
    /// Pixels of `key` (0x00BBGGRR) become see-through, all others opaque.
    virtual void applyColourKey(std::uintptr_t window, bool on, std::uint32_t key) = 0;
    /// The window, and any frame around it, take no pointer input.
    virtual void applyClickThrough(std::uintptr_t window, bool on) = 0;
};

} // namespace vantorel
