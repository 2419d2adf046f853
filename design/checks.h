#pragma once

// The rules every window's design keeps, checked as it compiles: a control
// misplaced or left out of the tab order fails the build, and the compiler
// names the rule it breaks.

#include "design/control.h"

namespace design::checks {

// Not defined: a call in a constant expression that breaks a rule does not
// compile, and names it.
void aControlReachesPastItsClientArea();
void aControlIsSaidToBeCutOffButFitsItsClientArea();
void twoControlsOverlapThatTheDesignDoesNotStack();
void aStackNamesControlsThatDoNotOverlapOrInTheWrongOrder();
void theTabOrderMissesOrRepeatsAControlThatTakesTheFocus();
void theTabOrderNamesAControlThatTakesNoFocus();
void twoControlsShareADesignName();

constexpr bool overlap(const Rect &a, const Rect &b)
{
    return a.left < b.right() && b.left < a.right() && a.top < b.bottom() && b.top < a.bottom();
}

// A control by its design name: the addresses of two constants are no
// constant expression to every compiler (g++ under AddressSanitizer).
constexpr bool same(const Control *a, const Control *b)
{
    return a->name == b->name && a->index == b->index;
}

constexpr int position(const Window &window, const Control *control)
{
    for (std::size_t i = 0; i < window.controls.size(); ++i)
        if (same(window.controls[i], control))
            return int(i);
    return -1;
}

constexpr bool stacked(const Window &window, const Control *a, const Control *b)
{
    for (const Stack &stack : window.stacks)
        if ((same(stack.below, a) && same(stack.above, b)) || (same(stack.below, b) && same(stack.above, a)))
            return true;
    return false;
}

consteval bool sound(const Window &window)
{
    for (const Control *control : window.controls) {
        // Past an edge only where the design cuts it off, and cut off only
        // where it is past.
        const Rect &place = control->place;
        const bool pastRight = place.right() > window.client.width;
        const bool pastBottom = place.bottom() > window.client.height;
        if (place.left < Twips(0) || place.top < Twips(0) || (pastRight && !control->cutAt.right)
            || (pastBottom && !control->cutAt.bottom))
            aControlReachesPastItsClientArea();
        if (pastRight != control->cutAt.right || pastBottom != control->cutAt.bottom)
            aControlIsSaidToBeCutOffButFitsItsClientArea();

        int inTabOrder = 0;
        for (const Control *stop : window.tabOrder)
            inTabOrder += same(stop, control);
        if (control->takesFocus && inTabOrder != 1)
            theTabOrderMissesOrRepeatsAControlThatTakesTheFocus();
    }
    for (const Control *stop : window.tabOrder)
        if (position(window, stop) < 0 || !stop->takesFocus)
            theTabOrderNamesAControlThatTakesNoFocus();

    for (std::size_t i = 0; i < window.controls.size(); ++i)
        for (std::size_t j = i + 1; j < window.controls.size(); ++j) {
            const Control *a = window.controls[i];
            const Control *b = window.controls[j];
            if (overlap(a->place, b->place) && !stacked(window, a, b))
                twoControlsOverlapThatTheDesignDoesNotStack();
            if (same(a, b))
                twoControlsShareADesignName();
        }
    for (const Stack &stack : window.stacks)
        if (position(window, stack.below) >= position(window, stack.above) || position(window, stack.below) < 0
            || !overlap(stack.below->place, stack.above->place))
            aStackNamesControlsThatDoNotOverlapOrInTheWrongOrder();
    return true;
}

} // namespace design::checks
