#include "qt/windows/about_dialog.h"

#include "design/windows.h"
#include "qt/desktop/accessibility.h"
#include "qt/desktop/window_hints.h"
#include "qt/look/caption.h"
#include "qt/look/design.h"
#include "qt/look/faces.h"
#include "qt/look/pictures.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPalette>

namespace windows {

namespace {

// A colour of its own over the landscape.
void fillWith(QWidget *widget, design::Rgb background)
{
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, look::colour(background));
    widget->setPalette(palette);
}

void rule(QWidget *parent, const design::Control &line)
{
    auto *rule = new QWidget(parent);
    fillWith(rule, line.colour.value());
    look::place(rule, line);
}

} // namespace

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent, desktop::fixedWindowFlags(Qt::Dialog))
{
    const design::Window &plan = design::about::kWindow;
    setObjectName(look::text(plan.name));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(look::text(plan.caption));
    setWindowIcon(look::programIcon());
    setFont(look::defaultFont());
    setFixedSize(look::size(plan.client));
    desktop::keepOffTaskbar(this);

    auto *area = new look::Backdrop(this);
    area->setGeometry(rect());

    // Stacked from bottom to top in the order they are made.
    auto *icon = new QLabel(area);
    icon->setAccessibleName(look::text(design::about::kIconBox.spokenName));
    icon->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    icon->setLineWidth(2);
    icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    fillWith(icon, design::about::kIconBox.background.value());
    icon->setPixmap(look::programIcon().pixmap(QSize(design::kIcon.width, design::kIcon.height), devicePixelRatioF()));
    look::place(icon, design::about::kIconBox); // the icon at its own size, and its border

    look::caption(area, design::about::kContact);
    rule(area, design::about::kGreyRule);
    look::caption(area, design::about::kTitle);
    rule(area, design::about::kWhiteRule);
    look::caption(area, design::about::kVersion);
    look::caption(area, design::about::kNotice);

    desktop::forAssistiveTools(this);
}

void AboutDialog::keyPressEvent(QKeyEvent *event)
{
    // No buttons: Escape does not close this window, only its title bar does.
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

} // namespace windows
