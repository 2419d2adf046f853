#include "qt/look/pictures.h"

#include "design/windows.h"
#include "qt/look/utf8.h"

#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>

#include <cmath>
#include <utility>

namespace look {

QIcon programIcon()
{
    // One icon for the whole run, kept by the application: every window then
    // shares its renderings instead of decoding the pictures again and
    // filling the pixmap cache with copies.
    static qint64 made = 0;
    QIcon icon = QGuiApplication::windowIcon();
    if (icon.isNull() || icon.cacheKey() != made) {
        const design::Picture &shown = design::kIcon;
        icon = QIcon(QStringLiteral(":/") + text(shown.file));
        icon.addFile(QStringLiteral(":/") + text(shown.dense), QSize(shown.width, shown.height) * 2);
        QGuiApplication::setWindowIcon(icon);
        made = icon.cacheKey();
    }
    return icon;
}

namespace {

QString pictureKey(const design::Picture &shown, bool dense, QSize part)
{
    QString key = (dense ? QStringLiteral("2x:") : QStringLiteral("1x:")) + text(shown.file);
    if (!part.isEmpty())
        key += QStringLiteral(":%1x%2").arg(part.width()).arg(part.height());
    return key;
}

} // namespace

QPixmap picture(const design::Picture &shown, qreal devicePixelRatio, QSize part)
{
    const bool dense = devicePixelRatio > 1.0;
    const QString key = pictureKey(shown, dense, part);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    // Decoded as an image: QPixmap::load() would keep a second cache entry
    // of its own, which forgetPicture() could not reach.
    QImageReader reader(QStringLiteral(":/") + text(shown.dense));
    const int scale = dense && reader.canRead() ? 2 : 1;
    if (scale == 1)
        reader.setFileName(QStringLiteral(":/") + text(shown.file));
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

void forgetPicture(const design::Picture &shown)
{
    for (const bool dense : {false, true})
        QPixmapCache::remove(pictureKey(shown, dense, QSize()));
}

Backdrop::Backdrop(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void drawPicture(QPainter &painter, QPoint at, const design::Picture &shown, QSize part)
{
    const qreal ratio = painter.device()->devicePixelRatioF();
    const QPixmap pixmap = picture(shown, ratio, part);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, pixmap.devicePixelRatio() != ratio);
    // On a whole device pixel: between two, it would be resampled half a
    // pixel off, and blur.
    painter.drawPixmap(QPointF(std::round(at.x() * ratio) / ratio, std::round(at.y() * ratio) / ratio), pixmap);
}

void Backdrop::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // Only what the window shows: the landscape is larger than any of them.
    drawPicture(painter, QPoint(0, 0), design::kLandscape, size());
}

} // namespace look
