#include "windows/look.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPixmapCache>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

namespace look {
namespace {

// Draws the command the keyboard is on as if pressed: the way the style
// shows a selected command whose menu is open.
class MenuBarStyle : public QProxyStyle
{
public:
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
};

} // namespace

QFont songFont(qreal points)
{
    QFont font;
    // AR PL UMing before Noto Serif: its metrics are SimSun's (half-width
    // Latin, tight lines), which the box sizes of the layouts assume.
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("AR PL UMing CN"),
                      QStringLiteral("Noto Serif CJK SC")});
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    return font;
}

QFont defaultFont()
{
    return songFont(9);
}

QLabel *caption(QWidget *parent, const char *name, const QString &text, const QFont &font)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, kYellow);
    label->setPalette(palette);
    return label;
}

void setBoxColours(QWidget *box, const QColor &background, const QColor &text)
{
    QPalette palette = box->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, background);
        palette.setColor(group, QPalette::Text, text);
    }
    box->setPalette(palette);
}

QIcon programIcon()
{
    // One icon for the whole run, kept by the application: every window then
    // shares its renderings instead of decoding the pictures again and
    // filling the pixmap cache with copies.
    static qint64 made = 0;
    QIcon icon = QGuiApplication::windowIcon();
    if (icon.isNull() || icon.cacheKey() != made) {
        icon = QIcon(QStringLiteral(":/tessaline.ico"));
        icon.addFile(QStringLiteral(":/tessaline@2x.png"), QSize(64, 64));
        QGuiApplication::setWindowIcon(icon);
        made = icon.cacheKey();
    }
    return icon;
}

QPixmap picture(const QString &name, qreal devicePixelRatio)
{
    const bool dense = devicePixelRatio > 1.0;
    const QString key = (dense ? QStringLiteral("2x:") : QStringLiteral("1x:")) + name;
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (!dense || !pixmap.load(QStringLiteral(":/") + name.left(dot) + QStringLiteral("@2x") + name.mid(dot)))
        pixmap.load(QStringLiteral(":/") + name);
    else
        pixmap.setDevicePixelRatio(2.0);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

Backdrop::Backdrop(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Backdrop::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture(QStringLiteral("landscape.jpg"), devicePixelRatioF()));
}

void markKeyboardSelection(QMenuBar *bar)
{
    // One style for every menu bar of the run, owned by the application: a
    // widget does not own its style.
    static QPointer<MenuBarStyle> shared;
    if (shared.isNull()) {
        shared = new MenuBarStyle;
        shared->setParent(QCoreApplication::instance());
    }
    bar->setStyle(shared);
}

Qt::WindowFlags fixedWindowFlags(Qt::WindowType type)
{
    return type | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
}

} // namespace look
