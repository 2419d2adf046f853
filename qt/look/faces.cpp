#include "qt/look/faces.h"

#include "qt/look/chinese_faces.h"
#include "qt/look/utf8.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace look {

QFont font(const design::Font &font)
{
    // The design's one face by its Windows names, then the faces Debian has.
    Q_ASSERT(font.face == design::kSong);
    static const QStringList families = [] {
        QStringList list{QStringLiteral("SimSun"), text(design::kSong)};
        for (const ChineseFace &face : kChineseFaces)
            list.append(QString::fromUtf8(face.family));
        return list;
    }();
    QFont shown;
    shown.setFamilies(families);
    shown.setStyleHint(QFont::Serif);
    shown.setPointSizeF(font.points);
    shown.setWeight(QFont::Normal);
    return shown;
}

QFont defaultFont()
{
    return font(design::kDefaultFont);
}

QString missingFontWarning()
{
    if (!QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty())
        return {};
    const ChineseFace &first = kChineseFaces[0];
    return QStringLiteral("tessaline: no Chinese font is installed, so Chinese text shows as empty boxes; "
                          "install %1 (Debian package %2)")
        .arg(QString::fromUtf8(first.family), QString::fromUtf8(first.package));
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

} // namespace look
