#pragma once

// The colours of the layouts, and boxes that keep theirs.

#include <QColor>

class QWidget;

namespace look {

inline constexpr QColor kYellow{255, 255, 0};
inline constexpr QColor kWhite{255, 255, 255};
inline constexpr QColor kBlack{0, 0, 0};
inline constexpr QColor kLightYellow{255, 255, 192};
inline constexpr QColor kMagenta{255, 0, 255};
inline constexpr QColor kLightBlue{192, 192, 255};
inline constexpr QColor kGrey{128, 128, 128};

// Text in the given colours, also while the control is disabled: the output
// boxes are disabled, yet must stay legible.
void setBoxColours(QWidget *box, const QColor &background, const QColor &text);

} // namespace look
