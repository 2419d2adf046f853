#pragma once

// Which of the desktop's window systems the program shows its windows on,
// decided before the application object exists.

// Qt older than 6.5 draws its own title bar wherever a Wayland compositor
// leaves that to the program (GNOME's, weston): with minimise and maximise on
// any window, and a maximise that moves a fixed-size window into the screen's
// corner. There the program runs on XWayland instead, where the compositor
// draws the title bar by the window's hints (close only), places the
// start-up window and About, and keeps About out of the window switcher. A
// platform the user chose (QT_QPA_PLATFORM, -platform) is kept.
void chooseWindowSystem(int argc, char **argv);
