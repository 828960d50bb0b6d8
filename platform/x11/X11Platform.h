#pragma once
// The platform calls on X11: XTest for pointer moves and button events,
// XInput2 raw events for system-wide button sampling, and the Windows
// extended-style calls emulated over the toolkit's window effects.

#include "platform/Platform.h"
#include "platform/x11/WindowEffects.h"

#include <string>

typedef struct _XDisplay Display;

namespace vantorel {

class X11Platform : public Platform {
public:
    /// Opens a connection of its own for injection: a round trip on it does
    /// not wait behind the toolkit's traffic or its event reader thread.
    X11Platform();
    ~X11Platform() override;
    X11Platform(const X11Platform&) = delete;
    X11Platform& operator=(const X11Platform&) = delete;
    void setWindowEffects(WindowEffects* effects) { m_effects = effects; }

    /// Empty when every extension the program needs is there, else what is missing.
    static std::string missingExtensions(Display* display);

    void SetCursorPos(int x, int y) override;
    void mouse_event(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::uint32_t data, std::uintptr_t extra) override;
    std::int64_t monotonicMicroseconds() override;
    std::int32_t GetWindowLongA(WindowHandle window, int index) override;
    std::int32_t SetWindowLongA(WindowHandle window, int index, std::int32_t value) override;
    bool SetLayeredWindowAttributes(WindowHandle window, std::uint32_t colourKey, std::uint8_t alpha, std::uint32_t flags) override;
    bool SetPropA(WindowHandle window, const std::string& name, std::uintptr_t value) override;
    std::uintptr_t GetPropA(WindowHandle window, const std::string& name) override;
    std::uintptr_t RemovePropA(WindowHandle window, const std::string& name) override;
    std::unique_ptr<MouseButtonSource> openMouse() override;

private:
    void applyEffects(WindowHandle window);
    void awaitDelivery();

    Display* m_display;
    WindowEffects* m_effects = nullptr;
};

} // namespace vantorel
