#pragma once

// The start-up window (启动): its picture, centred, without a caption or a
// taskbar button, with the busy pointer, for the design's 1.5 s. Then the
// check for a copy already running (a named mutex for the user's session,
// failing open): either the warning, after which the program ends, or the
// lookup window where the start-up window was.

#include <windows.h>

namespace win32 {

class SplashWindow {
public:
    static HWND open();

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l);
    static void handOver(HWND window);
};

// Whether this copy is the only one of the user's session; true also when
// it cannot tell.
bool onlyCopy();

} // namespace win32
