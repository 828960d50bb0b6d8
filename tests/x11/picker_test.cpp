// The picker on a real X server under openbox: opened by a real press on the
// crosshair picture, see-through and click-through over a recorder window of
// the test's, closed by a capture or Esc.

#include "picker/Overlay.h"
#include "tests/x11/AppFixture.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <X11/Xlib.h>

#include <sstream>

using namespace vantorel;
using namespace vantorel::test;

namespace {

constexpr unsigned long kBackground = 0x3060C0; // the recorder's colour
constexpr unsigned long kRed = 0xFF0000;

class Picker : public AppFixture {
protected:
    void SetUp() override
    {
        recorder = std::make_unique<Child>(std::vector<std::string>{buildDir() + "/recorder", "600x500+60+80",
                                                                    "--colour", "3060C0", "--title", "recorder"});
        ASSERT_TRUE(waitFor([&] { return recorder->out().find("ready") != std::string::npos; }, 5000, pump()));
        settle(200);
    }

    /// Presses the crosshair picture for real and runs `whileOpen` once the
    /// overlay is up; returns when the overlay has closed (or after 10 s).
    void withOverlayOpen(const std::function<void()>& whileOpen)
    {
        bool ran = false;
        QTimer steps;
        steps.setInterval(20);
        QElapsedTimer clock;
        clock.start();
        QObject::connect(&steps, &QTimer::timeout, [&] {
            if (clock.elapsed() > 10000 && rt.isLoaded(kPickerWindow)) {
                ADD_FAILURE() << "the overlay did not close by itself";
                rt.destroyWindow(kPickerWindow); // ends the press handler's loop
                return;
            }
            if (ran || !rt.isLoaded(kPickerWindow) || !rt.widgetOf(kPickerWindow)->isVisible())
                return;
            if (x.wmState(mainHandle()) != 3)
                return; // not yet iconified
            ran = true;
            settle(150); // first ticks of the overlay's timers
            whileOpen();
        });
        steps.start();
        const QPoint picture = centreOf("准星");
        x.move(picture.x(), picture.y());
        x.button(1, true);
        // The press handler runs the overlay's loop inside this pump until it closes.
        waitFor([&] { return ran && !rt.isLoaded(kPickerWindow); }, 12000, pump());
        x.button(1, false);
        steps.stop();
        ASSERT_TRUE(ran) << "the overlay did not open";
        ASSERT_FALSE(rt.isLoaded(kPickerWindow)) << "the overlay did not close";
        settle(100);
    }

    std::vector<std::string> recorded()
    {
        std::vector<std::string> lines;
        std::istringstream in(recorder->out());
        for (std::string line; std::getline(in, line);) {
            std::istringstream fields(line);
            std::string kind, button, x, y; // without the times
            if (fields >> kind >> button >> x >> y)
                lines.push_back(kind + " " + button + " " + x + " " + y);
        }
        return lines;
    }

    std::unique_ptr<Child> recorder;
};

TEST_F(Picker, ACaptureFillsTheFirstSlotLetsTheClickThroughAndRestoresTheWindow)
{
    bool mainDisabled = false;
    QRect overlay;
    std::vector<long> savedStyle, style;
    withOverlayOpen([&] {
        mainDisabled = !rt.widgetOf(kMainWindow)->isEnabled();
        overlay = rt.widgetOf(kPickerWindow)->geometry();
        const Window handle = static_cast<Window>(rt.nativeHandle(kPickerWindow));
        savedStyle = x.cardinals(handle, "transparent_tmp");
        style = x.cardinals(handle, "_VANTOREL_EXSTYLE");
        x.button(1, false); // the press on the picture ends; it must not count
        settle(100);
        EXPECT_TRUE(rt.isLoaded(kPickerWindow));
        x.move(300, 200);
        settle(50);
        x.button(1, true);
        x.button(1, false);
    });
    EXPECT_TRUE(mainDisabled);
    // the style before click-through (layered only) is kept on the window; now layered and transparent
    EXPECT_EQ(savedStyle, std::vector<long>{0x80000});
    EXPECT_EQ(style, std::vector<long>{0x80020});
    // The work area of the monitor that holds the overlay's own place (50, 50, 800 x 600).
    const auto workArea = x.cardinals(x.root(), "_NET_WORKAREA");
    ASSERT_GE(workArea.size(), 4u);
    QScreen* monitor = QGuiApplication::screenAt(QPoint(450, 350));
    ASSERT_NE(monitor, nullptr);
    EXPECT_EQ(overlay, QRect(int(workArea[0]), int(workArea[1]), int(workArea[2]), int(workArea[3]))
                           .intersected(monitor->geometry()));
    EXPECT_EQ(text("X坐标1"), "300");
    EXPECT_EQ(text("Y坐标1"), "200");
    EXPECT_EQ(rt.readText(kMainWindow, "状态标签", Prop::Caption), "坐标1写入成功！");
    EXPECT_TRUE(rt.widgetOf(kMainWindow)->isEnabled());
    EXPECT_TRUE(waitFor([&] { return x.wmState(mainHandle()) == 1; }, 3000, pump()));
    waitFor([&] { return recorded().size() >= 2; }, 2000, pump());
    EXPECT_EQ(recorded(), (std::vector<std::string>{"press 1 300 200", "release 1 300 200"}));
}

TEST_F(Picker, TheOverlayIsSeeThroughButForTheLinesAndTheReadout)
{
    std::vector<unsigned long> background, lineRow, lineColumn;
    bool readoutRed = false;
    withOverlayOpen([&] {
        x.move(320, 300);
        settle(250);
        for (auto [px, py] : {std::pair{150, 150}, {500, 450}, {600, 140}})
            background.push_back(x.pixel(px, py));
        // the horizontal line crosses x = 550 on the pointer's row, the vertical one y = 500 on its column
        for (int dy = -4; dy <= 4; ++dy)
            lineRow.push_back(x.pixel(550, 300 + dy));
        for (int dx = -4; dx <= 4; ++dx)
            lineColumn.push_back(x.pixel(320 + dx, 500));
        for (int py = 305; py < 340 && !readoutRed; ++py)
            for (int px = 330; px < 450 && !readoutRed; ++px)
                readoutRed = x.pixel(px, py) == kRed;
        x.key("Escape");
    });
    for (unsigned long p : background)
        EXPECT_EQ(p, kBackground);
    EXPECT_NE(std::find(lineRow.begin(), lineRow.end(), kRed), lineRow.end());
    EXPECT_NE(std::find(lineColumn.begin(), lineColumn.end(), kRed), lineColumn.end());
    EXPECT_TRUE(readoutRed);
}

TEST_F(Picker, UnderACompositorWithShadowsTheOverlayLooksTheSame)
{
    // xcompmgr -c draws a shadow around every window that does not opt out;
    // a full-screen overlay's shadow would darken all of the screen beneath it.
    Child compositor({"/usr/bin/xcompmgr", "-c"});
    const unsigned long cm = XInternAtom(x.dpy(), "_NET_WM_CM_S0", False);
    ASSERT_TRUE(waitFor([&] { return XGetSelectionOwner(x.dpy(), cm) != 0; }, 5000, pump())) << compositor.err();
    const std::pair<int, int> spots[] = {{150, 150}, {500, 450}, {600, 140}, {80, 560}};
    auto sample = [&] {
        std::vector<unsigned long> got;
        for (auto [px, py] : spots)
            got.push_back(x.pixel(px, py));
        return got;
    };
    // The recorder as the compositor draws it, before the overlay opens.
    ASSERT_TRUE(waitFor([&] { return sample() == std::vector<unsigned long>(std::size(spots), kBackground); }, 3000,
                        pump()));
    std::vector<unsigned long> background;
    bool lineRed = false;
    withOverlayOpen([&] {
        x.button(1, false);
        x.move(320, 300);
        // Once the compositor shows the line on the pointer's row, it has drawn the overlay.
        lineRed = waitFor([&] {
            for (int dy = -4; dy <= 4; ++dy)
                if (x.pixel(550, 300 + dy) == kRed)
                    return true;
            return false;
        }, 3000, pump());
        background = sample();
        x.key("Escape");
    });
    EXPECT_TRUE(lineRed);
    EXPECT_EQ(background, std::vector<unsigned long>(std::size(spots), kBackground));
    EXPECT_TRUE(compositor.running());
}

TEST_F(Picker, AClickOnTheLinesStillReachesTheWindowBeneath)
{
    withOverlayOpen([&] {
        x.button(1, false);
        x.move(250, 250);
        settle(150); // the lines now cross under the pointer
        x.button(1, true);
        x.button(1, false);
    });
    waitFor([&] { return recorded().size() >= 2; }, 2000, pump());
    EXPECT_EQ(recorded(), (std::vector<std::string>{"press 1 250 250", "release 1 250 250"}));
    EXPECT_EQ(text("X坐标1"), "250");
}

TEST_F(Picker, RightClicksAreIgnored)
{
    withOverlayOpen([&] {
        x.button(1, false);
        x.move(300, 300);
        x.button(3, true);
        x.button(3, false);
        settle(150);
        EXPECT_TRUE(rt.isLoaded(kPickerWindow));
        EXPECT_EQ(text("X坐标1"), "");
        x.move(310, 320); // then a left click captures
        x.button(1, true);
        x.button(1, false);
    });
    EXPECT_EQ(text("X坐标1"), "310");
    EXPECT_EQ(text("Y坐标1"), "320");
}

TEST_F(Picker, EscClosesWithoutACapture)
{
    withOverlayOpen([&] {
        x.button(1, false);
        // Esc goes to the overlay once it has the keyboard focus
        EXPECT_TRUE(waitFor([&] { return QApplication::activeWindow() == rt.widgetOf(kPickerWindow); }, 3000, pump()));
        x.key("Escape");
    });
    EXPECT_EQ(text("X坐标1"), "");
    EXPECT_EQ(rt.readText(kMainWindow, "状态标签", Prop::Caption), "当前状态：等待探测或手动填写坐标！");
    EXPECT_TRUE(waitFor([&] { return x.wmState(mainHandle()) == 1; }, 3000, pump()));
}

TEST_F(Picker, WithAllSlotsTakenItSaysSoAndClosesBeforeTheMessageBox)
{
    for (int k = 1; k <= 10; ++k) {
        rt.writeText(kMainWindow, xBox(k), Prop::Text, "1");
        rt.writeText(kMainWindow, yBox(k), Prop::Text, k == 4 ? " " : "2"); // a blank counts as taken
    }
    bool overlayGoneWhileBoxOpen = false;
    QString boxText, boxTitle, buttonText;
    QTimer dismiss;
    dismiss.setInterval(50);
    QObject::connect(&dismiss, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxText = box->text();
            boxTitle = box->windowTitle();
            if (auto* ok = box->button(QMessageBox::Ok))
                buttonText = ok->text();
            overlayGoneWhileBoxOpen = !rt.isLoaded(kPickerWindow);
            box->accept();
        }
    });
    dismiss.start();
    withOverlayOpen([&] {
        x.button(1, false);
        x.move(300, 300);
        x.button(1, true);
        x.button(1, false);
    });
    waitFor([&] { return !boxText.isEmpty(); }, 3000, pump());
    EXPECT_EQ(boxText, QStringLiteral("坐标已满，请开始运行！"));
    EXPECT_EQ(boxTitle, QStringLiteral("警告:"));
    EXPECT_EQ(buttonText, QStringLiteral("确定"));
    EXPECT_TRUE(overlayGoneWhileBoxOpen);
    EXPECT_EQ(rt.readText(kMainWindow, "状态标签", Prop::Caption), "您已成功写入所有坐标，请点启动开始运行！");
    EXPECT_EQ(text("Y坐标4"), " ");
    // Back on screen once the box is gone, as after a capture.
    EXPECT_TRUE(waitFor([&] { return x.wmState(mainHandle()) == 1; }, 3000, pump()));
    EXPECT_TRUE(rt.widgetOf(kMainWindow)->isEnabled());
}

} // namespace

int main(int argc, char** argv) { return runX11Tests(argc, argv); }
