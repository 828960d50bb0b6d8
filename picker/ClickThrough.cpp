#include "picker/ClickThrough.h"

namespace vantorel {

namespace {
const std::string kSavedStyle = "transparent_tmp";
}

void setClickThrough(Platform& platform, WindowHandle window, bool on)
{
    if (on) {
        const std::int32_t old = platform.GetWindowLongA(window, GWL_EXSTYLE);
        std::int32_t style = 0;
        style |= WS_EX_TRANSPARENT;
        style |= WS_EX_LAYERED;
        platform.SetPropA(window, kSavedStyle, static_cast<std::uintptr_t>(static_cast<std::uint32_t>(old)));
        platform.SetWindowLongA(window, GWL_EXSTYLE, style);
    } else {
        const auto old = static_cast<std::int32_t>(platform.GetPropA(window, kSavedStyle));
        platform.RemovePropA(window, kSavedStyle);
        platform.SetWindowLongA(window, GWL_EXSTYLE, old);
    }
}

} // namespace vantorel
