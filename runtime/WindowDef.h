#pragma once
// Window definitions: each window's settings and its controls, one row per
// control, in creation and stacking order (first row on top). The runtime
// builds windows from these; event bindings come separately from the program.

#include "runtime/Value.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vantorel {

enum class Kind { Label, TransparentLabel, EditBox, ComboBox, Button, CheckBox, ColourPicker, Timer, InputDevice };

enum class Border { None, Single, Sunken, ShallowSunken };
enum class HAlign { Left, Centre };
enum class Picture { None, Crosshair };

/// A font of `px` pixels character height; px 0 is the default GUI font.
struct Font {
    int px = 0;
    bool bold = false;
    std::string face = {};
};

namespace flag {
inline constexpr unsigned Hidden = 1u << 0;
inline constexpr unsigned Disabled = 1u << 1;
inline constexpr unsigned TabStop = 1u << 2;
inline constexpr unsigned IntegerInput = 1u << 3;
inline constexpr unsigned Multiline = 1u << 4;
inline constexpr unsigned WordWrap = 1u << 5;
inline constexpr unsigned Checked = 1u << 6;
inline constexpr unsigned VCentre = 1u << 7;
inline constexpr unsigned DrawnAsEnabled = 1u << 8; // disabled, yet in its normal colours
inline constexpr unsigned NoTransparentChoice = 1u << 9;
inline constexpr unsigned HideSelection = 1u << 10;
} // namespace flag

inline constexpr Colour kDefaultColour = 0xFFFFFFFFu; // the kind's own default

struct ControlDef {
    Kind kind = Kind::Label;
    std::string name = {};
    int left = 0, top = 0, width = 0, height = 0;
    std::string content = {}; // caption or text
    Colour textColour = kDefaultColour;
    Colour backColour = kDefaultColour;
    Font font = {};
    HAlign align = HAlign::Left;
    Border border = Border::None;
    unsigned flags = 0;
    std::vector<std::string> items = {}; // combo box items
    int selected = -1;                   // combo box selection
    int period = 0;                      // timer period in ms
    Colour colour = 0;                   // colour picker
    Picture picture = Picture::None;
};

struct WindowSettings {
    std::string title = {};
    int left = 0, top = 0, width = 0, height = 0; // outer size; place superseded by centred/position
    bool centred = false;
    bool frameless = false;
    bool minimiseButton = false;
    bool maximiseButton = false;
    bool topMost = false;
    bool taskbar = true;
    bool escCloses = false;
    bool visible = true;
    bool appIcon = false;
    int position = 0; // 0 normal, 1 centred, 2 minimised, 3 maximised
    Colour background = kButtonFace;
};

struct WindowDef {
    std::string name = {};
    WindowSettings settings = {};
    std::vector<ControlDef> controls = {};
};

enum class EventKind { Created, WillBeDestroyed, Clicked, LeftPressed, Periodic, ButtonChanged };

struct Event {
    EventKind kind;
    std::int32_t arg1 = 0; // ButtonChanged: key code
    std::int32_t arg2 = 0; // ButtonChanged: new state
};

using Handler = std::function<void(const Event&)>;

/// Binds an event of a control (or of the window itself, control "") to a handler.
struct Binding {
    std::string control;
    EventKind event;
    Handler handler;
};

} // namespace vantorel
