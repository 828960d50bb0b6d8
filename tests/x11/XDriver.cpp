#include "tests/x11/XDriver.h"

#include <X11/Xlib.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vantorel::test {

namespace {
// Windows of other clients come and go while the tests look at them (a
// window may vanish between listing and reading it): such errors only mean
// the window is gone, and Xlib's default handler would end the test run.
int ignoreXError(Display*, XErrorEvent*) { return 0; }
} // namespace

XDriver::XDriver() : m_dpy(XOpenDisplay(nullptr))
{
    if (!m_dpy)
        throw std::runtime_error("no X display");
    XSetErrorHandler(ignoreXError);
}

XDriver::~XDriver() { XCloseDisplay(m_dpy); }

void XDriver::move(int x, int y)
{
    XTestFakeMotionEvent(m_dpy, -1, x, y, CurrentTime);
    XSync(m_dpy, False);
}

void XDriver::button(unsigned b, bool press)
{
    XTestFakeButtonEvent(m_dpy, b, press, CurrentTime);
    XSync(m_dpy, False);
}

void XDriver::sync() { XSync(m_dpy, False); }

void XDriver::key(const char* name, bool control, bool shift) { key(XStringToKeysym(name), control, shift); }

namespace {
// A request to the window manager about `w`, as EWMH has clients send them.
void askWindowManager(Display* dpy, Window w, const char* message, long l0, long l1)
{
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = XInternAtom(dpy, message, False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = l0;
    ev.xclient.data.l[1] = l1;
    XSendEvent(dpy, DefaultRootWindow(dpy), False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
    XSync(dpy, False);
}
} // namespace

void XDriver::makeTopMost(Window w)
{
    askWindowManager(m_dpy, w, "_NET_WM_STATE", 1, static_cast<long>(XInternAtom(m_dpy, "_NET_WM_STATE_ABOVE", False)));
}

void XDriver::click(int x, int y, unsigned b)
{
    move(x, y);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    button(b, true);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    button(b, false);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

void XDriver::key(unsigned long keysym, bool control, bool shift)
{
    const KeyCode ctrl = XKeysymToKeycode(m_dpy, XK_Control_L);
    const KeyCode shiftCode = XKeysymToKeycode(m_dpy, XK_Shift_L);
    const KeyCode code = XKeysymToKeycode(m_dpy, keysym);
    if (control)
        XTestFakeKeyEvent(m_dpy, ctrl, True, CurrentTime);
    if (shift)
        XTestFakeKeyEvent(m_dpy, shiftCode, True, CurrentTime);
    XTestFakeKeyEvent(m_dpy, code, True, CurrentTime);
    XTestFakeKeyEvent(m_dpy, code, False, CurrentTime);
    if (shift)
        XTestFakeKeyEvent(m_dpy, shiftCode, False, CurrentTime);
    if (control)
        XTestFakeKeyEvent(m_dpy, ctrl, False, CurrentTime);
    XSync(m_dpy, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

void XDriver::type(const std::string& text)
{
    for (char c : text) {
        const char name[2] = {c, 0};
        unsigned long sym = c == '-' ? XK_minus : XStringToKeysym(name);
        key(sym);
    }
}

namespace {
std::string windowTitle(Display* dpy, Window w)
{
    Atom utf8 = XInternAtom(dpy, "UTF8_STRING", False);
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(dpy, w, XInternAtom(dpy, "_NET_WM_NAME", False), 0, 256, False, utf8, &type, &format, &n,
                           &after, &data) == Success && data) {
        title.assign(reinterpret_cast<char*>(data), n);
        XFree(data);
    }
    return title;
}

void collect(Display* dpy, Window w, std::vector<Window>& out)
{
    out.push_back(w);
    Window root, parent, *children = nullptr;
    unsigned n = 0;
    if (XQueryTree(dpy, w, &root, &parent, &children, &n)) {
        for (unsigned i = 0; i < n; ++i)
            collect(dpy, children[i], out);
        if (children)
            XFree(children);
    }
}
} // namespace

std::vector<Window> XDriver::findByTitle(const std::string& prefix)
{
    std::vector<Window> all, found;
    collect(m_dpy, DefaultRootWindow(m_dpy), all);
    for (Window w : all)
        if (windowTitle(m_dpy, w).rfind(prefix, 0) == 0)
            found.push_back(w);
    return found;
}

std::vector<std::string> XDriver::netWmState(Window w)
{
    std::vector<std::string> names;
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(m_dpy, w, XInternAtom(m_dpy, "_NET_WM_STATE", False), 0, 64, False, XA_ATOM, &type,
                           &format, &n, &after, &data) == Success && data) {
        for (unsigned long i = 0; i < n; ++i) {
            char* name = XGetAtomName(m_dpy, reinterpret_cast<Atom*>(data)[i]);
            names.emplace_back(name);
            XFree(name);
        }
        XFree(data);
    }
    return names;
}

bool XDriver::hasAbove(Window w)
{
    for (const auto& s : netWmState(w))
        if (s == "_NET_WM_STATE_ABOVE")
            return true;
    return false;
}

long XDriver::wmState(Window w)
{
    Atom wmState = XInternAtom(m_dpy, "WM_STATE", False);
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char* data = nullptr;
    long state = 0;
    if (XGetWindowProperty(m_dpy, w, wmState, 0, 2, False, wmState, &type, &format, &n, &after, &data) == Success &&
        data) {
        if (n >= 1)
            state = reinterpret_cast<long*>(data)[0];
        XFree(data);
    }
    return state;
}

std::vector<long> XDriver::cardinals(Window w, const char* property)
{
    std::vector<long> values;
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(m_dpy, w, XInternAtom(m_dpy, property, False), 0, 64, False, AnyPropertyType, &type,
                           &format, &n, &after, &data) == Success && data) {
        values.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + n);
        XFree(data);
    }
    return values;
}

Window XDriver::root() const { return DefaultRootWindow(m_dpy); }

std::vector<Window> XDriver::stacking()
{
    std::vector<Window> out;
    for (long v : cardinals(DefaultRootWindow(m_dpy), "_NET_CLIENT_LIST_STACKING"))
        out.push_back(static_cast<Window>(v));
    return out;
}

void XDriver::rootOrigin(Window w, int& x, int& y)
{
    Window child;
    XTranslateCoordinates(m_dpy, w, DefaultRootWindow(m_dpy), 0, 0, &x, &y, &child);
}

XDriver::Rect XDriver::frameRect(Window w)
{
    // The manager's frame is the window's ancestor just below the root.
    const Window rootWindow = DefaultRootWindow(m_dpy);
    for (;;) {
        Window rootRet, parent, *children = nullptr;
        unsigned n = 0;
        if (!XQueryTree(m_dpy, w, &rootRet, &parent, &children, &n))
            return {};
        if (children)
            XFree(children);
        if (parent == rootWindow)
            break;
        w = parent;
    }
    XWindowAttributes a;
    if (!XGetWindowAttributes(m_dpy, w, &a))
        return {};
    return {a.x, a.y, a.width + 2 * a.border_width, a.height + 2 * a.border_width};
}

void XDriver::requestClose(Window w)
{
    askWindowManager(m_dpy, w, "_NET_CLOSE_WINDOW", 0, 2); // source 2: a pager, as a user's close
}

unsigned long XDriver::pixel(int x, int y)
{
    XImage* image = XGetImage(m_dpy, DefaultRootWindow(m_dpy), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return 0;
    const unsigned long p = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return p;
}

bool waitFor(const std::function<bool()>& done, int timeoutMs, const std::function<void()>& pump)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (done())
            return true;
        if (pump)
            pump();
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

Child::Child(std::vector<std::string> argv, bool unsetDisplay, std::vector<std::string> extraEnv)
{
    static int counter = 0;
    const std::string base = "/tmp/vantorel-test-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
    m_outPath = base + ".out";
    m_errPath = base + ".err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, m_outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, m_errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> args;
    for (auto& a : argv)
        args.push_back(a.data());
    args.push_back(nullptr);
    auto replaced = [&](const char* var) {
        for (const auto& extra : extraEnv)
            if (std::strncmp(var, extra.c_str(), extra.find('=') + 1) == 0)
                return true;
        return false;
    };
    std::vector<char*> env;
    for (char** e = environ; *e; ++e)
        if ((!unsetDisplay || std::strncmp(*e, "DISPLAY=", 8) != 0) && !replaced(*e))
            env.push_back(*e);
    for (auto& extra : extraEnv)
        env.push_back(extra.data());
    env.push_back(nullptr);
    if (posix_spawn(&m_pid, args[0], &actions, nullptr, args.data(), env.data()) != 0)
        m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
}

Child::~Child()
{
    if (running()) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, &m_status, 0);
    }
    unlink(m_outPath.c_str());
    unlink(m_errPath.c_str());
}

bool Child::running()
{
    if (m_pid <= 0 || m_status != -1)
        return false;
    int status;
    if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_status = status;
        return false;
    }
    return true;
}

int Child::wait(int timeoutMs)
{
    if (!waitFor([this] { return !running(); }, timeoutMs))
        return -1;
    if (m_status == -1)
        return -1;
    return WIFEXITED(m_status) ? WEXITSTATUS(m_status) : 128 + WTERMSIG(m_status);
}

namespace {
std::string slurp(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}
} // namespace

std::string Child::out() const { return slurp(m_outPath); }
std::string Child::err() const { return slurp(m_errPath); }

std::string buildDir()
{
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    std::string exe(path, n > 0 ? static_cast<std::size_t>(n) : 0);
    return exe.substr(0, exe.rfind('/'));
}

std::vector<std::string> readLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace vantorel::test
