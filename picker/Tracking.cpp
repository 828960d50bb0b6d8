#include "picker/Tracking.h"

#include "picker/Overlay.h"
#include "runtime/Conversions.h"

namespace vantorel {

namespace {
// Pointer-relative offsets, as pixel sums formed in double precision.
std::int32_t offset(int value, int delta) { return numberToInteger(static_cast<double>(value) + delta); }
} // namespace

std::string readoutText(std::int32_t x, std::int32_t y)
{
    return concatText({" X轴 水平坐标：", integerToText(x), "\r\n Y轴 垂直坐标：", integerToText(y),
                       "\r\n\r\n请再次单击自动写入坐标！"});
}

void onCrosshairTick(Program& p)
{
    Runtime& rt = p.rt;
    rt.writeProperty(kPickerWindow, "", Prop::AlwaysOnTop, Value(true));
    rt.writeInt(kPickerWindow, "透明标签1", Prop::Top, offset(rt.pointerY(), -13));
    rt.writeInt(kPickerWindow, "透明标签2", Prop::Left, offset(rt.pointerX(), -9));
    rt.writeInt(kPickerWindow, "透明标签1", Prop::Width, rt.screenWidth());
    rt.writeInt(kPickerWindow, "透明标签2", Prop::Height, rt.screenHeight());
}

void onReadoutTick(Program& p)
{
    Runtime& rt = p.rt;
    const std::int32_t x = rt.pointerX();
    const std::int32_t y = rt.pointerY();
    rt.writeText(kPickerWindow, "编辑框1", Prop::Text, readoutText(x, y));
    rt.writeInt(kPickerWindow, "编辑框1", Prop::Left, offset(rt.pointerX(), 10));
    rt.writeInt(kPickerWindow, "编辑框1", Prop::Top, offset(rt.pointerY(), 5));
}

} // namespace vantorel
