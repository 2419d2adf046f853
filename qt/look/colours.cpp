#include "qt/look/colours.h"

#include <QPalette>
#include <QWidget>

namespace look {

void setBoxColours(QWidget *box, const QColor &background, const QColor &text)
{
    QPalette palette = box->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, background);
        palette.setColor(group, QPalette::Text, text);
    }
    box->setPalette(palette);
}

} // namespace look
