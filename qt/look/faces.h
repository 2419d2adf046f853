#pragma once

// The faces the windows are drawn with, and the lines they lay text out on.

#include "design/units.h"

#include <QFont>
#include <QString>

namespace look {

// The design's font: its face, 宋体, where it exists (by its Windows name too),
// else the nearest Chinese face on the machine, in the order of
// design/chinese_faces.list.
QFont font(const design::Font &font);

// What controls without a font of their own use.
QFont defaultFont();

// One line for standard error when the machine has no face with Chinese
// characters, which would then all show as empty boxes; empty otherwise.
// It reads the whole font configuration: not for the start-up path.
QString missingFontWarning();

// The lines the layouts were drawn for: a Song face's, hardly taller than
// its characters. Faces whose own lines are taller (Noto CJK's are nearly one
// and a half characters high) are laid out at this height instead: their
// characters fit it, only the space between lines is less.
struct LineMetrics {
    qreal ascent;  // from the top of a line to its baseline
    qreal descent; // below the baseline
    qreal spacing; // from one baseline to the next
};
LineMetrics lineMetrics(const QFont &font);

} // namespace look
