// Nothing to run: the windows' designs are checked as this compiles.

#include "design/checks.h"
#include "design/windows.h"

namespace design::checks {

static_assert(sound(region::kWindow));
static_assert(sound(code::kWindow));
static_assert(sound(about::kWindow));
static_assert(sound(startup::kWindow));

// 15 twips to the pixel at 96 dpi, to the nearest pixel, a half up.
static_assert(pixels(lookup::kClient.width, kDesignDpi) == 306 && pixels(Twips(7), kDesignDpi) == 0
              && pixels(Twips(8), kDesignDpi) == 1 && pixels(Twips(5), 144) == 1 && pixels(Twips(1515), 144) == 152);

} // namespace design::checks
