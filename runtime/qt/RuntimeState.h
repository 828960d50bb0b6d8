#pragma once
// The Qt runtime's own state and the helpers its parts share; included only
// by the runtime's implementation files.

#include "runtime/InputDevice.h"
#include "runtime/qt/Controls.h"
#include "runtime/qt/QtRuntime.h"
#include "runtime/qt/RuntimeTimer.h"

#include <QFont>
#include <QPalette>
#include <QPushButton>
#include <QRegion>
#include <QTimer>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vantorel::qt {

struct QtRuntime::Device {
    QTimer timer;
    std::unique_ptr<MouseButtonSource> source;
    ButtonStateMachine machine;
    bool mouse = false;
    int period = 0;
    bool started = false;
};

struct QtRuntime::Control {
    Kind kind = Kind::Label;
    QWidget* widget = nullptr;                  // owned by the window's widget tree
    std::unique_ptr<RuntimeTimer> timer = {};   // timers
    std::unique_ptr<Device> device = {};        // input devices
};

struct QtRuntime::Win {
    WindowDef def;
    std::vector<Binding> bindings;
    std::unique_ptr<TopWindow> widget;
    std::map<std::string, Control> controls;
    bool alive = true;
    bool suppressed = true; // control events are dropped while the window is built
    bool topMost = false;
    bool aboveSent = false; // the manager has our above state since the last show
    int position = 0;
    int busy = 0; // handlers of this window on the stack
    QEventLoop* dialogLoop = nullptr;
    std::vector<std::pair<std::weak_ptr<Win>, bool>> disabledOthers;
    // colour key and click-through
    bool colourKeyed = false;
    Colour key = 0;
    bool clickThrough = false;
    bool maskPending = false;
    // the manager's frame is still settling: fit the client area to it
    bool awaitingFrame = false;
    std::unique_ptr<QTimer> frameChecks;
    int frameChecksDone = 0;
    std::map<QWidget*, QRegion> regionCache;
};

// How long after it is shown a framed window's size and place follow the
// manager's frame: kFrameChecks looks, kFrameCheckMs apart.
inline constexpr int kFrameChecks = 30;
inline constexpr int kFrameCheckMs = 100;

// How late a Qt timer may wake up; waits sleep this last stretch precisely.
inline constexpr int kTimerLatenessMs = 2;

inline QString q(const std::string& s) { return QString::fromStdString(s); }
inline std::string s(const QString& q) { return q.toStdString(); }
/// Windows line breaks in the program's texts; Qt shows "\n".
QString toDisplay(const std::string& text);
int clampCoord(int v);
int clampSize(int v);
QFont fontFor(const Font& f);
Qt::Alignment alignmentFor(const ControlDef& c);
/// Sets a palette colour; kDefaultColour leaves the kind's own.
void setColour(QWidget* w, QPalette::ColorRole role, Colour c);
void keepNormalColoursWhenDisabled(QWidget* w);
/// The runtime's built-in picture, decoded; null when it cannot be decoded.
QImage pictureImage(Picture picture);
/// The smallest client area that holds every control that must be whole.
QSize neededClientSize(const WindowDef& def);
/// Sets a push button's caption, wrapped onto further lines when it does not fit.
void setButtonCaption(QPushButton* button, const std::string& caption);

} // namespace vantorel::qt
