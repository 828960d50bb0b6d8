#include "app/Commands.h"

#include "app/MainWindow.h"
#include "runner/SlotTable.h"
#include "runtime/Conversions.h"

namespace vantorel {

void onClearCoordinates(Program& p)
{
    for (int k = 1; k <= kSlotCount; ++k)
        p.rt.writeText(kMainWindow, xBox(k), Prop::Text, "");
    for (int k = 1; k <= kSlotCount; ++k)
        p.rt.writeText(kMainWindow, yBox(k), Prop::Text, "");
}

void onFillDelays(Program& p)
{
    p.fillDelay = textToInteger(p.rt.readText(kMainWindow, "X坐标总延时"));
    for (int k = 1; k <= kSlotCount; ++k)
        p.rt.writeText(kMainWindow, delayBox(k), Prop::Text, integerToText(p.fillDelay));
}

void onKeepOnTopClicked(Program& p)
{
    const bool checked = p.rt.readInt(kMainWindow, "保持最前", Prop::Checked) == 1;
    p.rt.writeProperty(kMainWindow, "", Prop::AlwaysOnTop, Value(checked));
}

} // namespace vantorel
