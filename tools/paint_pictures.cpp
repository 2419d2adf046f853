// Paints the program's pictures: the icon, the landscape behind the windows
// and the start-up picture, and the icons installed for the desktop.
// Deterministic, so the committed files can be remade at will:
//   tessaline_paint .

#include "design/windows.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace {

QString text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

// A small fixed generator: the same pictures on every machine and library.
class Lcg
{
public:
    explicit Lcg(std::uint32_t seed) : m_state(seed) {}
    double next() // in [0, 1)
    {
        m_state = m_state * 1664525u + 1013904223u;
        return (m_state >> 8) / double(1u << 24);
    }
    double between(double low, double high) { return low + (high - low) * next(); }

private:
    std::uint32_t m_state;
};

// --- landscape ------------------------------------------------------------

double ridge(double x, double base, double a1, double f1, double a2, double f2, double phase)
{
    return base + a1 * std::sin(x * f1 + phase) + a2 * std::sin(x * f2 + 2.3 * phase);
}

void paintTree(QPainter &p, Lcg &rng, double x, double ground, double size)
{
    const QColor trunk(92, 64, 38);
    p.setPen(Qt::NoPen);
    p.setBrush(trunk);
    p.drawRect(QRectF(x - size * 0.07, ground - size * 0.45, size * 0.14, size * 0.45));

    const QColor shades[] = {QColor(34, 92, 38), QColor(46, 112, 44), QColor(62, 134, 52), QColor(84, 152, 62)};
    for (int layer = 0; layer < 4; ++layer) {
        for (int blob = 0; blob < 4; ++blob) {
            const double bx = x + rng.between(-0.32, 0.32) * size;
            const double by = ground - size * (0.62 + 0.1 * layer) + rng.between(-0.12, 0.12) * size;
            const double r = size * (0.3 - 0.045 * layer) * rng.between(0.85, 1.15);
            p.setBrush(shades[layer]);
            p.drawEllipse(QPointF(bx - layer * 0.03 * size, by - layer * 0.02 * size), r, r * 0.92);
        }
    }
}

void paintCloud(QPainter &p, Lcg &rng, double x, double y, double width)
{
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 7; ++i) {
        const double cx = x + rng.between(0.0, 1.0) * width;
        const double cy = y + rng.between(-0.12, 0.12) * width;
        const double r = width * rng.between(0.16, 0.26);
        QRadialGradient puff(QPointF(cx, cy - r * 0.3), r);
        puff.setColorAt(0, QColor(255, 255, 255, 200));
        puff.setColorAt(1, QColor(255, 255, 255, 0));
        p.setBrush(puff);
        p.drawEllipse(QPointF(cx, cy), r * 1.4, r);
    }
}

QImage landscape(int scale)
{
    const int w = design::kLandscape.width, h = design::kLandscape.height;
    QImage image(w * scale, h * scale, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    Lcg rng(20080501);

    const double horizon = 78;

    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0.0, QColor(22, 66, 156));
    sky.setColorAt(0.55, QColor(52, 112, 196));
    sky.setColorAt(1.0, QColor(112, 166, 224));
    p.fillRect(QRectF(0, 0, w, horizon + 2), sky);

    paintCloud(p, rng, 300, 22, 70);
    paintCloud(p, rng, 330, 50, 50);

    // Far hills, then near hills, bluish with distance.
    for (int band = 0; band < 2; ++band) {
        QPainterPath hills;
        hills.moveTo(0, horizon + 4);
        for (int x = 0; x <= w; x += 4) {
            const double y = band == 0 ? ridge(x, 60, 8, 0.021, 4, 0.057, 0.4) : ridge(x, 70, 6, 0.033, 3, 0.081, 1.7);
            hills.lineTo(x, y);
        }
        hills.lineTo(w, horizon + 4);
        hills.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(band == 0 ? QColor(66, 100, 126) : QColor(48, 94, 68));
        p.drawPath(hills);
    }

    QLinearGradient meadow(0, horizon, 0, h);
    meadow.setColorAt(0.0, QColor(72, 128, 48));
    meadow.setColorAt(0.4, QColor(96, 160, 58));
    meadow.setColorAt(1.0, QColor(70, 136, 42));
    p.fillRect(QRectF(0, horizon, w, h - horizon), meadow);

    // Grass, darker strokes thickening towards the front.
    for (int i = 0; i < 1400; ++i) {
        const double y = rng.between(horizon + 2, h);
        const double x = rng.between(0, w);
        const double depth = (y - horizon) / (h - horizon);
        p.setPen(QPen(QColor(40 + int(rng.between(0, 40)), 100 + int(rng.between(0, 50)), 30, 150), 0.6 + depth));
        p.drawLine(QPointF(x, y), QPointF(x + rng.between(-1.5, 1.5), y - 1.5 - 4 * depth));
    }

    // The river winds from the hills to the front edge, widening.
    QPainterPath river;
    river.moveTo(226, horizon);
    river.cubicTo(250, 110, 150, 130, 170, 170);
    river.cubicTo(186, 200, 120, 222, 96, h + 2);
    river.lineTo(230, h + 2);
    river.cubicTo(250, 214, 232, 196, 214, 172);
    river.cubicTo(194, 140, 272, 110, 232, horizon);
    river.closeSubpath();
    QLinearGradient water(0, horizon, 0, h);
    water.setColorAt(0.0, QColor(170, 206, 236));
    water.setColorAt(0.5, QColor(84, 146, 210));
    water.setColorAt(1.0, QColor(44, 104, 182));
    p.setPen(QPen(QColor(60, 96, 40), 1.2));
    p.setBrush(water);
    p.drawPath(river);
    // Glints on the water.
    p.save();
    p.setClipPath(river);
    p.setPen(QPen(QColor(230, 244, 255, 160), 1.0));
    for (int i = 0; i < 90; ++i) {
        const double y = rng.between(horizon + 6, h);
        const double x = rng.between(96, 260);
        const double length = 2 + 8 * (y - horizon) / (h - horizon);
        p.drawLine(QPointF(x, y), QPointF(x + length, y));
    }
    p.restore();

    // Trees: small on the horizon, larger in front, none in the river.
    struct Spot {
        double x, ground, size;
    };
    const Spot trees[] = {
        {20, 82, 14},  {36, 81, 11},  {58, 83, 16},  {150, 80, 10}, {166, 81, 12}, {290, 82, 13},
        {306, 80, 10}, {372, 83, 15}, {390, 82, 11}, {40, 150, 34}, {84, 138, 28}, {118, 172, 40},
        {300, 140, 32}, {342, 168, 44}, {380, 128, 26}, {30, 226, 56}, {362, 232, 58},
    };
    for (const Spot &tree : trees)
        paintTree(p, rng, tree.x, tree.ground, tree.size);
    return image;
}

// --- start-up picture -----------------------------------------------------

void shadowedText(QPainter &p, const QRectF &box, const QFont &font, const QString &text, double offset)
{
    p.setFont(font);
    p.setPen(QColor(30, 8, 48, 200));
    p.drawText(box.translated(offset, offset), Qt::AlignCenter, text);
    p.setPen(Qt::white);
    p.drawText(box, Qt::AlignCenter, text);
}

QImage startup(int scale)
{
    const int w = design::kStartupPicture.width, h = design::kStartupPicture.height;
    QImage image(w * scale, h * scale, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    p.scale(scale, scale);

    QLinearGradient ground(0, 0, w, h);
    ground.setColorAt(0.0, QColor(118, 58, 168));
    ground.setColorAt(1.0, QColor(70, 28, 120));
    p.fillRect(QRectF(0, 0, w, h), ground);

    // A soft glow behind the title and a few faint rings, for depth.
    QRadialGradient glow(QPointF(w / 2.0, h * 0.32), w * 0.55);
    glow.setColorAt(0.0, QColor(200, 150, 240, 90));
    glow.setColorAt(1.0, QColor(200, 150, 240, 0));
    p.fillRect(QRectF(0, 0, w, h), glow);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 4; ++i) {
        p.setPen(QPen(QColor(255, 255, 255, 18), 10 - 2 * i));
        p.drawEllipse(QPointF(w * 0.86, h * 1.05), 60.0 + 34 * i, 60.0 + 34 * i);
    }

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setBold(true);
    title.setPixelSize(36);
    title.setHintingPreference(QFont::PreferNoHinting);
    shadowedText(p, QRectF(0, 8, w, h / 2.0 + 4), title, text(design::lookup::kCaption), 3);

    QFont maker(QStringLiteral("DejaVu Sans"));
    maker.setPixelSize(22);
    maker.setHintingPreference(QFont::PreferNoHinting);
    shadowedText(p, QRectF(0, h / 2.0 + 16, w, 40), maker, QStringLiteral("Velmora"), 2);
    return image;
}

// --- icon -----------------------------------------------------------------

// 3 x 5 capitals for the word on the box.
const char *const kGlyphs[][5] = {
    {"###", ".#.", ".#.", ".#.", ".#."}, // T
    {"###", "#.#", "#.#", "#.#", "###"}, // O
    {"#..", "#..", "#..", "#..", "###"}, // L
    {"###", "#..", "###", "..#", "###"}, // S
};

QImage icon()
{
    QImage image(design::kIcon.width, design::kIcon.height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setPen(Qt::NoPen);

    const QColor outline(10, 30, 90), blue(36, 88, 200), light(96, 150, 240), dark(22, 58, 150);
    const QColor handle(250, 210, 20), handleDark(180, 140, 0);

    // Handle: a yellow arch over the lid.
    p.fillRect(10, 3, 12, 2, handleDark);
    p.fillRect(11, 4, 10, 1, handle);
    p.fillRect(9, 4, 2, 7, handleDark);
    p.fillRect(21, 4, 2, 7, handleDark);
    p.fillRect(10, 5, 1, 6, handle);
    p.fillRect(21, 5, 1, 6, handle);

    // Box with a lid stripe and a shaded side.
    p.fillRect(2, 10, 28, 19, outline);
    p.fillRect(3, 11, 26, 17, blue);
    p.fillRect(3, 11, 26, 2, light);
    p.fillRect(3, 14, 26, 1, outline);
    p.fillRect(3, 25, 26, 3, dark);
    p.fillRect(14, 13, 4, 3, handle); // the clasp

    // TOOLS in white.
    const int word[] = {0, 1, 1, 2, 3};
    int x = 4;
    for (const int g : word) {
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < 3; ++col)
                if (kGlyphs[g][row][col] == '#')
                    image.setPixelColor(x + col, 18 + row, Qt::white);
        x += 5;
    }
    return image;
}

void put16(QByteArray &out, int v)
{
    out.append(char(v & 0xff)).append(char((v >> 8) & 0xff));
}

void put32(QByteArray &out, std::uint32_t v)
{
    put16(out, int(v & 0xffff));
    put16(out, int(v >> 16));
}

// An .ico holding one 256-colour image with a transparency mask.
QByteArray icoFile(const QImage &argb)
{
    const int size = argb.width();
    const QImage indexed = argb.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    QList<QRgb> palette = indexed.colorTable();
    palette.resize(256, qRgb(0, 0, 0));

    const int andStride = ((size + 31) / 32) * 4;
    const int xorBytes = size * size, andBytes = andStride * size;
    const int imageBytes = 40 + 256 * 4 + xorBytes + andBytes;

    QByteArray out;
    put16(out, 0);
    put16(out, 1); // icon
    put16(out, 1); // one image
    out.append(char(size)).append(char(size)).append(char(0)).append(char(0));
    put16(out, 1);
    put16(out, 8);
    put32(out, imageBytes);
    put32(out, 6 + 16);

    put32(out, 40);
    put32(out, size);
    put32(out, size * 2); // colour rows and mask rows
    put16(out, 1);
    put16(out, 8);
    put32(out, 0);
    put32(out, xorBytes + andBytes);
    put32(out, 0);
    put32(out, 0);
    put32(out, 256);
    put32(out, 0);
    for (const QRgb c : palette)
        out.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append(char(0));
    for (int y = size - 1; y >= 0; --y)
        out.append(reinterpret_cast<const char *>(indexed.constScanLine(y)), size);
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(andStride, 0);
        for (int x = 0; x < size; ++x)
            if (qAlpha(argb.pixel(x, y)) < 128)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        out.append(row);
    }
    return out;
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PROJECT_ROOT\n", argv[0]);
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    const QDir resources(root.filePath(QStringLiteral("resources")));
    const QDir icons(root.filePath(QStringLiteral("packaging/icons")));
    const QImage mark = icon();

    // Each picture also at twice the size, painted afresh rather than
    // enlarged, for high-density screens. The icon is pixel art: it is
    // enlarged pixel for pixel, which keeps it sharp.
    const auto file = [&resources](const design::Picture &picture, int scale) {
        return resources.filePath(text(scale == 1 ? picture.file : picture.dense));
    };
    bool ok = write(file(design::kIcon, 1), icoFile(mark));
    ok = mark.scaled(mark.size() * 2).save(file(design::kIcon, 2)) && ok;
    for (const int scale : {1, 2}) {
        ok = landscape(scale).save(file(design::kLandscape, scale), "JPEG", 90) && ok;
        ok = startup(scale).save(file(design::kStartupPicture, scale), "JPEG", 90) && ok;
    }
    for (const int size : {32, 128})
        ok = mark.scaled(size, size).save(icons.filePath(QStringLiteral("%1.png").arg(size))) && ok;
    if (!ok) {
        std::fprintf(stderr, "could not write the pictures under %s\n", argv[1]);
        return 1;
    }
    return 0;
}
