// Vantorel: replays a sequence of mouse clicks at screen positions.

#include "app/Identity.h"
#include "app/Startup.h"
#include "platform/x11/X11Platform.h"
#include "runtime/qt/Application.h"
#include "runtime/qt/QtRuntime.h"

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    // Qt aborts without a display; say plainly what is wrong instead.
    Display* probe = XOpenDisplay(nullptr);
    if (!probe) {
        const char* name = std::getenv("DISPLAY");
        std::fprintf(stderr, "vantorel: cannot open the X display%s%s%s; run it on an X11 desktop\n",
                     name && *name ? " \"" : " (DISPLAY is not set)", name && *name ? name : "",
                     name && *name ? "\"" : "");
        return EXIT_FAILURE;
    }
    const std::string missing = vantorel::X11Platform::missingExtensions(probe);
    XCloseDisplay(probe);
    if (!missing.empty()) {
        std::fprintf(stderr, "vantorel: the X server lacks the extensions %s\n", missing.c_str());
        return EXIT_FAILURE;
    }

    const auto app = vantorel::qt::startApplication(argc, argv);
    // Qt would take the window class from the name the program was started by;
    // the desktop entry's StartupWMClass needs it fixed.
    QApplication::setApplicationName(QString::fromLatin1(vantorel::identity::kWindowClass));
    QApplication::setApplicationVersion(QString::fromLatin1(vantorel::identity::kVersion));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(vantorel::identity::kDesktopId));
    vantorel::X11Platform platform;
    vantorel::qt::QtRuntime runtime(platform);
    platform.setWindowEffects(&runtime);
    vantorel::Program program{runtime, platform};
    return vantorel::runProgram(program);
}
