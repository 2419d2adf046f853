#include "qt/look/pictures.h"

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

} // namespace look
