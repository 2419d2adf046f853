#include "qt/look/colours.h"

#include "qt/look/design.h"

#include <QPalette>
#include <QWidget>

namespace look {

void setBoxColours(QWidget *box, const design::Control &control)
{
    QPalette palette = box->palette();
    const QColor background = colour(control.background.value());
    const QColor text = control.colour ? colour(*control.colour) : palette.color(QPalette::Text);
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, background);
        palette.setColor(group, QPalette::Text, text);
    }
    box->setPalette(palette);
}

} // namespace look
