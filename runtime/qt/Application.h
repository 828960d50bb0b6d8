#pragma once
// The Qt application the runtime lives in, set up the way the program needs it.

#include <QApplication>

#include <memory>

namespace vantorel::qt {

/// Creates the application on the X11 platform plugin with one unit of length
/// throughout: the physical screen pixel. Positions captured from the pointer,
/// pointer moves injected through the platform, the screen's size and the
/// places of controls then all agree, whatever scale the desktop asks for.
std::unique_ptr<QApplication> startApplication(int& argc, char** argv);

} // namespace vantorel::qt
