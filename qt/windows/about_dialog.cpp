#include "qt/windows/about_dialog.h"

#include "qt/desktop/accessibility.h"
#include "qt/desktop/window_hints.h"
#include "qt/look/caption.h"
#include "qt/look/colours.h"
#include "qt/look/faces.h"
#include "qt/look/pictures.h"
#include "qt/look/twips.h"
#include "tessaline/version.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPalette>

namespace windows {

namespace {

constexpr int kClientWidth = 3750;
constexpr int kClientHeight = 1725;

QWidget *line(QWidget *parent, int index, const QColor &colour, int width, int lengthTwips)
{
    auto *rule = new QWidget(parent);
    rule->setObjectName(QStringLiteral("Line1"));
    rule->setProperty("index", index);
    rule->setAutoFillBackground(true);
    QPalette palette = rule->palette();
    palette.setColor(QPalette::Window, colour);
    rule->setPalette(palette);
    rule->setGeometry(0, look::px(1320), look::px(lengthTwips), width);
    return rule;
}

} // namespace

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent, desktop::fixedWindowFlags(Qt::Dialog))
{
    setObjectName(QStringLiteral("关于"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("关于"));
    setWindowIcon(look::programIcon());
    setFont(look::defaultFont());
    setFixedSize(look::px(kClientWidth), look::px(kClientHeight));
    desktop::keepOffTaskbar(this);

    auto *area = new look::Backdrop(this);
    area->setGeometry(rect());

    // Stacked from bottom to top in the order they are made.
    auto *icon = new QLabel(area);
    icon->setObjectName(QStringLiteral("picIcon"));
    icon->setAccessibleName(QStringLiteral("程序图标"));
    icon->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    icon->setLineWidth(2);
    icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    icon->setAutoFillBackground(true);
    QPalette iconPalette = icon->palette();
    iconPalette.setColor(QPalette::Window, look::kLightBlue);
    icon->setPalette(iconPalette);
    icon->setPixmap(look::programIcon().pixmap(QSize(32, 32), devicePixelRatioF()));
    icon->setGeometry(look::twipRect(120, 120, 540, 540)); // the 32-pixel icon and its border

    QLabel *contact = look::caption(area, "Label1",
                                    QStringLiteral("博客:https://velmora.example.net/blog\n"
                                                   "邮箱:velmora@velmora.example.net\n"
                                                   "作者:Velmora"),
                                    font());
    contact->setGeometry(look::twipRect(240, 720, 3615, 615));

    line(area, 1, look::kGrey, 1, 5564);

    QLabel *title = look::caption(area, "lblTitle", QStringLiteral("Tessaline"), look::songFont(15));
    title->setAlignment(Qt::AlignCenter);
    title->move(look::px(960), look::px(120));
    title->adjustSize();

    line(area, 0, look::kWhite, 2, 5670);

    QLabel *version = look::caption(area, "lblVersion", QStringLiteral("版本：" TESSALINE_VERSION), look::songFont(12));
    version->setAlignment(Qt::AlignCenter);
    version->setGeometry(look::twipRect(2040, 480, 1635, 255));

    QLabel *notice = look::caption(area, "lblDisclaimer", QStringLiteral("Velmora 版权所有"), look::songFont(14.25));
    notice->setGeometry(look::twipRect(480, 1440, 2895, 315));

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
