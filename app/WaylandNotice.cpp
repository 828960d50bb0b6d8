#include "app/WaylandNotice.h"

#include "app/MainWindow.h"

#include <cstdlib>
#include <cstring>

namespace vantorel {

namespace {
const char* const kTitle = "提示：当前是 Wayland 桌面";
const char* const kText =
    "本程序正在 Wayland 桌面中运行。\r\n"
    "\r\n"
    "在 Wayland 桌面中，本程序模拟的鼠标点击只能送到 X11 程序的窗口，"
    "其他程序的窗口收不到这些点击；准星也只能在 X11 程序的窗口上读到鼠标位置。"
    "所以点击可能会没有任何效果，而且不会有任何提示。\r\n"
    "\r\n"
    "要让点击对所有窗口都有效，请改用 X11 会话：\r\n"
    "1. 保存好工作，注销（退出登录）。\r\n"
    "2. 在登录界面点选您的用户名，再点击齿轮图标（通常在屏幕右下角或“登录”按钮旁边）。\r\n"
    "3. 选择名字里带“Xorg”或“X11”的会话，例如“GNOME on Xorg”或“Plasma (X11)”。\r\n"
    "4. 输入密码登录，然后重新运行本程序。\r\n"
    "\r\n"
    "点击“确定”后程序照常运行。";
} // namespace

bool isWaylandSession(const char* waylandDisplay, const char* sessionType)
{
    return (waylandDisplay && *waylandDisplay) || (sessionType && std::strcmp(sessionType, "wayland") == 0);
}

void warnIfWaylandSession(Program& p)
{
    if (!isWaylandSession(std::getenv("WAYLAND_DISPLAY"), std::getenv("XDG_SESSION_TYPE")))
        return;
    p.rt.messageBox(kText, kMbIconInformation, kTitle, p.rt.isLoaded(kMainWindow) ? p.rt.nativeHandle(kMainWindow) : 0);
}

} // namespace vantorel
