#pragma once

// The look every window shares: twips, the Song face, the
// yellow captions, the landscape behind the controls and the program icon.

#include <QColor>
#include <QFont>
#include <QRect>
#include <QWidget>

class QIcon;
class QLabel;
class QMenuBar;
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

// What controls without a font of their own use: 宋体 9 pt, the default of
// the Chinese desktop the layouts were drawn for.
QFont defaultFont();

// A caption in yellow on the picture: no background of its own.
QLabel *caption(QWidget *parent, const char *name, const QString &text, const QFont &font);

// Text in the given colours, also while the control is disabled: the output
// boxes are disabled, yet must stay legible.
void setBoxColours(QWidget *box, const QColor &background, const QColor &text);

QIcon programIcon();

// A picture from the resources at the given device pixel ratio: the double
// -size painting (name@2x) on high-density screens. Decoded once, then kept
// in the pixmap cache.
QPixmap picture(const QString &name, qreal devicePixelRatio);

// A client area with the landscape drawn unscaled from its top-left corner.
class Backdrop : public QWidget
{
public:
    explicit Backdrop(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// Marks the command the keyboard is on, which the toolkit's own style does
// only for commands that open a menu.
void markKeyboardSelection(QMenuBar *bar);

// A fixed window of the given type: no resizing, no minimise or maximise
// button; the title bar keeps its system menu and close button.
Qt::WindowFlags fixedWindowFlags(Qt::WindowType type);

} // namespace look
