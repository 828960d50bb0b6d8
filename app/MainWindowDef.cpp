#include "app/MainWindow.h"

#include <array>

namespace vantorel {

std::string xBox(int k) { return "X坐标" + std::to_string(k); }
std::string yBox(int k) { return "Y坐标" + std::to_string(k); }
std::string actionList(int k) { return "X坐标指令" + std::to_string(k); }
std::string delayBox(int k) { return "X坐标延时" + std::to_string(k); }

namespace {

using namespace flag;

constexpr Colour kRed = rgb(255, 0, 0);
constexpr Colour kBlack = rgb(0, 0, 0);
constexpr Colour kWhite = rgb(255, 255, 255);
constexpr Colour kBlue = rgb(0, 0, 255);
const Font kGuiFont{};

const std::string kUnderscores(441, '_');

// Slot k lies at y(k) = 221 + 31 (k - 1); its caption label has an irregular name.
int slotTop(int k) { return 221 + 31 * (k - 1); }
constexpr std::array<int, 10> kCaptionLabel{2, 4, 6, 5, 8, 7, 10, 9, 12, 11};
constexpr std::array<int, 10> kActionListTop{223, 253, 285, 316, 346, 377, 409, 440, 470, 501};

ControlDef slotCaption(int k)
{
    return {.kind = Kind::TransparentLabel, .name = "透明标签" + std::to_string(kCaptionLabel[k - 1]),
            .left = 6, .top = slotTop(k), .width = 64, .height = 32, .content = "坐标" + std::to_string(k) + "：",
            .textColour = kRed, .font = {16}, .align = HAlign::Centre, .flags = VCentre};
}

constexpr unsigned kSlotBox = TabStop | IntegerInput;

ControlDef slotX(int k)
{
    return {.kind = Kind::EditBox, .name = xBox(k), .left = 80, .top = slotTop(k), .width = 64, .height = 32,
            .textColour = rgb(0, 224, 128), .backColour = kBlack, .font = kGuiFont, .align = HAlign::Centre,
            .border = Border::Sunken, .flags = kSlotBox};
}

ControlDef slotY(int k)
{
    return {.kind = Kind::EditBox, .name = yBox(k), .left = 148, .top = slotTop(k), .width = 64, .height = 32,
            .textColour = rgb(216, 216, 0), .backColour = kBlack, .font = kGuiFont, .align = HAlign::Centre,
            .border = Border::Sunken, .flags = kSlotBox};
}

ControlDef slotAction(int k)
{
    return {.kind = Kind::ComboBox, .name = actionList(k), .left = 216, .top = kActionListTop[k - 1], .width = 80,
            .height = 21, .textColour = kBlack, .backColour = kWhite, .font = {13, false, "新宋体"},
            .flags = TabStop, .items = {"左键单击", "左键双击", "右键单击", "右键双击"}, .selected = 0};
}

ControlDef slotDelay(int k)
{
    return {.kind = Kind::EditBox, .name = delayBox(k), .left = 296, .top = slotTop(k) + 1, .width = 64,
            .height = 32, .content = "1500", .textColour = rgb(0, 0, 128), .backColour = rgb(255, 0, 255),
            .font = {14}, .align = HAlign::Centre, .border = Border::Sunken, .flags = kSlotBox};
}

WindowDef build()
{
    WindowDef def{.name = kMainWindow,
                  .settings = {.title = "Vantorel 鼠标连点器", .left = 0, .top = 0, .width = 487, .height = 612,
                               .centred = true, .minimiseButton = true, .topMost = true, .escCloses = true,
                               .appIcon = true},
                  .controls = {}};
    auto& c = def.controls;
    auto add = [&c](ControlDef row) { c.push_back(std::move(row)); };

    // clang-format off
    // Stacking order, first on top.
    add({.kind = Kind::Label, .name = "标签3", .left = 8, .top = 544, .width = 464, .height = 32,
         .content = "提示：按 Esc 键随时关闭本程序", .textColour = kBlue, .font = {27}, .flags = VCentre});
    add({.kind = Kind::Button, .name = "启动3", .left = 360, .top = 472, .width = 117, .height = 48,
         .content = "备用", .font = {16, true}, .align = HAlign::Centre, .flags = TabStop | Disabled | VCentre | WordWrap});
    add({.kind = Kind::Button, .name = "启动2", .left = 360, .top = 416, .width = 117, .height = 48,
         .content = "备用", .font = {16, true}, .align = HAlign::Centre, .flags = TabStop | Disabled | VCentre | WordWrap});
    add({.kind = Kind::Button, .name = "启动1", .left = 360, .top = 360, .width = 117, .height = 48,
         .content = "备用", .font = {16, true}, .align = HAlign::Centre, .flags = TabStop | Disabled | VCentre | WordWrap});
    add({.kind = Kind::TransparentLabel, .name = "透明标签16", .left = 0,  .top = 138, .width = 528, .height = 15,
         .content = kUnderscores, .textColour = kBlack, .font = kGuiFont, .flags = VCentre});
    add({.kind = Kind::TransparentLabel, .name = "透明标签15", .left = -9, .top = 135, .width = 537, .height = 15,
         .content = kUnderscores, .textColour = kBlack, .font = kGuiFont, .flags = VCentre});
    add({.kind = Kind::TransparentLabel, .name = "透明标签14", .left = 151, .top = 176, .width = 64, .height = 32,
         .content = "Y纵坐标", .textColour = kRed, .font = {16}, .align = HAlign::Centre, .flags = VCentre});
    add({.kind = Kind::TransparentLabel, .name = "透明标签13", .left = 80, .top = 176, .width = 64, .height = 32,
         .content = "X横坐标", .textColour = kRed, .font = {16}, .align = HAlign::Centre, .flags = VCentre});
    add({.kind = Kind::Label, .name = "标签2", .left = 104, .top = 8, .width = 72, .height = 16,
         .content = "准星颜色：", .textColour = kBlack, .font = {13}, .flags = VCentre});
    for (int k = 10; k >= 1; --k)
        add(slotCaption(k));
    add({.kind = Kind::ColourPicker, .name = "颜色选择器1", .left = 104, .top = 24, .width = 80, .height = 24,
         .flags = TabStop | NoTransparentChoice, .colour = kRed});
    add({.kind = Kind::Label, .name = "准星", .left = 0, .top = 0, .width = 104, .height = 88,
         .backColour = kButtonFace, .picture = Picture::Crosshair});
    add({.kind = Kind::EditBox, .name = "倒计时编辑框", .left = 126, .top = 217, .width = 200, .height = 200,
         .content = "5", .textColour = kRed, .backColour = kButtonFace, .font = {200, true}, .align = HAlign::Centre,
         .border = Border::Single, .flags = TabStop | Hidden | Disabled | DrawnAsEnabled});
    add({.kind = Kind::Label, .name = "循环执行次数", .left = 365, .top = 232, .width = 61, .height = 16,
         .content = "执行次数：", .textColour = kBlack, .font = kGuiFont, .flags = VCentre});
    add({.kind = Kind::EditBox, .name = "循环次数编辑框", .left = 425, .top = 226, .width = 56, .height = 24,
         .content = "1", .textColour = kBlack, .backColour = kWhite, .font = kGuiFont, .align = HAlign::Centre,
         .border = Border::Sunken, .flags = TabStop | IntegerInput});
    add({.kind = Kind::Timer, .name = "时钟3", .left = 456, .top = 104, .width = 24, .height = 32, .period = 1});
    add({.kind = Kind::Timer, .name = "时钟2", .left = 456, .top = 64,  .width = 24, .height = 32, .period = 10});
    add({.kind = Kind::Timer, .name = "时钟1", .left = 456, .top = 24,  .width = 24, .height = 32, .period = 0});
    add({.kind = Kind::Button, .name = "启动", .left = 363, .top = 304, .width = 117, .height = 48,
         .content = "启动", .font = {16, true}, .align = HAlign::Centre, .flags = TabStop | VCentre | WordWrap});
    add({.kind = Kind::Label, .name = "标签1", .left = 192, .top = 26, .width = 248, .height = 24,
         .content = "当前循环次数：0", .textColour = kBlack, .font = kGuiFont, .align = HAlign::Centre,
         .border = Border::Single, .flags = VCentre});
    add({.kind = Kind::TransparentLabel, .name = "透明标签3", .left = 365, .top = 263, .width = 61, .height = 32,
         .content = "结尾延时：", .textColour = kBlack, .font = kGuiFont, .align = HAlign::Centre, .flags = VCentre});
    add({.kind = Kind::TransparentLabel, .name = "透明标签1", .left = 231, .top = 176, .width = 72, .height = 32,
         .content = "单次延时：", .textColour = kBlack, .font = kGuiFont, .align = HAlign::Centre, .flags = VCentre});
    add({.kind = Kind::Button, .name = "一键清空", .left = 1, .top = 167, .width = 71, .height = 41,
         .content = "一键清空坐标", .font = kGuiFont, .align = HAlign::Centre, .flags = TabStop | VCentre | WordWrap});
    add({.kind = Kind::Button, .name = "一键填入", .left = 369, .top = 180, .width = 111, .height = 32,
         .content = "一键填入延时", .font = kGuiFont, .align = HAlign::Centre, .flags = TabStop | VCentre | WordWrap});
    add({.kind = Kind::EditBox, .name = "X坐标总延时", .left = 296, .top = 178, .width = 64, .height = 32,
         .content = "1500", .textColour = kBlack, .backColour = rgb(255, 255, 0), .font = kGuiFont,
         .align = HAlign::Centre, .border = Border::Sunken, .flags = TabStop | IntegerInput});
    add({.kind = Kind::EditBox, .name = "编辑框1", .left = 426, .top = 263, .width = 56, .height = 32,
         .content = "3000", .textColour = kBlack, .backColour = kWhite, .font = kGuiFont, .align = HAlign::Centre,
         .border = Border::Sunken, .flags = TabStop | IntegerInput});
    for (int k = 10; k >= 1; --k) add(slotY(k));
    for (int k = 10; k >= 1; --k) add(slotDelay(k));
    for (int k = 10; k >= 1; --k) add(slotAction(k));
    for (int k = 10; k >= 1; --k) add(slotX(k));
    add({.kind = Kind::Label, .name = "水平坐标", .left = 107, .top = 50, .width = 229, .height = 40,
         .content = "请点击左侧准星开始获取坐标！", .textColour = kRed, .font = {16}, .align = HAlign::Centre, .flags = VCentre});
    add({.kind = Kind::Label, .name = "状态标签", .left = 3, .top = 94, .width = 430, .height = 48,
         .content = "当前状态：等待探测或手动填写坐标！", .textColour = kBlue, .font = {15, true}, .align = HAlign::Centre,
         .border = Border::ShallowSunken, .flags = VCentre | Disabled | DrawnAsEnabled});
    add({.kind = Kind::CheckBox, .name = "保持最前", .left = 340, .top = 58, .width = 124, .height = 24,
         .content = "保持窗口最前", .textColour = kBlack, .font = {14}, .flags = TabStop | Checked | VCentre | WordWrap});
    // clang-format on
    return def;
}

} // namespace

const WindowDef& mainWindowDef()
{
    static const WindowDef def = build();
    return def;
}

} // namespace vantorel
