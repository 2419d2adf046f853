// What users feel: opening each window, switching between the lookup
// windows, and choosing the province with the longest city list. Each
// measurement runs from the user's act until the window has been painted.
// Headless (offscreen) unless QT_QPA_PLATFORM says otherwise.

#include "qt/windows/about_dialog.h"
#include "qt/windows/lookup_host.h"
#include "qt/windows/lookup_window.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMenuBar>

using namespace windows;

namespace {

// Lets the event loop deliver the expose event and the first paint.
void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Counts paints anywhere in the application, so each measurement can check
// that the window really was drawn before the clock stopped.
class PaintCounter : public QObject
{
public:
    PaintCounter() { qApp->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

QAction *command(QWidget *window, const char *name)
{
    return window->findChild<QAction *>(QLatin1String(name));
}

template <typename Window, auto... Arguments>
void openWindow(benchmark::State &state)
{
    PaintCounter counter;
    for (auto _ : state) {
        const int before = counter.paints;
        QElapsedTimer clock;
        clock.start();
        auto *window = new Window(Arguments...);
        window->show();
        settle();
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        if (counter.paints == before)
            state.SkipWithError("the window was not painted");
        window->close();
        settle();
    }
}

void switchWindows(benchmark::State &state, bool toCode)
{
    PaintCounter counter;
    auto *main = new LookupHost;
    main->show();
    settle();
    for (auto _ : state) {
        if (!toCode) { // start from the code window, untimed
            command(main->lookup(), "quhaochaxun")->trigger();
            settle();
        }
        const int before = counter.paints;
        QElapsedTimer clock;
        clock.start();
        command(main->lookup(), toCode ? "quhaochaxun" : "diquchaxun")->trigger();
        settle();
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        if (counter.paints == before)
            state.SkipWithError("the new window was not painted");
        if (toCode) { // back to the region window, untimed
            command(main->lookup(), "diquchaxun")->trigger();
            settle();
        }
    }
    main->close();
    settle();
}

void chooseZhejiang(benchmark::State &state)
{
    auto *window = new LookupHost;
    window->show();
    settle();
    auto *provinces = window->findChild<QComboBox *>(QStringLiteral("Combo1"));
    const int zhejiang = provinces->findText(QStringLiteral("浙江省"));
    const int beijing = provinces->findText(QStringLiteral("北京"));
    for (auto _ : state) {
        provinces->setCurrentIndex(beijing); // start from an empty city box, untimed
        emit provinces->activated(beijing);
        settle();

        QElapsedTimer clock;
        clock.start();
        provinces->setCurrentIndex(zhejiang);
        emit provinces->activated(zhejiang);
        settle();
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
    }
    window->close();
    settle();
}

} // namespace

BENCHMARK(openWindow<LookupHost, LookupWindow::Kind::Region>)
    ->Name("open/RegionWindow")
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(openWindow<LookupHost, LookupWindow::Kind::Code>)
    ->Name("open/CodeWindow")
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(openWindow<AboutDialog>)->Name("open/AboutDialog")->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(switchWindows, regionToCode, true)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(switchWindows, codeToRegion, false)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(chooseZhejiang)->Name("choose/浙江省")->UseManualTime()->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
