#include "picker/Capture.h"

#include "app/MainWindow.h"
#include "picker/Overlay.h"
#include "runner/RunControl.h"
#include "runner/SlotTable.h"
#include "runtime/Conversions.h"
#include "runtime/InputDevice.h"

namespace vantorel {

namespace {
// The picker's own rule: a field is free only when it holds no characters at all.
bool fieldEmpty(Runtime& rt, const std::string& box) { return compareText(rt.readText(kMainWindow, box), "") == 0; }

int firstFreeSlot(Runtime& rt)
{
    for (int k = 1; k <= kSlotCount; ++k)
        if (fieldEmpty(rt, xBox(k)) || fieldEmpty(rt, yBox(k)))
            return k;
    return 0;
}
} // namespace

void onMouseButtonChanged(Program& p, std::int32_t keyCode, std::int32_t state)
{
    if (keyCode != KeyMOUSELEFT || state <= 0)
        return;
    Runtime& rt = p.rt;
    if (const int k = firstFreeSlot(rt)) {
        rt.writeText(kMainWindow, xBox(k), Prop::Text, integerToText(rt.pointerX()));
        rt.writeText(kMainWindow, yBox(k), Prop::Text, integerToText(rt.pointerY()));
        rt.writeText(kMainWindow, kStatusLabel, Prop::Caption, "坐标" + integerToText(k) + "写入成功！");
        rt.destroyWindow(kPickerWindow);
        return;
    }
    rt.writeText(kMainWindow, kStatusLabel, Prop::Caption, "您已成功写入所有坐标，请点启动开始运行！");
    rt.destroyWindow(kPickerWindow);
    rt.messageBox("坐标已满，请开始运行！", kMbIconInformation, "警告:", rt.nativeHandle(kMainWindow));
}

} // namespace vantorel
