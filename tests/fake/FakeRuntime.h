#pragma once
// A recording stand-in for the GUI runtime and the platform: properties live
// in a map seeded from the window definitions, every write and every injected
// event is logged, and time only passes when a wait lets it.

#include "platform/Platform.h"
#include "runtime/Runtime.h"

#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace vantorel::test {

class FakePlatform : public Platform {
public:
    std::vector<std::string> log; // "move x y", "LD", "LU", "RD", "RU", and style calls
    std::int64_t now = 1000000; // microseconds
    std::map<WindowHandle, std::int32_t> exStyle;
    std::map<std::pair<WindowHandle, std::string>, std::uintptr_t> props;
    std::vector<std::tuple<WindowHandle, std::uint32_t, std::uint32_t>> layered;
    std::array<bool, 3> buttonsDown{};

    void SetCursorPos(int x, int y) override;
    void mouse_event(std::uint32_t flags, std::int32_t, std::int32_t, std::uint32_t, std::uintptr_t) override;
    std::int64_t monotonicMicroseconds() override { return now; }
    std::int32_t GetWindowLongA(WindowHandle w, int) override { return exStyle[w]; }
    std::int32_t SetWindowLongA(WindowHandle w, int, std::int32_t v) override;
    bool SetLayeredWindowAttributes(WindowHandle w, std::uint32_t key, std::uint8_t, std::uint32_t flags) override;
    bool SetPropA(WindowHandle w, const std::string& n, std::uintptr_t v) override;
    std::uintptr_t GetPropA(WindowHandle w, const std::string& n) override { return props[{w, n}]; }
    std::uintptr_t RemovePropA(WindowHandle w, const std::string& n) override;
    std::unique_ptr<MouseButtonSource> openMouse() override;

    /// Only the button events and moves, e.g. {"move 1 2", "LD", "LU"}.
    std::vector<std::string> clicks() const;
};

class FakeRuntime : public Runtime {
public:
    explicit FakeRuntime(FakePlatform& platform) : m_platform(platform) {}

    std::vector<std::string> writes;            // "window/control.prop=value"
    std::vector<std::string> messageBoxes;      // "title|text"
    int dispatchCount = 0;                      // calls that dispatched events
    std::function<void()> onDispatch;           // runs on every dispatch: the test's "events"
    int pointer[2] = {0, 0};
    int screen[2] = {1920, 1080};
    std::map<std::string, std::vector<Binding>> bindings;

    Value readProperty(const std::string& w, const std::string& c, Prop p) override;
    void writeProperty(const std::string& w, const std::string& c, Prop p, const Value& v) override;
    bool loadWindow(const WindowDef& def, std::vector<Binding> b, bool dialogMode) override;
    void destroyWindow(const std::string& w) override { m_pendingDestroy.push_back(w); }
    bool isLoaded(const std::string& w) const override { return m_loaded.count(w) != 0; }
    NativeHandle nativeHandle(const std::string& w, const std::string& c = "") override;
    int messageBox(const std::string& text, unsigned, const std::string& title, NativeHandle) override;
    int pointerX() override { return pointer[0]; }
    int pointerY() override { return pointer[1]; }
    int screenWidth() override { return screen[0]; }
    int screenHeight() override { return screen[1]; }
    void processPendingEvents() override;
    void waitForEvents(std::int64_t timeoutUs) override;
    bool quitRequested() const override { return m_loaded.empty(); }
    void runEventLoop() override {}
    void selectInputDevices(const std::string& w, const std::string& c, bool m, bool k, bool g) override;
    void setInputSamplingPeriod(const std::string& w, const std::string& c, int ms) override;
    void startInputDevice(const std::string& w, const std::string& c, NativeHandle h) override;
    void escapeFromAnywhere(const std::string& w, bool on) override;

    /// Raises an event of a loaded window as the runtime would.
    void fire(const std::string& window, const std::string& control, Event event);
    /// Carries out queued destructions, as the next dispatch would.
    void carryOutDestroys();
    std::string text(const std::string& w, const std::string& c) { return readProperty(w, c, Prop::Text).toText(); }
    void setText(const std::string& w, const std::string& c, const std::string& t) { m_props[{w, c, Prop::Text}] = Value(t); }
    void set(const std::string& w, const std::string& c, Prop p, Value v) { m_props[{w, c, p}] = std::move(v); }
    /// Writes to one control since the last clear, in order.
    std::vector<std::string> writesTo(const std::string& control) const;

private:
    static Prop storedProp(Prop p) { return p == Prop::Caption ? Prop::Text : p; }
    FakePlatform& m_platform;
    std::map<std::tuple<std::string, std::string, Prop>, Value> m_props;
    std::map<std::string, bool> m_loaded;
    std::vector<std::string> m_pendingDestroy;
};

} // namespace vantorel::test
