#include "qt/look/design.h"

#include "qt/look/faces.h"

#include <QWidget>

namespace look {

void place(QWidget *widget, const design::Control &control)
{
    widget->setObjectName(text(control.name));
    if (control.index >= 0)
        widget->setProperty("index", control.index);
    widget->setFont(font(control.font));
    if (control.sizedToCaption) {
        widget->move(rect(control.place).topLeft());
        widget->adjustSize();
    } else {
        widget->setGeometry(rect(control.place));
    }
}

void setTabOrder(QWidget *window, std::span<const design::Control *const> order)
{
    QWidget *first = nullptr;
    QWidget *previous = nullptr;
    for (const design::Control *control : order) {
        auto *next = window->findChild<QWidget *>(text(control->name));
        Q_ASSERT(next != nullptr);
        if (previous != nullptr)
            QWidget::setTabOrder(previous, next);
        else
            first = next;
        previous = next;
    }
    if (first != nullptr)
        first->setFocus();
}

} // namespace look
