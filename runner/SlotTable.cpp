#include "runner/SlotTable.h"

#include "app/MainWindow.h"
#include "runtime/Conversions.h"

namespace vantorel {

std::int32_t numericReading(Runtime& rt, const std::string& control)
{
    return numberToInteger(textToNumber(rt.readText(kMainWindow, control)));
}

std::int32_t actionCode(Runtime& rt, int k)
{
    return textToInteger(rt.readInt(kMainWindow, actionList(k), Prop::Selection));
}

bool slotSkipped(Runtime& rt, int k)
{
    // Each condition reads its control again; the first that holds decides.
    for (const std::string& box : {xBox(k), yBox(k)}) {
        if (compareText(rt.readText(kMainWindow, box), box) == 0)
            return true;
        if (compareText(rt.readText(kMainWindow, box), "") == 0)
            return true;
    }
    return false;
}

} // namespace vantorel
