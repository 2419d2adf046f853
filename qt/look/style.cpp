#include "qt/look/style.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QMenuBar>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionMenuItem>

#include <algorithm>

namespace look {
namespace {

class Style : public QProxyStyle
{
public:
    // The command the keyboard is on is drawn as if pressed: the way the
    // style shows a selected command whose menu is open.
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        if (element == CE_MenuBarItem && item != nullptr && widget != nullptr && widget->hasFocus()
            && (item->state & State_Selected)) {
            QStyleOptionMenuItem marked = *item;
            marked.state |= State_Sunken;
            QProxyStyle::drawControl(element, &marked, painter, widget);
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }

    // A drop-down list's text may start a pixel nearer the frame and run on
    // up to the arrow's own area, over the margin the style keeps before it.
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl part,
                         const QWidget *widget) const override
    {
        QRect rect = QProxyStyle::subControlRect(control, option, part, widget);
        const auto *box = qstyleoption_cast<const QStyleOptionComboBox *>(option);
        if (control == CC_ComboBox && part == SC_ComboBoxEditField && box != nullptr && !box->editable
            && option->direction == Qt::LeftToRight) {
            const QRect arrow = QProxyStyle::subControlRect(control, option, SC_ComboBoxArrow, widget);
            rect.setLeft(rect.left() - 1);
            rect.setRight(std::max(rect.right(), arrow.left()));
        }
        return rect;
    }
};

QStyle *sharedStyle()
{
    // One for the whole run, owned by the application: a widget does not own
    // its style.
    static QPointer<Style> shared;
    if (shared.isNull()) {
        shared = new Style;
        shared->setParent(QCoreApplication::instance());
    }
    return shared;
}
} // namespace

void markKeyboardCommands(QMenuBar *bar)
{
    bar->setStyle(sharedStyle());
}

void fitDropDownText(QComboBox *box)
{
    box->setStyle(sharedStyle());
}

} // namespace look
