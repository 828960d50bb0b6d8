// Measurements for the benchmark script; prints figures, asserts nothing.
//   measure startup PROGRAM            ms from exec to the main window managed and mapped
//   measure cpu PID SECONDS            CPU of a process over a span, in % of one core
//   measure rss PID                    resident memory in MiB
//   measure wakeups PID SECONDS        wakeups per second of all the process's threads over a span
//                                      (context switches, voluntary or not), and its CPU
//   measure origin PID                 once the process's main window is mapped and holds its
//                                      place: "OX=x OY=y", its client area's origin on the screen
//   measure close PID TIMEOUT_MS       asks the window manager to close the main window, as
//                                      its close button does; ms until the process is gone
//   measure clicks [INTERVAL_MS] < recorder output
//                                      presses, clicks per second, and with an interval the
//                                      mean / p99 error of the spacing between presses, from
//                                      the recorder's monotonic stamps (server time without them)
//   measure requests SECONDS           requests of all clients per second, by the X server's
//                                      count (RECORD): image uploads (PutImage, ShmPutImage),
//                                      restacking ConfigureWindow, and window shape changes
//   measure wiggle SECONDS RATE        moves the pointer RATE times a second to random places
//   measure lines X Y COUNT            with the picker overlay open: ms from a pointer move
//                                      to the crosshair lines standing at the new place

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/record.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <random>

#include <dirent.h>
#include <signal.h>
#include <spawn.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
double msSince(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

bool mappedVantorel(Display* dpy)
{
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char* data = nullptr;
    bool found = false;
    if (XGetWindowProperty(dpy, DefaultRootWindow(dpy), XInternAtom(dpy, "_NET_CLIENT_LIST", False), 0, 1024, False,
                           XA_WINDOW, &type, &format, &n, &after, &data) == Success && data) {
        for (unsigned long i = 0; i < n && !found; ++i) {
            const Window w = reinterpret_cast<Window*>(data)[i];
            Atom t;
            int f;
            unsigned long len, rest;
            unsigned char* name = nullptr;
            XWindowAttributes attrs;
            if (XGetWindowProperty(dpy, w, XInternAtom(dpy, "_NET_WM_NAME", False), 0, 64, False,
                                   XInternAtom(dpy, "UTF8_STRING", False), &t, &f, &len, &rest, &name) == Success &&
                name) {
                found = std::strncmp(reinterpret_cast<char*>(name), "Vantorel", 8) == 0 &&
                        XGetWindowAttributes(dpy, w, &attrs) && attrs.map_state == IsViewable;
                XFree(name);
            }
        }
        XFree(data);
    }
    return found;
}

double cpuSeconds(int pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), {});
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string f;
    double utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> f; ++i) {
        if (i == 14) utime = std::stod(f);
        if (i == 15) stime = std::stod(f);
    }
    return (utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

long contextSwitches(int pid)
{
    long total = 0;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = opendir(tasks.c_str());
    if (!dir)
        return 0;
    while (dirent* e = readdir(dir)) {
        if (e->d_name[0] == '.')
            continue;
        std::ifstream in(tasks + "/" + e->d_name + "/status");
        for (std::string line; std::getline(in, line);)
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0 || line.rfind("nonvoluntary_ctxt_switches:", 0) == 0)
                total += std::atol(line.c_str() + line.find(':') + 1);
    }
    closedir(dir);
    return total;
}

bool processGone(int pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), {});
    const auto paren = stat.rfind(')');
    return stat.empty() || (paren != std::string::npos && paren + 2 < stat.size() && stat[paren + 2] == 'Z');
}

Window windowOfProcess(Display* dpy, int pid)
{
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char* data = nullptr;
    Window found = 0;
    if (XGetWindowProperty(dpy, DefaultRootWindow(dpy), XInternAtom(dpy, "_NET_CLIENT_LIST", False), 0, 1024, False,
                           XA_WINDOW, &type, &format, &n, &after, &data) == Success && data) {
        for (unsigned long i = 0; i < n && !found; ++i) {
            const Window w = reinterpret_cast<Window*>(data)[i];
            unsigned char* value = nullptr;
            unsigned long len, rest;
            if (XGetWindowProperty(dpy, w, XInternAtom(dpy, "_NET_WM_PID", False), 0, 1, False, XA_CARDINAL, &type,
                                   &format, &len, &rest, &value) == Success && value) {
                if (len == 1 && static_cast<int>(*reinterpret_cast<unsigned long*>(value)) == pid)
                    found = w;
                XFree(value);
            }
        }
        XFree(data);
    }
    return found;
}

int origin(int pid)
{
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return 1;
    // The manager may still move the frame after the first map: wait until
    // the place has held for a while.
    const auto t0 = Clock::now();
    int lastX = -1, lastY = -1, same = 0;
    while (same < 3 && msSince(t0) < 20000) {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        const Window w = windowOfProcess(dpy, pid);
        XWindowAttributes attrs;
        int x, y;
        Window child;
        if (!w || !XGetWindowAttributes(dpy, w, &attrs) || attrs.map_state != IsViewable ||
            !XTranslateCoordinates(dpy, w, DefaultRootWindow(dpy), 0, 0, &x, &y, &child)) {
            same = 0;
            continue;
        }
        same = x == lastX && y == lastY ? same + 1 : 0;
        lastX = x, lastY = y;
    }
    std::printf("OX=%d OY=%d\n", lastX, lastY);
    XCloseDisplay(dpy);
    return same < 3;
}

int closeProgram(int pid, int timeoutMs)
{
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return 1;
    const Window w = windowOfProcess(dpy, pid);
    if (!w) {
        std::printf("no window of process %d\n", pid);
        return 1;
    }
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = XInternAtom(dpy, "_NET_CLOSE_WINDOW", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[1] = 2; // as a pager or the user does
    const auto t0 = Clock::now();
    XSendEvent(dpy, DefaultRootWindow(dpy), False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
    XFlush(dpy);
    while (!processGone(pid) && msSince(t0) < timeoutMs)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (processGone(pid))
        std::printf("%.0f ms\n", msSince(t0));
    else
        std::printf("still running %d ms after the close request\n", timeoutMs);
    XCloseDisplay(dpy);
    return 0;
}

struct RequestCounts {
    int shmOpcode = -1, shapeOpcode = -1, xfixesOpcode = -1;
    long uploads = 0, restacks = 0, shapes = 0;
};

void countRequest(XPointer closure, XRecordInterceptData* data)
{
    auto* counts = reinterpret_cast<RequestCounts*>(closure);
    if (data->category == XRecordFromClient && data->data_len > 0) {
        const unsigned char* req = data->data;
        const int major = req[0], minor = req[1];
        if (major == 72 || (major == counts->shmOpcode && minor == 3))
            ++counts->uploads;
        else if (major == 12 && data->data_len >= 3 && (req[8] & 0x40)) // ConfigureWindow with CWStackMode
            ++counts->restacks;
        else if (major == counts->shapeOpcode || major == counts->xfixesOpcode)
            ++counts->shapes; // SHAPE requests, XFixesSetWindowShapeRegion
    }
    XRecordFreeData(data);
}

int requests(double seconds)
{
    Display* control = XOpenDisplay(nullptr);
    Display* data = XOpenDisplay(nullptr);
    if (!control || !data)
        return 1;
    RequestCounts counts;
    int event, error;
    XQueryExtension(control, "MIT-SHM", &counts.shmOpcode, &event, &error);
    XQueryExtension(control, "SHAPE", &counts.shapeOpcode, &event, &error);
    XQueryExtension(control, "XFIXES", &counts.xfixesOpcode, &event, &error);
    // Core requests and each extension's requests in ranges of their own: a
    // core range reaching into the extensions' major codes crashes Xvfb.
    XRecordRange* ranges[5];
    for (auto*& r : ranges)
        r = XRecordAllocRange();
    ranges[0]->core_requests = {12, 12}; // ConfigureWindow
    ranges[1]->core_requests = {72, 72}; // PutImage
    ranges[2]->ext_requests.ext_major = {static_cast<unsigned char>(counts.shmOpcode), static_cast<unsigned char>(counts.shmOpcode)};
    ranges[2]->ext_requests.ext_minor = {3, 3};
    ranges[3]->ext_requests.ext_major = {static_cast<unsigned char>(counts.shapeOpcode), static_cast<unsigned char>(counts.shapeOpcode)};
    ranges[3]->ext_requests.ext_minor = {1, 3}; // Rectangles, Mask, Combine
    ranges[4]->ext_requests.ext_major = {static_cast<unsigned char>(counts.xfixesOpcode), static_cast<unsigned char>(counts.xfixesOpcode)};
    ranges[4]->ext_requests.ext_minor = {21, 21}; // SetWindowShapeRegion
    XRecordClientSpec clients = XRecordAllClients;
    XRecordContext context = XRecordCreateContext(control, 0, &clients, 1, ranges, 5);
    XSync(control, False);
    if (!XRecordEnableContextAsync(data, context, countRequest, reinterpret_cast<XPointer>(&counts))) {
        std::printf("RECORD unavailable\n");
        return 1;
    }
    const auto t0 = Clock::now();
    while (msSince(t0) < seconds * 1000) {
        XRecordProcessReplies(data);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    XRecordDisableContext(control, context);
    XSync(control, False);
    const double span = msSince(t0) / 1000.0;
    std::printf("image uploads %.0f/s  restacks %.0f/s  shape changes %.0f/s\n", counts.uploads / span,
                counts.restacks / span, counts.shapes / span);
    XRecordFreeContext(control, context);
    for (auto* r : ranges)
        XFree(r);
    return 0;
}

int wiggle(double seconds, double rate)
{
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return 1;
    std::mt19937 random(7);
    const auto t0 = Clock::now();
    for (long i = 0; msSince(t0) < seconds * 1000; ++i) {
        XTestFakeMotionEvent(dpy, -1, 100 + static_cast<int>(random() % 1500), 100 + static_cast<int>(random() % 700),
                             CurrentTime);
        XFlush(dpy);
        std::this_thread::sleep_until(t0 + std::chrono::duration_cast<Clock::duration>(
                                               std::chrono::duration<double>((i + 1) / rate)));
    }
    XCloseDisplay(dpy);
    return 0;
}

int startup(const char* program)
{
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return 1;
    const auto t0 = Clock::now();
    pid_t pid;
    char* argv[] = {const_cast<char*>(program), nullptr};
    if (posix_spawn(&pid, program, nullptr, nullptr, argv, environ) != 0)
        return 1;
    while (!mappedVantorel(dpy) && msSince(t0) < 20000)
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    std::printf("%.1f %d\n", msSince(t0), pid); // the caller ends the process
    XCloseDisplay(dpy);
    return 0;
}

int clicks(int interval)
{
    std::vector<double> pressTimes; // ms
    double first = -1, last = 0;
    std::string kind;
    for (std::string line; std::getline(std::cin, line);) {
        std::istringstream in(line);
        int button, x, y;
        unsigned long serverMs;
        long long monotonicUs;
        if (!(in >> kind >> button >> x >> y >> serverMs))
            continue;
        const double t = in >> monotonicUs ? static_cast<double>(monotonicUs) / 1000.0 : static_cast<double>(serverMs);
        if (first < 0)
            first = t;
        last = t;
        if (kind == "press")
            pressTimes.push_back(t);
    }
    const double spanMs = last - first;
    std::printf("presses %zu  span %.0f ms  clicks/s %.0f\n", pressTimes.size(), spanMs,
                spanMs > 0 ? 1000.0 * static_cast<double>(pressTimes.size()) / spanMs : 0.0);
    if (interval > 0 && pressTimes.size() > 2) {
        std::vector<double> errors;
        for (std::size_t i = 1; i < pressTimes.size(); ++i)
            errors.push_back(pressTimes[i] - pressTimes[i - 1] - interval);
        double mean = 0;
        for (double e : errors)
            mean += e;
        mean /= static_cast<double>(errors.size());
        std::vector<double> abs;
        for (double e : errors)
            abs.push_back(std::fabs(e));
        std::sort(abs.begin(), abs.end());
        std::printf("spacing error over %zu intervals: mean %+.3f ms  mean |error| %.3f ms  p99 |error| %.3f ms  max %.2f ms\n",
                    errors.size(), mean, [&] { double s = 0; for (double a : abs) s += a; return s / abs.size(); }(),
                    abs[std::min(abs.size() - 1, static_cast<std::size_t>(0.99 * abs.size()))], abs.back());
    }
    return 0;
}

unsigned long pixel(Display* dpy, int x, int y)
{
    XImage* image = XGetImage(dpy, DefaultRootWindow(dpy), x, y, 1, 1, AllPlanes, ZPixmap);
    const unsigned long p = image ? XGetPixel(image, 0, 0) & 0xFFFFFF : 0;
    if (image)
        XDestroyImage(image);
    return p;
}

int lines(int x0, int y0, int count)
{
    Display* dpy = XOpenDisplay(nullptr);
    std::vector<double> delays;
    for (int i = 0; i < count; ++i) {
        const int x = x0 + (i % 2) * 200, y = y0 + (i % 3) * 60;
        XTestFakeMotionEvent(dpy, -1, x, y, CurrentTime);
        XSync(dpy, False);
        const auto t0 = Clock::now();
        // the horizontal line crosses the column x + 300 on the pointer's row
        auto onRow = [&] {
            for (int dy = -3; dy <= 3; ++dy)
                if (pixel(dpy, x + 300, y + dy) == 0xFF0000)
                    return true;
            return false;
        };
        while (!onRow() && msSince(t0) < 1000)
            ;
        delays.push_back(msSince(t0));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::sort(delays.begin(), delays.end());
    std::printf("pointer move to lines in place over %d moves: median %.1f ms  p90 %.1f ms  max %.1f ms\n", count,
                delays[delays.size() / 2], delays[delays.size() * 9 / 10], delays.back());
    XCloseDisplay(dpy);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string cmd = argc > 1 ? argv[1] : "";
    if (cmd == "startup" && argc > 2)
        return startup(argv[2]);
    if (cmd == "cpu" && argc > 3) {
        const int pid = std::atoi(argv[2]);
        const double seconds = std::atof(argv[3]);
        const double before = cpuSeconds(pid);
        const auto t0 = Clock::now();
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        const double used = cpuSeconds(pid) - before;
        std::printf("%.2f %%\n", 100.0 * used / (msSince(t0) / 1000.0));
        return 0;
    }
    if (cmd == "rss" && argc > 2) {
        std::ifstream in("/proc/" + std::string(argv[2]) + "/status");
        for (std::string line; std::getline(in, line);)
            if (line.rfind("VmRSS:", 0) == 0) {
                std::printf("%.1f MiB\n", std::atof(line.c_str() + 6) / 1024.0);
            }
        return 0;
    }
    if (cmd == "wakeups" && argc > 3) {
        const int pid = std::atoi(argv[2]);
        const long switchesBefore = contextSwitches(pid);
        const double cpuBefore = cpuSeconds(pid);
        const auto t0 = Clock::now();
        std::this_thread::sleep_for(std::chrono::duration<double>(std::atof(argv[3])));
        const double seconds = msSince(t0) / 1000.0;
        std::printf("%.1f wakeups/s  CPU %.2f %%\n", static_cast<double>(contextSwitches(pid) - switchesBefore) / seconds,
                    100.0 * (cpuSeconds(pid) - cpuBefore) / seconds);
        return 0;
    }
    if (cmd == "requests" && argc > 2)
        return requests(std::atof(argv[2]));
    if (cmd == "wiggle" && argc > 3)
        return wiggle(std::atof(argv[2]), std::atof(argv[3]));
    if (cmd == "origin" && argc > 2)
        return origin(std::atoi(argv[2]));
    if (cmd == "close" && argc > 3)
        return closeProgram(std::atoi(argv[2]), std::atoi(argv[3]));
    if (cmd == "clicks")
        return clicks(argc > 2 ? std::atoi(argv[2]) : 0);
    if (cmd == "lines" && argc > 4)
        return lines(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]));
    std::fprintf(stderr, "see the comment at the top of measure.cpp\n");
    return 2;
}
