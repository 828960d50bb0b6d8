#pragma once
// The GUI runtime as the program sees it: windows and controls built from
// their definitions, typed properties, timers, the message box and re-entrant
// event dispatch on the one GUI thread.

#include "runtime/Value.h"
#include "runtime/WindowDef.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vantorel {

enum class Prop {
    Text, Caption, Visible, Enabled, Left, Top, Width, Height, TextColour, BackColour,
    Period, Selection, Checked, Colour, AlwaysOnTop, Position
};

using NativeHandle = std::uintptr_t;

/// Shortest timer period; shorter periods tick at this one.
inline constexpr int kMinTimerPeriodMs = 10;

/// Bounds of a control's place and size.
inline constexpr int kCoordLimit = 32627;

/// Message box flags.
inline constexpr unsigned kMbIconInformation = 64;

class Runtime {
public:
    virtual ~Runtime() = default;

    /// Reads a property; control "" addresses the window itself.
    virtual Value readProperty(const std::string& window, const std::string& control, Prop prop) = 0;
    virtual void writeProperty(const std::string& window, const std::string& control, Prop prop, const Value& value) = 0;

    /// Creates the window and its controls, dispatches its created event and
    /// shows it. In dialog mode the other windows are disabled and the call
    /// returns only once this window is gone.
    virtual bool loadWindow(const WindowDef& def, std::vector<Binding> bindings, bool dialogMode) = 0;
    /// Requests destruction; carried out at the next dispatch.
    virtual void destroyWindow(const std::string& window) = 0;
    virtual bool isLoaded(const std::string& window) const = 0;
    virtual NativeHandle nativeHandle(const std::string& window, const std::string& control = "") = 0;

    /// Modal to the whole program; returns when the user dismisses it.
    virtual int messageBox(const std::string& text, unsigned flags, const std::string& title, NativeHandle owner) = 0;

    virtual int pointerX() = 0;
    virtual int pointerY() = 0;
    virtual int screenWidth() = 0;
    virtual int screenHeight() = 0;

    /// Dispatches every queued event, then returns; returns at once when the
    /// program is ending.
    virtual void processPendingEvents() = 0;
    /// Blocks for `timeoutUs` microseconds on the monotonic clock, dispatching
    /// events as they arrive; returns early when the program is ending.
    virtual void waitForEvents(std::int64_t timeoutUs) = 0;
    /// True once the last window is gone and the event loop is to end.
    virtual bool quitRequested() const = 0;
    /// Dispatches events until the last window is gone.
    virtual void runEventLoop() = 0;

    // The input device control: which devices, the sampling period (0 stops),
    // and the start, after which it raises ButtonChanged(key, state) events.
    virtual void selectInputDevices(const std::string& window, const std::string& control,
                                    bool mouse, bool keyboard, bool gamepad) = 0;
    virtual void setInputSamplingPeriod(const std::string& window, const std::string& control, int ms) = 0;
    virtual void startInputDevice(const std::string& window, const std::string& control, NativeHandle handle) = 0;

    /// While on, the Esc key pressed anywhere on the desktop, whichever window
    /// has the keyboard, reaches `window` as if pressed in it. Where another
    /// program already claims the key for itself, nothing changes.
    virtual void escapeFromAnywhere(const std::string& window, bool on) = 0;

    // Typed conveniences over readProperty / writeProperty.
    std::string readText(const std::string& w, const std::string& c, Prop p = Prop::Text) { return readProperty(w, c, p).toText(); }
    std::int32_t readInt(const std::string& w, const std::string& c, Prop p) { return readProperty(w, c, p).toInt(); }
    void writeText(const std::string& w, const std::string& c, Prop p, std::string text) { writeProperty(w, c, p, Value(std::move(text))); }
    void writeInt(const std::string& w, const std::string& c, Prop p, std::int32_t v) { writeProperty(w, c, p, Value(v)); }
};

} // namespace vantorel
