#pragma once

// What the window system is to know of a window beyond what Qt tells it.
// Window managers differ in what they infer from a window's type (a start-up
// window's, a dialog's), so the hints that matter are set outright. They are
// X11 properties and do nothing elsewhere; the places below Qt carries to
// every platform that allows them (Wayland allows none).

#include <QRect>
#include <Qt>

class QWidget;

namespace desktop {

// A fixed window of the given type: no resizing, no minimise or maximise
// button; the title bar keeps its system menu and close button.
Qt::WindowFlags fixedWindowFlags(Qt::WindowType type);

// No button on the taskbar, and none in pagers.
void keepOffTaskbar(QWidget *window);

// No frame and no title bar at all.
void withoutFrame(QWidget *window);

// window opens centred over owner, and belongs to it for the window system:
// transient for it on X11, its child on Wayland, where Qt makes that of the
// parent widget. Before window is shown.
void openOver(QWidget *window, const QWidget *owner);

// window opens centred on area of the screen (where the start-up window
// was), where the window system lets a program place its windows. Before
// window is shown.
void openCentredOn(QWidget *window, const QRect &area);

} // namespace desktop
