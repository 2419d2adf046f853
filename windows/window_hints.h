#pragma once

// What the window system is to know of a window beyond what Qt tells it.
// Window managers differ in what they infer from a window's type (a start-up
// window's, a dialog's), so the hints that matter are set outright. They are
// X11 properties and do nothing elsewhere; openOver() and the places below
// Qt carries to every platform that allows them (on Wayland, a dialog's
// parent, but no position).

#include <QRect>

class QWidget;

namespace look {

// No button on the taskbar, and none in pagers.
void keepOffTaskbar(QWidget *window);

// No frame and no title bar at all.
void withoutFrame(QWidget *window);

// window belongs to owner for the window system: transient for it (on
// Wayland, its child), so that it stays with it, and it opens centred over
// it. No owner widget is named, so Qt's modality and ownership stay as they
// are. Before window is shown.
void openOver(QWidget *window, const QWidget *owner);

// Where a window was, for the one that replaces it.
struct Place {
    QRect client;   // its client area, on the screen
    bool framed = true;
};
Place placeOf(const QWidget *window);

// Opens next at place, before it is shown: where a framed window was, so
// that a switch does not move it (the lookup windows share their frame);
// centred on a window without a frame, the start-up window.
void openAt(QWidget *next, const Place &place);

} // namespace look
