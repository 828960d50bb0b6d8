#pragma once
// The real program in this process: the Qt runtime and the X11 platform on
// the test display, with the main window loaded.

#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/Startup.h"
#include "platform/x11/X11Platform.h"
#include "runtime/qt/QtRuntime.h"
#include "runtime/qt/X11Window.h"
#include "tests/x11/XDriver.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

namespace vantorel::test {

class AppFixture : public ::testing::Test {
protected:
    AppFixture()
    {
        platform.setWindowEffects(&rt);
        rt.loadWindow(mainWindowDef(), mainWindowBindings(program), false);
        waitFor([this] { return x.wmState(mainHandle()) == 1; }, 3000, pump());
        settle(100);
    }
    ~AppFixture() override
    {
        if (rt.isLoaded(kMainWindow))
            rt.destroyWindow(kMainWindow);
        settle(50);
    }

    Window mainHandle() { return static_cast<Window>(rt.nativeHandle(kMainWindow)); }
    std::function<void()> pump()
    {
        return [] { QCoreApplication::processEvents(QEventLoop::AllEvents, 5); };
    }
    void settle(int ms)
    {
        waitFor([] { return false; }, ms, pump());
    }
    /// Screen position of the centre of a main window control.
    QPoint centreOf(const std::string& control)
    {
        QWidget* w = rt.widgetOf(kMainWindow)->findChild<QWidget*>(QString::fromStdString(control));
        return w->mapToGlobal(w->rect().center());
    }
    void clickControl(const std::string& control, unsigned button = 1)
    {
        const QPoint p = centreOf(control);
        x.click(p.x(), p.y(), button);
        settle(60);
    }
    std::string text(const std::string& control) { return rt.readText(kMainWindow, control); }

    XDriver x;
    X11Platform platform;
    qt::QtRuntime rt{platform};
    Program program{rt, platform};
};

/// main() for X11 test programs: a Qt application on the test display.
int runX11Tests(int argc, char** argv);

} // namespace vantorel::test
