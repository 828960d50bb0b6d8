#pragma once
// Test helpers on a real X server: a connection of the test's own that
// injects input through XTest and reads what the window manager and the
// server say about windows; and child processes with captured output.


#include <functional>
#include <string>
#include <vector>

typedef struct _XDisplay Display;

namespace vantorel::test {

using Window = unsigned long;

class XDriver {
public:
    XDriver();
    ~XDriver();
    Display* dpy() const { return m_dpy; }

    void move(int x, int y);
    void button(unsigned button, bool press);
    void click(int x, int y, unsigned button = 1);
    /// Presses and releases a key by keysym, with Control and Shift held if asked.
    void key(unsigned long keysym, bool control = false, bool shift = false);
    /// Presses and releases a key by name (XStringToKeysym), e.g. "Escape", "v".
    void key(const char* name, bool control = false, bool shift = false);
    /// Types ASCII text through real key events.
    void type(const std::string& text);
    void sync();

    /// Client windows whose WM_NAME / _NET_WM_NAME begins with `prefix`.
    std::vector<Window> findByTitle(const std::string& prefix);
    std::vector<std::string> netWmState(Window w);
    bool hasAbove(Window w);
    /// ICCCM WM_STATE: 1 normal, 3 iconic, 0 when absent.
    long wmState(Window w);
    std::vector<long> cardinals(Window w, const char* property);
    Window root() const;
    /// _NET_CLIENT_LIST_STACKING, bottom to top.
    std::vector<Window> stacking();
    /// The window's client area origin on the root window.
    void rootOrigin(Window w, int& x, int& y);
    struct Rect {
        int x = 0, y = 0, width = 0, height = 0;
        bool operator==(const Rect&) const = default;
    };
    /// The outer rectangle of a managed window as drawn: its manager's frame, borders included.
    Rect frameRect(Window w);
    /// Adds _NET_WM_STATE_ABOVE through the window manager.
    void makeTopMost(Window w);
    /// Asks the window manager to close the window, as its close button does.
    void requestClose(Window w);
    /// RGB of a screen pixel.
    unsigned long pixel(int x, int y);

private:
    Display* m_dpy;
};

/// Polls `done` every few milliseconds, running `pump` between polls; false on timeout.
bool waitFor(const std::function<bool()>& done, int timeoutMs, const std::function<void()>& pump = {});

class Child {
public:
    /// Starts `argv` with stdout and stderr going to files; `unsetDisplay` drops
    /// DISPLAY; `env` ("NAME=value") adds to or replaces the inherited variables.
    explicit Child(std::vector<std::string> argv, bool unsetDisplay = false, std::vector<std::string> env = {});
    ~Child();
    /// Waits for the exit; -1 on timeout, else the exit code (128+signal when killed).
    int wait(int timeoutMs);
    bool running();
    std::string out() const;
    std::string err() const;

private:
    int m_pid = -1;
    int m_status = -1;
    std::string m_outPath, m_errPath;
};

/// The directory of the test executables, where the build keeps its programs.
std::string buildDir();

/// Lines that the recorder wrote: "press B X Y T" and "release B X Y T".
std::vector<std::string> readLines(const std::string& path);

} // namespace vantorel::test
