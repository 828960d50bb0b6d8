#pragma once
// The GUI runtime on Qt 6 Widgets, with X11 calls where Qt has no API.

#include "platform/Platform.h"
#include "platform/x11/WindowEffects.h"
#include "runtime/Runtime.h"
#include "runtime/qt/DeadlineWait.h"
#include "runtime/qt/X11Window.h"

#include <QAbstractNativeEventFilter>
#include <QEventLoop>
#include <QObject>
#include <QRect>
#include <QTranslator>

#include <map>
#include <memory>
#include <vector>

namespace vantorel::qt {

class QtRuntime : public Runtime, public WindowEffects, public QObject, public QAbstractNativeEventFilter {
public:
    /// A QApplication must exist for the runtime's lifetime.
    explicit QtRuntime(Platform& platform);
    ~QtRuntime() override;

    Value readProperty(const std::string& window, const std::string& control, Prop prop) override;
    void writeProperty(const std::string& window, const std::string& control, Prop prop, const Value& value) override;
    bool loadWindow(const WindowDef& def, std::vector<Binding> bindings, bool dialogMode) override;
    void destroyWindow(const std::string& window) override;
    bool isLoaded(const std::string& window) const override;
    NativeHandle nativeHandle(const std::string& window, const std::string& control = "") override;
    int messageBox(const std::string& text, unsigned flags, const std::string& title, NativeHandle owner) override;
    int pointerX() override;
    int pointerY() override;
    int screenWidth() override;
    int screenHeight() override;
    void processPendingEvents() override;
    void waitForEvents(std::int64_t timeoutUs) override;
    bool quitRequested() const override { return m_quit; }
    void runEventLoop() override;
    void selectInputDevices(const std::string& window, const std::string& control, bool mouse, bool keyboard,
                            bool gamepad) override;
    void setInputSamplingPeriod(const std::string& window, const std::string& control, int ms) override;
    void startInputDevice(const std::string& window, const std::string& control, NativeHandle handle) override;
    void escapeFromAnywhere(const std::string& window, bool on) override;

    void applyColourKey(std::uintptr_t window, bool on, std::uint32_t key) override;
    void applyClickThrough(std::uintptr_t window, bool on) override;

    /// The top-level widget of a loaded window, for tests and tools; null if not loaded.
    QWidget* widgetOf(const std::string& window) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

private:
    struct Win;
    struct Control;
    struct Device;

    std::shared_ptr<Win> find(const std::string& window) const;
    std::shared_ptr<Win> require(const std::string& window) const;
    Control& requireControl(Win& win, const std::string& control) const;
    QWidget* requireWidget(Control& ctl, const std::string& control) const;
    std::shared_ptr<Win> findByHandle(std::uintptr_t handle) const;
    void buildControls(Win& win);
    void dispatch(const std::shared_ptr<Win>& win, const std::string& control, const Event& event);
    void carryOutDestroy(const std::string& window);
    void release(std::shared_ptr<Win> win);
    void requestQuit();
    void showWindow(Win& win);
    void applyTopMost(Win& win);
    QRect clientRectFor(const Win& win, const x11::Extents& ext) const;
    void fitToFrame(Win& win);
    void scheduleFit(const std::shared_ptr<Win>& win);
    void writeWindowProperty(Win& win, Prop prop, const Value& value);
    void writePosition(Win& win, int position);
    void contentChanged(Win& win, QWidget* widget);
    void scheduleMaskUpdate(Win& win);
    void updateMask(Win& win);
    void applyClickThroughShape(Win& win);
    [[noreturn]] void fatal(const std::string& message) const;

    Platform& m_platform;
    std::map<std::string, std::shared_ptr<Win>> m_windows;
    QEventLoop m_mainLoop;
    std::vector<QEventLoop*> m_waitLoops;
    DeadlineWait m_deadlineWait;
    bool m_quit = false;
    QTranslator m_toolkitTexts;
    // Esc taken from the whole desktop, and the window it goes to
    std::string m_escapeWindow;
    bool m_escapeGrabbed = false;
    unsigned m_escapeKeycode = 0;
};

} // namespace vantorel::qt
