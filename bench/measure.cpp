// Measurements for the benchmark script; prints figures, asserts nothing.
//   measure startup PROGRAM            ms from exec to the main window managed and mapped
//   measure cpu PID SECONDS            CPU of a process over a span, in % of one core
//   measure rss PID                    resident memory in MiB
//   measure clicks [INTERVAL_MS] < recorder output
//                                      presses, clicks per second, and with an interval the
//                                      mean / p99 error of the spacing between presses
//   measure lines X Y COUNT            with the picker overlay open: ms from a pointer move
//                                      to the crosshair lines standing at the new place

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

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
    std::vector<double> pressTimes;
    unsigned long first = 0, last = 0;
    std::string kind;
    for (std::string line; std::getline(std::cin, line);) {
        std::istringstream in(line);
        int button, x, y;
        unsigned long t;
        if (!(in >> kind >> button >> x >> y >> t))
            continue;
        if (!first)
            first = t;
        last = t;
        if (kind == "press")
            pressTimes.push_back(static_cast<double>(t));
    }
    const double spanMs = static_cast<double>(last - first);
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
        std::printf("spacing error over %zu intervals: mean %+.2f ms  mean |error| %.2f ms  p99 |error| %.2f ms  max %.2f ms\n",
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
    if (cmd == "clicks")
        return clicks(argc > 2 ? std::atoi(argv[2]) : 0);
    if (cmd == "lines" && argc > 4)
        return lines(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]));
    std::fprintf(stderr, "see the comment at the top of measure.cpp\n");
    return 2;
}
