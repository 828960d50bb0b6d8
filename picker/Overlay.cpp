#include "picker/Overlay.h"

#include "app/MainWindow.h"
#include "picker/ClickThrough.h"

namespace vantorel {

void onCrosshairPressed(Program& p)
{
    p.rt.loadWindow(pickerWindowDef(), pickerBindings(p), true);
}

void onOverlayCreated(Program& p)
{
    const std::string device = "输入设备1";
    p.rt.selectInputDevices(kPickerWindow, device, true, false, false);
    p.rt.setInputSamplingPeriod(kPickerWindow, device, 30);
    p.rt.startInputDevice(kPickerWindow, device, 0);

    // Lines and readout in the crosshair colour; everything else in the key colour.
    for (const char* control : {"透明标签1", "透明标签2", "编辑框1"}) {
        const Value colour = p.rt.readProperty(kMainWindow, "颜色选择器1", Prop::Colour);
        p.rt.writeProperty(kPickerWindow, control, Prop::TextColour, colour);
    }
    p.rt.writeProperty(kPickerWindow, "", Prop::BackColour, Value(kKeyColour));
    p.rt.writeProperty(kPickerWindow, "编辑框1", Prop::BackColour, Value(kKeyColour));

    p.platform.SetWindowLongA(p.rt.nativeHandle(kPickerWindow), GWL_EXSTYLE, WS_EX_LAYERED);
    p.platform.SetLayeredWindowAttributes(p.rt.nativeHandle(kPickerWindow), kKeyColour, 0, LWA_COLORKEY);
    setClickThrough(p.platform, p.rt.nativeHandle(kPickerWindow), true);

    p.rt.writeInt(kMainWindow, "", Prop::Position, 2);
}

void onOverlayDestroyed(Program& p)
{
    if (p.rt.isLoaded(kMainWindow))
        p.rt.writeInt(kMainWindow, "", Prop::Position, 0);
}

} // namespace vantorel
