// The main window on a real X server under openbox: place, top-most state,
// initial contents, integer-text input through real key events, the commands.

#include "tests/x11/AppFixture.h"

#include <QClipboard>
#include <QColorDialog>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QComboBox>
#include <QGuiApplication>
#include <QInputMethodEvent>


using namespace vantorel;
using namespace vantorel::test;

namespace {

class MainWindow : public AppFixture {};

TEST_F(MainWindow, IsCentredTopMostAndShowsItsInitialContents)
{
    const Window w = mainHandle();
    const auto extents = x.cardinals(w, "_NET_FRAME_EXTENTS");
    ASSERT_EQ(extents.size(), 4u);
    int cx = 0, cy = 0;
    x.rootOrigin(w, cx, cy);
    const QSize client = rt.widgetOf(kMainWindow)->size();
    EXPECT_EQ(cx - extents[0], (1920 - 487) / 2);
    EXPECT_EQ(cy - extents[2], (1080 - 612) / 2);
    EXPECT_EQ(client.width() + extents[0] + extents[1], 487);
    EXPECT_EQ(client.height() + extents[2] + extents[3], 612);
    EXPECT_TRUE(x.hasAbove(w));
    EXPECT_EQ(rt.widgetOf(kMainWindow)->windowTitle().left(8), QStringLiteral("Vantorel"));

    for (int k = 1; k <= 10; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(text(xBox(k)), "");
        EXPECT_EQ(text(yBox(k)), "");
        EXPECT_EQ(text(delayBox(k)), "1500");
        auto* combo = rt.widgetOf(kMainWindow)->findChild<QComboBox*>(QString::fromStdString(actionList(k)));
        EXPECT_EQ(combo->currentText(), QStringLiteral("左键单击"));
    }
    EXPECT_EQ(text("X坐标总延时"), "1500");
    EXPECT_EQ(text("循环次数编辑框"), "1");
    EXPECT_EQ(text("编辑框1"), "3000");
    EXPECT_EQ(rt.readInt(kMainWindow, "保持最前", Prop::Checked), 1);
    EXPECT_EQ(rt.readInt(kMainWindow, "倒计时编辑框", Prop::Visible), 0);
    EXPECT_EQ(rt.readText(kMainWindow, "状态标签", Prop::Caption), "当前状态：等待探测或手动填写坐标！");
    for (const char* spare : {"启动1", "启动2", "启动3"})
        EXPECT_EQ(rt.readInt(kMainWindow, spare, Prop::Enabled), 0);
    EXPECT_EQ(rt.readInt(kMainWindow, "时钟2", Prop::Period), 10);
}

TEST_F(MainWindow, TheCrosshairPictureIsShrunkTo88PixelsAndCentredOnButtonFace)
{
    QWidget* picture = rt.widgetOf(kMainWindow)->findChild<QWidget*>(QStringLiteral("准星"));
    ASSERT_NE(picture, nullptr);
    const QImage shot = picture->grab().toImage();
    ASSERT_EQ(shot.size(), QSize(104, 88));
    const QColor face = picture->palette().color(QPalette::Window);
    auto isRed = [](QColor c) { return c.red() > 150 && c.green() < 100 && c.blue() < 100; };
    for (int y : {0, 44, 87}) {
        EXPECT_EQ(shot.pixelColor(3, y), face);   // the strips left and right of the image
        EXPECT_EQ(shot.pixelColor(100, y), face);
    }
    EXPECT_TRUE(isRed(shot.pixelColor(52, 44)));   // the crosshair's centre: image x 8..95
    EXPECT_FALSE(isRed(shot.pixelColor(12, 4)));   // the light background in its corner
    EXPECT_NE(shot.pixelColor(12, 4), face);
}

TEST_F(MainWindow, IntegerBoxesDropTypedLettersButNotPastedText)
{
    clickControl("X坐标1");
    x.type("1a2-b3");
    settle(100);
    EXPECT_EQ(text("X坐标1"), "12-3");

    QGuiApplication::clipboard()->setText(QStringLiteral("abc"));
    clickControl("Y坐标1");
    x.key("v", true);
    settle(100);
    EXPECT_EQ(text("Y坐标1"), "abc");
}

TEST_F(MainWindow, EditingKeysWorkInIntegerBoxes)
{
    clickControl("X坐标1");
    x.type("12345");
    struct Step { const char* key; bool control, shift; const char* text; };
    // clang-format off
    const Step steps[] = {
        {"Home",   false, false, "12345"},
        {"Delete", false, false, "2345"},
        {"End",    false, false, "2345"},
        {"Left",   false, false, "2345"},
        {"Delete", false, false, "234"},
        {"z",      true,  false, "2345"},  // undo
        {"a",      true,  false, "2345"},
        {"Delete", false, true,  ""},      // cut
        {"z",      true,  false, "2345"},
        {"KP_Delete", false, false, ""},   // the selection that undo brought back
    };
    // clang-format on
    for (const Step& step : steps) {
        SCOPED_TRACE(std::string(step.key) + (step.control ? " with Control" : "") + (step.shift ? " with Shift" : ""));
        x.key(step.key, step.control, step.shift);
        settle(60);
        EXPECT_EQ(text("X坐标1"), step.text);
    }
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("2345"));
}

TEST_F(MainWindow, InputMethodCommitsInIntegerBoxesAreFilteredLikeTypedText)
{
    clickControl("X坐标1");
    QWidget* box = QApplication::focusWidget();
    ASSERT_NE(box, nullptr);
    ASSERT_EQ(box->objectName(), QStringLiteral("X坐标1"));
    // clang-format off
    const std::pair<QString, const char*> commits[] = {
        {QStringLiteral("12"),          "12"},
        {QStringLiteral("３中a-4。"),   "12-4"},
        {QStringLiteral("坐标"),        "12-4"},
        {QChar(0x7F) + QStringLiteral("5"), "12-45"}, // a control character is no editing key here
    };
    // clang-format on
    for (const auto& [commit, expected] : commits) {
        SCOPED_TRACE(commit.toStdString());
        QInputMethodEvent event;
        event.setCommitString(commit);
        QCoreApplication::sendEvent(box, &event);
        EXPECT_EQ(text("X坐标1"), expected);
    }
}

TEST_F(MainWindow, TheColourDialogSpeaksChinese)
{
    QStringList texts;
    QTimer inspect;
    inspect.setInterval(50);
    QObject::connect(&inspect, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        for (auto* button : dialog->findChildren<QPushButton*>())
            texts << button->text();
        for (auto* label : dialog->findChildren<QLabel*>())
            texts << label->text();
        dialog->reject();
    });
    inspect.start();
    clickControl("颜色选择器1");
    ASSERT_TRUE(waitFor([&] { return !texts.isEmpty(); }, 3000, pump()));
    EXPECT_TRUE(texts.contains(QStringLiteral("确定"))) << texts.join(u'|').toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("取消"))) << texts.join(u'|').toStdString();
    // No English word left: only mnemonics such as "(&R)" and the name "HTML" are Latin.
    static const QRegularExpression allowedLatin(QStringLiteral("\\(&[A-Z]\\)|HTML"));
    static const QRegularExpression latinLetter(QStringLiteral("[A-Za-z]"));
    for (QString t : texts)
        EXPECT_FALSE(t.remove(allowedLatin).contains(latinLetter)) << t.toStdString();
}

TEST_F(MainWindow, FillDelaysWritesTheCommonDelayAsAnInteger)
{
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {
        {"2500", "2500"}, {"abc", "0"}, {"", "0"}, {"2500.9", "2500"}, {" 300", "300"},
        {"-100", "-100"}, {"4294967297", "1"}, {"１５００", "1500"},
    };
    // clang-format on
    for (const auto& [common, expected] : cases) {
        SCOPED_TRACE(common);
        rt.writeText(kMainWindow, "X坐标总延时", Prop::Text, common); // as if pasted
        for (int k = 1; k <= 10; ++k)
            rt.writeText(kMainWindow, delayBox(k), Prop::Text, "7");
        clickControl("一键填入");
        for (int k = 1; k <= 10; ++k)
            EXPECT_EQ(text(delayBox(k)), expected);
        EXPECT_EQ(std::to_string(program.fillDelay), expected);
        EXPECT_EQ(text("X坐标总延时"), common); // left as it is
    }
}

TEST_F(MainWindow, ClearCoordinatesEmptiesEveryXAndYBoxOnly)
{
    for (int k = 1; k <= 10; ++k) {
        rt.writeText(kMainWindow, xBox(k), Prop::Text, std::to_string(k));
        rt.writeText(kMainWindow, yBox(k), Prop::Text, "y");
        rt.writeText(kMainWindow, delayBox(k), Prop::Text, "99");
    }
    clickControl("一键清空");
    for (int k = 1; k <= 10; ++k) {
        EXPECT_EQ(text(xBox(k)), "");
        EXPECT_EQ(text(yBox(k)), "");
        EXPECT_EQ(text(delayBox(k)), "99");
    }
}

TEST_F(MainWindow, KeepOnTopLeavesAndReentersTheTopMostBand)
{
    // Another top-most window over the lower part of ours, as a user's other tool would be.
    Child other({buildDir() + "/recorder", "400x300+750+500", "--title", "other-top"});
    std::vector<Window> found;
    ASSERT_TRUE(waitFor([&] { return !(found = x.findByTitle("other-top")).empty(); }, 3000, pump()));
    settle(200);
    x.makeTopMost(found[0]);
    settle(200);
    auto topOf = [&] {
        const auto order = x.stacking();
        for (auto it = order.rbegin(); it != order.rend(); ++it)
            if (*it == mainHandle() || *it == found[0])
                return *it;
        return Window{0};
    };
    ASSERT_EQ(topOf(), found[0]);

    clickControl("保持最前"); // unchecked
    EXPECT_EQ(rt.readInt(kMainWindow, "保持最前", Prop::Checked), 0);
    EXPECT_TRUE(waitFor([&] { return !x.hasAbove(mainHandle()); }, 1000, pump()));

    clickControl("保持最前"); // checked again: back above every window
    EXPECT_EQ(rt.readInt(kMainWindow, "保持最前", Prop::Checked), 1);
    EXPECT_TRUE(waitFor([&] { return x.hasAbove(mainHandle()); }, 1000, pump()));
    EXPECT_TRUE(waitFor([&] { return topOf() == mainHandle(); }, 1000, pump()));
}

} // namespace

int main(int argc, char** argv) { return runX11Tests(argc, argv); }
