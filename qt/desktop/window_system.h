#pragma once

// Which of the desktop's window systems the program shows its windows on,
// decided before the application object exists.

// Qt older than 6.8 draws its own title bar wherever a Wayland compositor
// leaves that to the program (GNOME's, weston): with minimise and maximise on
// any window, and a maximise that moves a fixed-size window into the screen's
// corner. There the program runs on XWayland instead, where the compositor
// draws the title bar by the window's hints (close only), places the
// start-up window and About, and keeps About out of the window switcher. A
// platform the user chose (QT_QPA_PLATFORM, -platform) is kept.
//
// Guarded by QT_VERSION < 6.8: from 6.8 qtwayland draws the bar under GNOME
// with its Adwaita decoration plugin (qtwayland commit 40116ae3, "Add
// GNOME-like client-side decoration plugin"), which shows the buttons of
// GNOME's own button layout, and this does nothing. Until 6.7 its bradient
// bar shows all three buttons whatever the window's hints.
namespace desktop {

void chooseWindowSystem(int argc, char **argv);

} // namespace desktop
