// Every text of every window shows whole, whichever Chinese face the machine
// has: no glyph cut at the edge of its control, no line hidden. CTest runs
// this once per face, each time with a private fontconfig set-up that holds
// only that face and DejaVu; TESSALINE_FACE names the family the run is for
// ("none" for a machine without any Chinese face).
//
// Wholeness is judged on what is drawn: the pixels a text adds to its control
// at the control's own size must be exactly those it adds when the control is
// made larger (only taller, for text that wraps at the control's width).

#include "directory/code_regions.h"
#include "qt/look/faces.h"
#include "qt/windows/about_dialog.h"
#include "qt/windows/code_window.h"
#include "qt/windows/region_window.h"
#include "window_driver.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>

#include <functional>
#include <memory>

using driver::child;

namespace {

// How much larger the control is made on each side it grows: a whole device
// pixel count at the scale factors tried (1, 1.25, 1.5, 2), so what is drawn
// only moves, by whole pixels.
constexpr int kGrowth = 8;

enum class Growth { AllSides, Taller };

// The text roles of a palette in one colour. The controls lay out the same
// whatever it is, and drawn once in black and once in white, only the text
// differs, by how much of each pixel a glyph covers, whatever lies beneath.
QPalette textIn(QPalette palette, const QColor &colour)
{
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::BrightText,
                                QPalette::HighlightedText, QPalette::PlaceholderText})
            palette.setColor(group, role, colour);
    return palette;
}

// What widget draws of area; at its own place only as far as its window
// shows it.
enum class Place { Own, Larger };

QImage draw(QWidget *widget, const QRect &area, Place place)
{
    const qreal ratio = widget->devicePixelRatioF();
    QImage image((area.size() * ratio), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::gray);
    QRect shown = area;
    if (place == Place::Own)
        for (const QWidget *inner = widget; !inner->isWindow(); inner = inner->parentWidget())
            shown &= QRect(widget->mapFrom(inner->parentWidget(), QPoint(0, 0)), inner->parentWidget()->size());
    widget->render(&image, QPoint(), QRegion(shown),
                   QWidget::DrawWindowBackground | QWidget::DrawChildren);
    return image;
}

// How much of each pixel of what painted draws in area the text of coloured
// covers, from 0 to 255.
QImage coverage(QWidget *painted, const QRect &area, QWidget *coloured, Place place)
{
    const QPalette design = coloured->palette();
    coloured->setPalette(textIn(design, Qt::black));
    const QImage dark = draw(painted, area, place);
    coloured->setPalette(textIn(design, Qt::white));
    const QImage light = draw(painted, area, place);
    coloured->setPalette(design);

    QImage cover(dark.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < dark.height(); ++y) {
        const auto *a = reinterpret_cast<const QRgb *>(dark.constScanLine(y));
        const auto *b = reinterpret_cast<const QRgb *>(light.constScanLine(y));
        uchar *out = cover.scanLine(y);
        for (int x = 0; x < dark.width(); ++x)
            out[x] = uchar(std::clamp(qGray(b[x]) - qGray(a[x]), 0, 255));
    }
    return cover;
}

// Whether small holds all the ink of large, moved by shift: no pixel that one
// covers well and the other hardly. How faintly a glyph's edge blends into
// different backgrounds does not count.
bool sameInk(const QImage &small, const QImage &large, QPoint shift)
{
    constexpr int kTolerance = 96;
    bool inked = false;
    for (int y = 0; y < large.height(); ++y) {
        const uchar *b = large.constScanLine(y);
        const int sy = y - shift.y();
        const uchar *a = sy >= 0 && sy < small.height() ? small.constScanLine(sy) : nullptr;
        for (int x = 0; x < large.width(); ++x) {
            const int sx = x - shift.x();
            const int here = a != nullptr && sx >= 0 && sx < small.width() ? a[sx] : 0;
            if (std::abs(here - b[x]) > kTolerance)
                return false;
            inked = inked || here > 128;
        }
    }
    return inked;
}

// Whether the ink at the control's own size is all of it: the same as when
// the control is larger, where the text may have moved by the growth (it is
// centred, give or take the rounding of a half) or not (it keeps to the top
// or the left).
bool sameInkAnywhere(const QImage &small, const QImage &large, int growth)
{
    const int moves[] = {0, growth - 1, growth, growth + 1};
    for (const int dx : moves)
        for (const int dy : moves)
            if (sameInk(small, large, QPoint(dx, dy)))
                return true;
    return false;
}

// What a failure leaves in the test's working directory, to be looked at.
void keepForALook(const QString &what, const QImage &atSize, const QImage &larger)
{
    QString name = QStringLiteral("text-fit-%1-%2").arg(qEnvironmentVariable("TESSALINE_FACE"), what);
    name.replace(QRegularExpression(QStringLiteral("[^\\w.-]+")), QStringLiteral("_"));
    atSize.save(name + QStringLiteral("-at-size.png"));
    larger.save(name + QStringLiteral("-larger.png"));
}

// Where a control shows its text: all of it, but for a drop-down list, whose
// arrow is drawn in the text colour too.
QRect textArea(QWidget *widget)
{
    auto *box = qobject_cast<QComboBox *>(widget);
    if (box == nullptr)
        return widget->rect();
    QStyleOptionComboBox option;
    option.initFrom(box);
    return box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box);
}

// Whether the text of widget is drawn whole at the widget's size.
bool whole(QWidget *widget, Growth growth, const QString &what)
{
    const QImage atSize = coverage(widget, textArea(widget), widget, Place::Own);
    const QRect home = widget->geometry();
    widget->setGeometry(growth == Growth::Taller ? home.adjusted(0, 0, 0, 2 * kGrowth)
                                                 : home.adjusted(-kGrowth, -kGrowth, kGrowth, kGrowth));
    const QImage larger = coverage(widget, textArea(widget), widget, Place::Larger);
    widget->setGeometry(home);
    if (sameInkAnywhere(atSize, larger, qRound(kGrowth * widget->devicePixelRatioF())))
        return true;
    keepForALook(what, atSize, larger);
    return false;
}

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

class TextFitTest : public QObject
{
    Q_OBJECT

private:
    QString m_face = qEnvironmentVariable("TESSALINE_FACE");

    // Every entry of the box's open list, as the list draws it, against the
    // same list made wider.
    void checkListEntries(QComboBox *box, const QString &what)
    {
        box->showPopup();
        QAbstractItemView *list = box->view();
        QVERIFY(QTest::qWaitForWindowExposed(list->window()));
        const QAbstractItemModel *model = list->model();
        for (int row = 0; row < box->count(); ++row) {
            const QModelIndex entry = model->index(row, box->modelColumn(), box->rootModelIndex());
            const QString text = entry.data().toString();
            list->scrollTo(entry, QAbstractItemView::PositionAtCenter);
            const QImage atSize = coverage(list->viewport(), list->visualRect(entry), list, Place::Own);
            QWidget *popup = list->window();
            const QSize home = popup->size();
            popup->resize(home.width() + 2 * kGrowth, home.height());
            list->scrollTo(entry, QAbstractItemView::PositionAtCenter);
            const QImage wider = coverage(list->viewport(), list->visualRect(entry), list, Place::Larger);
            popup->resize(home);
            const bool whole = sameInk(atSize, wider, QPoint(0, 0));
            if (!whole)
                keepForALook(what + text, atSize, wider);
            QVERIFY2(whole, qPrintable(what + QStringLiteral(": ") + text));
        }
        box->hidePopup();
    }

    void checkFrame(LookupWindow *window)
    {
        QVERIFY(whole(window->menuBar(), Growth::AllSides, QStringLiteral("menu")));
        for (QLabel *panel : window->statusBar()->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly))
            QVERIFY2(whole(panel, Growth::AllSides, panel->text()), qPrintable(panel->text()));
        // The menu bar may follow the face; what lies below it may not.
        QCOMPARE(window->client()->height() + window->statusBar()->height(), 101);
        QCOMPARE(window->client()->width(), 306);
        QCOMPARE(window->height(), window->menuBar()->height() + 101);
    }

private slots:
    void init()
    {
        if (m_face == QLatin1String("none") && QTest::currentTestFunction() != QByteArray("theFaceIsTheOneMeant"))
            QSKIP("no Chinese face: there is no glyph to be whole");
    }

    void theFaceIsTheOneMeant()
    {
        QVERIFY2(!m_face.isEmpty(), "TESSALINE_FACE names the face this run is for");
        if (m_face == QLatin1String("none")) {
            QVERIFY(look::missingFontWarning().contains(QStringLiteral("fonts-arphic-uming")));
            return;
        }
        QCOMPARE(QFontInfo(look::font(design::song(12))).family(), m_face);
        QCOMPARE(QFontInfo(look::defaultFont()).family(), m_face);
        QCOMPARE(look::missingFontWarning(), QString());
    }

    void theRegionWindow()
    {
        auto window = std::make_unique<RegionWindow>();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        checkFrame(window.get());
        auto *caption = child<QLabel>(window.get(), "Label3");
        QVERIFY(whole(caption, Growth::AllSides, QStringLiteral("region-Label3")));

        auto *provinces = child<QComboBox>(window.get(), "Combo1");
        auto *cities = child<QComboBox>(window.get(), "Combo2");
        auto *code = child<QLineEdit>(window.get(), "Text1");
        checkListEntries(provinces, QStringLiteral("Combo1-list-"));
        for (int row = 0; row < provinces->count(); ++row) {
            const QString province = provinces->itemText(row);
            provinces->setCurrentIndex(row);
            emit provinces->activated(row);
            QVERIFY2(whole(provinces, Growth::AllSides, province), qPrintable(province));
            if (cities->count() == 0) {
                QVERIFY2(whole(code, Growth::AllSides, code->text()), qPrintable(code->text()));
                continue;
            }
            checkListEntries(cities, QStringLiteral("Combo2-list-"));
            for (int city = 0; city < cities->count(); ++city) {
                const QString name = cities->itemText(city);
                cities->setCurrentIndex(city);
                emit cities->activated(city);
                QVERIFY2(whole(cities, Growth::AllSides, name), qPrintable(name));
                QVERIFY2(whole(code, Growth::AllSides, code->text()), qPrintable(name + code->text()));
            }
        }
    }

    void theCodeWindow()
    {
        auto window = std::make_unique<CodeWindow>();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        checkFrame(window.get());
        auto *caption = child<QLabel>(window.get(), "Label3");
        QVERIFY(whole(caption, Growth::AllSides, QStringLiteral("code-Label3")));
        for (const char *name : {"Command1", "Command2"}) {
            auto *button = child<QPushButton>(window.get(), name);
            QVERIFY2(whole(button, Growth::AllSides, QLatin1String(name)), name);
        }

        // Every answer the code table holds, and the prompt and the error text.
        auto *input = child<QLineEdit>(window.get(), "Text1");
        auto *query = child<QPushButton>(window.get(), "Command1");
        auto *output = child<QPlainTextEdit>(window.get(), "Text2");
        QStringList codes{QString(), QStringLiteral("9")};
        for (const auto &row : directory::data::codeRegions)
            codes << fromUtf8(row.areaCode);
        for (const QString &code : codes) {
            input->setText(code);
            if (!code.isEmpty())
                QVERIFY2(whole(input, Growth::AllSides, code), qPrintable(code));
            QTest::mouseClick(query, Qt::LeftButton);
            QVERIFY2(whole(output, Growth::Taller, QStringLiteral("Text2-") + code),
                     qPrintable(code + QStringLiteral(": ") + output->toPlainText()));
        }
    }

    void theAboutWindow()
    {
        AboutDialog about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QCOMPARE(about.size(), QSize(250, 115));
        for (const char *name : {"Label1", "lblTitle", "lblVersion", "lblDisclaimer"}) {
            auto *label = child<QLabel>(&about, name);
            QVERIFY2(whole(label, Growth::AllSides, QLatin1String(name)), name);
        }
    }
};

QTEST_MAIN(TextFitTest)
#include "text_fit_test.moc"
