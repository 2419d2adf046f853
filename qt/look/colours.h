#pragma once

// Boxes in their design colours.

#include "design/control.h"

class QWidget;

namespace look {

// The control's background and text colours (the platform's text colour
// where the design gives none), also while the box is disabled: the output
// boxes are disabled, yet must stay legible.
void setBoxColours(QWidget *box, const design::Control &control);

} // namespace look
