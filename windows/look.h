#pragma once

// The look every window shares: twips, the Song face, the
// yellow captions, the landscape behind the controls and the program icon.

#include <QColor>
#include <QFont>
#include <QRect>
#include <QWidget>

class QComboBox;
class QIcon;
class QMenuBar;
class QPainter;
class QPixmap;

namespace look {

// Layouts are drawn up in twips; 15 twips make one pixel at 96 dpi.
constexpr int px(int twips)
{
    return (twips + 7) / 15;
}

constexpr QRect twipRect(int left, int top, int width, int height)
{
    return {px(left), px(top), px(width), px(height)};
}

inline constexpr QColor kYellow{255, 255, 0};
inline constexpr QColor kWhite{255, 255, 255};
inline constexpr QColor kBlack{0, 0, 0};
inline constexpr QColor kLightYellow{255, 255, 192};
inline constexpr QColor kMagenta{255, 0, 255};
inline constexpr QColor kLightBlue{192, 192, 255};
inline constexpr QColor kGrey{128, 128, 128};

// "宋体" where it exists, else the nearest Song/Ming face on the machine.
QFont songFont(qreal points);

// One line for standard error when the machine has no face with Chinese
// characters, which would then all show as empty boxes; empty otherwise.
QString missingFontWarning();

// What controls without a font of their own use: 宋体 9 pt, the default of
// the Chinese desktop the layouts were drawn for.
QFont defaultFont();

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

class Caption;

// A caption in yellow on the picture: no background of its own.
Caption *caption(QWidget *parent, const char *name, const QString &text, const QFont &font);

// Text in the given colours, also while the control is disabled: the output
// boxes are disabled, yet must stay legible.
void setBoxColours(QWidget *box, const QColor &background, const QColor &text);

QIcon programIcon();

// A picture from the resources at the given device pixel ratio: the double
// -size painting (name@2x) on high-density screens. Decoded once, then kept
// in the pixmap cache. Given a part (in device-independent pixels), only the
// top-left of the picture that covers it: a window that shows part of a
// larger picture need not keep the rest.
QPixmap picture(const QString &name, qreal devicePixelRatio, QSize part = {});

// Lets the pixmap cache go of a picture, drawn whole, that no window will
// draw again.
void forgetPicture(const QString &name);

// Draws that picture unscaled, its top-left corner at the given point. On a
// screen whose density is not the picture's own (1.25, 1.5) it is resampled
// smoothly, so that it stays sharp rather than losing or doubling pixels.
void drawPicture(QPainter &painter, QPoint at, const QString &name, QSize part = {});

// A client area with the landscape drawn unscaled from its top-left corner.
class Backdrop : public QWidget
{
public:
    explicit Backdrop(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A menu bar for the keyboard: the command the keyboard is on is marked,
// which the toolkit's own style does only for commands that open a menu; and
// Alt lands on a command that can be chosen, not a greyed one, which would
// neither be chosen nor be announced to a screen reader.
void prepareMenuBar(QMenuBar *bar);

// Gives the chosen entry of a drop-down list the width the layouts allow it:
// the toolkit's style keeps a wide margin by the arrow, which would cut the
// last character of the longest names.
void fitDropDownText(QComboBox *box);

// A fixed window of the given type: no resizing, no minimise or maximise
// button; the title bar keeps its system menu and close button.
Qt::WindowFlags fixedWindowFlags(Qt::WindowType type);

} // namespace look
