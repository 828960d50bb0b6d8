#include "picker/Overlay.h"

#include "picker/Capture.h"
#include "picker/Tracking.h"

namespace vantorel {
namespace {

// 280 bars, one per line: the vertical crosshair line.
std::string verticalBars()
{
    std::string s;
    for (int i = 0; i < 280; ++i)
        s += i == 0 ? "|" : "\r\n|";
    return s;
}

WindowDef build()
{
    using namespace flag;
    constexpr Colour kRed = 0x0000FFu;
    // clang-format off
    return {
        .name = kPickerWindow,
        .settings = {.title = "", .left = 50, .top = 50, .width = 800, .height = 600, .frameless = true,
                     .escCloses = true, .position = 3, .background = 0x000000u},
        .controls = {
            {.kind = Kind::InputDevice,      .name = "输入设备1", .left = 488, .top = 384, .width = 24,  .height = 32,  .flags = Hidden},
            {.kind = Kind::EditBox,          .name = "编辑框1",   .left = 504, .top = 152, .width = 240, .height = 136,
             .textColour = kRed, .backColour = kButtonFace, .font = {14}, .flags = Multiline | HideSelection},
            {.kind = Kind::Timer,            .name = "时钟2",     .left = 760, .top = 544, .width = 26,  .height = 26,  .period = 100},
            {.kind = Kind::Timer,            .name = "时钟1",     .left = 672, .top = 544, .width = 26,  .height = 26,  .period = 1},
            {.kind = Kind::TransparentLabel, .name = "透明标签2", .left = 392, .top = 0,   .width = 16,  .height = 600,
             .content = verticalBars(), .textColour = kRed, .align = HAlign::Centre, .flags = WordWrap},
            {.kind = Kind::TransparentLabel, .name = "透明标签1", .left = 0,   .top = 292, .width = 800, .height = 16,
             .content = std::string(441, '_'), .textColour = kRed, .align = HAlign::Centre, .flags = VCentre},
        },
    };
    // clang-format on
}

} // namespace

const WindowDef& pickerWindowDef()
{
    static const WindowDef def = build();
    return def;
}

std::vector<Binding> pickerBindings(Program& p)
{
    // clang-format off
    return {
        {"",          EventKind::Created,         [&p](const Event&) { onOverlayCreated(p); }},
        {"",          EventKind::WillBeDestroyed, [&p](const Event&) { onOverlayDestroyed(p); }},
        {"时钟1",     EventKind::Periodic,        [&p](const Event&) { onCrosshairTick(p); }},
        {"时钟2",     EventKind::Periodic,        [&p](const Event&) { onReadoutTick(p); }},
        {"输入设备1", EventKind::ButtonChanged,   [&p](const Event& e) { onMouseButtonChanged(p, e.arg1, e.arg2); }},
    };
    // clang-format on
}

} // namespace vantorel
