#pragma once

// The resources compiled into tessaline.exe (tessaline.rc.in): macros, as
// the resource compiler reads this file too.

#define TESSALINE_ICON 1
#define TESSALINE_LANDSCAPE 10
#define TESSALINE_LANDSCAPE_DENSE 11
#define TESSALINE_STARTUP 12
#define TESSALINE_STARTUP_DENSE 13
