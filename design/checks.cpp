// Nothing to run: the windows' designs are checked as this compiles.

#include "design/checks.h"
#include "design/windows.h"

namespace design::checks {

static_assert(sound(region::kWindow));
static_assert(sound(code::kWindow));
static_assert(sound(about::kWindow));
static_assert(sound(startup::kWindow));

} // namespace design::checks
