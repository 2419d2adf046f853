#include "windows/look.h"

#include "windows/caption.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPixmapCache>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionMenuItem>

#include <algorithm>
#include <cmath>
#include <utility>

namespace look {
namespace {

// What the look changes in the toolkit's style, for the controls that ask
// for it.
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

QFont songFont(qreal points)
{
    QFont font;
    // Song/Ming faces first, AR PL UMing before Noto Serif: its metrics are
    // SimSun's (half-width Latin, tight lines), which the layouts were drawn
    // with. Then Kai, and the Hei faces last.
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("AR PL UMing CN"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UKai CN"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("WenQuanYi Zen Hei")});
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    return font;
}

QString missingFontWarning()
{
    if (!QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty())
        return {};
    return QStringLiteral("tessaline: no Chinese font is installed, so Chinese text shows as empty boxes; "
                          "install AR PL UMing (Debian package fonts-arphic-uming)");
}

QFont defaultFont()
{
    return songFont(9);
}

LineMetrics lineMetrics(const QFont &font)
{
    // A line reaches as high as the face draws a character that fills its
    // square, and a quarter em below the baseline, which takes the
    // descenders of Latin letters.
    const QFontMetricsF face(font);
    const qreal em = QFontInfo(font).pixelSize();
    const qreal reach = std::ceil(-face.tightBoundingRect(QStringLiteral("国")).top());
    return {std::min(face.ascent(), reach), std::min(face.descent(), std::ceil(0.25 * em)),
            std::min(face.lineSpacing(), std::round(1.1 * em))};
}

Caption *caption(QWidget *parent, const char *name, const QString &text, const QFont &font)
{
    auto *label = new Caption(text, parent);
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

namespace {

QString pictureKey(const QString &name, bool dense, QSize part)
{
    QString key = (dense ? QStringLiteral("2x:") : QStringLiteral("1x:")) + name;
    if (!part.isEmpty())
        key += QStringLiteral(":%1x%2").arg(part.width()).arg(part.height());
    return key;
}

} // namespace

QPixmap picture(const QString &name, qreal devicePixelRatio, QSize part)
{
    const bool dense = devicePixelRatio > 1.0;
    const QString key = pictureKey(name, dense, part);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    // Decoded as an image: QPixmap::load() would keep a second cache entry
    // of its own, which forgetPicture() could not reach.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    QImageReader reader(QStringLiteral(":/") + name.left(dot) + QStringLiteral("@2x") + name.mid(dot));
    const int scale = dense && reader.canRead() ? 2 : 1;
    if (scale == 1)
        reader.setFileName(QStringLiteral(":/") + name);
    if (!part.isEmpty()) {
        // A pixel more each way, for the smooth resampling at the edges.
        const QRect needed(QPoint(0, 0), (part + QSize(1, 1)) * scale);
        reader.setClipRect(needed.intersected(QRect(QPoint(0, 0), reader.size())));
    }
    QImage image = reader.read();
    image.setDevicePixelRatio(scale);
    pixmap = QPixmap::fromImage(std::move(image));
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

void forgetPicture(const QString &name)
{
    for (const bool dense : {false, true})
        QPixmapCache::remove(pictureKey(name, dense, QSize()));
}

Backdrop::Backdrop(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void drawPicture(QPainter &painter, QPoint at, const QString &name, QSize part)
{
    const qreal ratio = painter.device()->devicePixelRatioF();
    const QPixmap pixmap = picture(name, ratio, part);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, pixmap.devicePixelRatio() != ratio);
    // On a whole device pixel: between two, it would be resampled half a
    // pixel off, and blur.
    painter.drawPixmap(QPointF(std::round(at.x() * ratio) / ratio, std::round(at.y() * ratio) / ratio), pixmap);
}

void Backdrop::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // Only what the window shows: the landscape is larger than any of them.
    drawPicture(painter, QPoint(0, 0), QStringLiteral("landscape.jpg"), size());
}

namespace {

class PastGreyedCommands : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Entering the bar with the keyboard gives it the focus on its first
        // command; Qt's own Right goes on to the next that can be chosen.
        auto *bar = static_cast<QMenuBar *>(watched);
        if (event->type() == QEvent::FocusIn && static_cast<QFocusEvent *>(event)->reason() == Qt::MenuBarFocusReason)
            QMetaObject::invokeMethod(bar, [bar] {
                if (bar->hasFocus() && bar->activeAction() != nullptr && !bar->activeAction()->isEnabled()) {
                    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
                    QCoreApplication::sendEvent(bar, &right);
                }
            }, Qt::QueuedConnection);
        return false;
    }
};

} // namespace

void prepareMenuBar(QMenuBar *bar)
{
    bar->setStyle(sharedStyle());
    bar->installEventFilter(new PastGreyedCommands(bar));
}

void fitDropDownText(QComboBox *box)
{
    box->setStyle(sharedStyle());
}

Qt::WindowFlags fixedWindowFlags(Qt::WindowType type)
{
    return type | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
}

} // namespace look
