#pragma once
// X11 calls the Qt runtime needs where Qt has no API: the window manager's
// above state, frame extents, stacking, input and visible shapes.

#include <cstdint>
#include <string>
#include <vector>

typedef struct _XDisplay Display;

namespace vantorel::x11 {

using XWindow = unsigned long;

struct Extents {
    int left = 0, right = 0, top = 0, bottom = 0;
};

struct ShapeRect {
    int x, y, width, height;
};

/// Qt's own connection; null when not on X11.
Display* display();
bool windowManagerRunning(Display* dpy);
/// Adds or removes _NET_WM_STATE_ABOVE through the window manager.
void setAbove(Display* dpy, XWindow window, bool above);
/// Asks the window manager for the frame it will put around `window` and waits
/// briefly for the answer; zero extents without a manager.
Extents requestFrameExtents(Display* dpy, XWindow window);
/// The frame the manager has put around `window`; false while there is none.
bool frameExtents(Display* dpy, XWindow window, Extents& out);
/// An atom by name.
unsigned long atom(const char* name);
/// The window and its ancestors below the root (the manager's frame).
std::vector<XWindow> selfAndAncestors(Display* dpy, XWindow window);
/// Asks compositors that read the hint (compton, picom) to draw no shadow
/// around `window`.
void declineCompositorShadow(Display* dpy, XWindow window);
/// Declares `window` fully opaque (_NET_WM_WINDOW_OPACITY), which the
/// manager copies to its frame: a change of it makes xcompmgr look at the
/// frame afresh, dropping a shadow it made before it knew the frame's visual.
void declareOpaque(Display* dpy, XWindow window);
/// True while a compositing manager owns the screen (_NET_WM_CM_Sn).
bool compositorRunning(Display* dpy);
/// True once some client listens for property changes on the top-level
/// window that holds `window` (a compositor does so once it has seen the map).
bool propertyChangesWatched(Display* dpy, XWindow window);
/// Maps `window` again when the manager keeps it iconic (ICCCM WM_STATE
/// Iconic): that is how a client asks for it to be shown.
void showIfIconic(Display* dpy, XWindow window);
/// Takes the key `keysym` from anywhere on the desktop (a passive grab on the
/// root window, whatever lock keys are on), or gives it back. False when
/// another client already holds it; nothing is then taken. Returns the key's code in `keycode`.
bool grabKeyAnywhere(Display* dpy, unsigned long keysym, bool grab, unsigned& keycode);
/// Makes `window` take no pointer input (empty input shape), or restores it.
void setInputTransparent(Display* dpy, XWindow window, bool transparent);
/// True when the manager stacks `window` above all its other clients.
bool topOfClientStack(Display* dpy, XWindow window);
/// Shows only these parts of `window` (none: nothing of it).
void setVisibleShape(Display* dpy, XWindow window, const std::vector<ShapeRect>& rects);
/// Shows all of `window` again.
void clearVisibleShape(Display* dpy, XWindow window);

} // namespace vantorel::x11
