#pragma once

// Drives the windows the way a user does: clicks on the menu bar, choices in
// an opened drop-down list, keys. Shared by the window tests.

#include "qt/look/pictures.h"
#include "qt/windows/lookup_host.h"
#include "qt/windows/lookup_window.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMenuBar>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

// The tests drive the windows by their class names.
using namespace windows;

namespace driver {

template <typename T>
T *child(const QWidget *window, const char *name)
{
    return window->findChild<T *>(QLatin1String(name));
}

inline QAction *command(const LookupWindow *window, const char *name)
{
    return window->menuBar()->findChild<QAction *>(QLatin1String(name));
}

// A click on the menu bar item, where the user would click.
inline void clickCommand(LookupWindow *window, const char *name)
{
    QMenuBar *bar = window->menuBar();
    const QRect where = bar->actionGeometry(command(window, name));
    QTest::mouseClick(bar, Qt::LeftButton, {}, where.center());
}

// Opens the list with the mouse and clicks the entry, as a user chooses.
// Returns false when the list does not hold the text.
inline bool choose(QComboBox *box, const QString &text)
{
    const int row = box->findText(text, Qt::MatchExactly);
    if (row < 0)
        return false;
    box->showPopup();
    QAbstractItemView *list = box->view();
    if (!QTest::qWaitForWindowExposed(list->window()))
        return false;
    const QModelIndex entry = list->model()->index(row, box->modelColumn(), box->rootModelIndex());
    list->scrollTo(entry);
    const QPoint at = list->visualRect(entry).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    return !list->window()->isVisible();
}

// A click that comes in through the window system, as a real one does, so
// that a modal window elsewhere blocks it.
inline void clickAsTheSystem(QWidget *widget)
{
    QWidget *window = widget->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, widget->mapTo(window, widget->rect().center()));
}

// Runs check once a modal window that the caller is about to open shows (for
// at most 5 s), then closes that window if check has not. About opens from
// the turn of the event loop after its command: wait for check to have run.
inline void whenModal(std::function<void(QWidget *modal)> check)
{
    auto *watch = new QTimer(qApp);
    auto *waited = new QElapsedTimer;
    waited->start();
    QObject::connect(watch, &QTimer::timeout, qApp, [watch, waited, check = std::move(check)] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal == nullptr && waited->elapsed() < 5000)
            return;
        watch->stop();
        watch->deleteLater();
        delete waited;
        check(modal);
        if (modal != nullptr && modal->isVisible())
            modal->close();
    });
    watch->start(5);
}

// Runs the application's event loop with body queued as its first event;
// returns exec()'s result, or -1 when the loop had not ended after 20 s.
inline int runEventLoop(std::function<void()> body)
{
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, qApp, [] { QCoreApplication::exit(-1); });
    guard.start(20000);
    QTimer::singleShot(0, qApp, std::move(body));
    return QApplication::exec();
}

// The program's main window, if it is open, or nullptr.
inline LookupHost *openMainWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *main = qobject_cast<LookupHost *>(w); main != nullptr && main->isVisible())
            return main;
    return nullptr;
}

// The lookup window that is open now, or nullptr.
inline LookupWindow *openLookupWindow()
{
    LookupHost *main = openMainWindow();
    return main != nullptr ? main->lookup() : nullptr;
}

// The widgets of window whose accessible description or text holds text.
inline QStringList carrying(const QWidget *window, const QString &text)
{
    QStringList found;
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets.prepend(const_cast<QWidget *>(window));
    for (QWidget *widget : widgets) {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
        if (iface == nullptr)
            continue;
        QAccessibleTextInterface *shown = iface->textInterface();
        const QString all = iface->text(QAccessible::Description) + QLatin1Char('\n') + iface->text(QAccessible::Value)
                            + QLatin1Char('\n') + (shown ? shown->text(0, shown->characterCount()) : QString());
        if (all.contains(text))
            found.append(widget->objectName());
    }
    return found;
}

// How closely a picture drawn on widget matches, within strip, the painting
// meant for the screen's density resampled smoothly to it, and how closely
// the plain painting enlarged would: mean differences per channel, 0 to 255.
struct Sharpness {
    qreal ratio = 1;
    double fromItsOwn = 0;
    double fromThePlainOne = 0;

    bool sharp() const { return fromItsOwn < 1.25 && (ratio == 1 || fromItsOwn < 0.5 * fromThePlainOne); }
    QString report() const
    {
        return QStringLiteral("density %1: %2 from the painting for it, %3 from the plain one")
            .arg(ratio)
            .arg(fromItsOwn)
            .arg(fromThePlainOne);
    }
};

inline Sharpness sharpness(QWidget *widget, const QRect &strip, QPoint pictureAt, const design::Picture &painted)
{
    const qreal ratio = widget->devicePixelRatioF();
    const QRect pixels(strip.topLeft() * ratio, strip.size() * ratio);
    const QImage shown = widget->grab(strip).toImage().convertToFormat(QImage::Format_RGB32);
    const auto difference = [&](const QPixmap &painting) {
        const QSize size = painting.deviceIndependentSize().toSize() * ratio;
        QImage canvas(widget->size() * ratio, QImage::Format_RGB32);
        canvas.fill(Qt::black);
        QImage resampled = painting.toImage().scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        resampled.setDevicePixelRatio(1);
        QPainter(&canvas).drawImage(pictureAt * ratio, resampled);
        const QImage expected = canvas.copy(pixels);
        qint64 sum = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x) {
                const QRgb a = shown.pixel(x, y), b = expected.pixel(x, y);
                sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
            }
        return double(sum) / (3.0 * shown.width() * shown.height());
    };
    return {ratio, difference(look::picture(painted, ratio)), difference(look::picture(painted, 1.0))};
}

} // namespace driver
