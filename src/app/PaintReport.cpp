#include "app/PaintReport.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>

namespace quillory {

namespace {

long long nanoseconds(clockid_t clock)
{
    timespec now{};
    ::clock_gettime(clock, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// The launcher never takes the focus, and its line is painted every second whatever the program
// does: its paints tell nothing of the program's.
bool isLauncher(QObject* window)
{
    const Qt::WindowFlags flags = window->isWindowType() ? static_cast<QWindow*>(window)->flags()
                                                         : static_cast<QWidget*>(window)->windowFlags();
    return flags.testFlag(Qt::WindowDoesNotAcceptFocus);
}

// Watches the paints of the windows: a window paints on an expose (sent to its QWindow) or an
// update request (sent to its top-level widget), and its backing store is flushed before the
// event returns, so a zero timer comes after the flush. A window that is not exposed yet (shown,
// but not yet mapped by the window system) paints nothing on either: those events are not paints.
class PaintReporter : public QObject {
public:
    explicit PaintReporter(std::function<int()> rowsShown) : rowsShown_(std::move(rowsShown)) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        QWindow* window = nullptr;
        if (event->type() == QEvent::Expose || event->type() == QEvent::UpdateRequest) {
            if (watched->isWindowType())
                window = static_cast<QWindow*>(watched);
            else if (event->type() == QEvent::UpdateRequest && watched->isWidgetType()
                     && static_cast<QWidget*>(watched)->isWindow())
                window = static_cast<QWidget*>(watched)->windowHandle();
        }
        const bool paints = window && window->isExposed();
        if (!pending_ && paints && !isLauncher(watched)) {
            pending_ = true;
            QTimer::singleShot(0, this, [this] { report(); });
        }
        return false;
    }

private:
    void report()
    {
        // The round trip below runs the event loop: a paint it lets happen is told after this
        // one, not before it.
        if (reporting_) {
            again_ = true;
            return;
        }
        reporting_ = true;
        pending_ = false;
        // The work of the paint is done here; the round trip below only waits for the window
        // system to draw it, and may let other work start meanwhile.
        const long long cpu = nanoseconds(CLOCK_PROCESS_CPUTIME_ID);
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        QGuiApplication::sync(); // the window system has drawn what was flushed
        std::printf("painted %lld cpu %lld peak %ld rows %d sys_us %ld faults %ld\n", nanoseconds(CLOCK_MONOTONIC), cpu,
                    usage.ru_maxrss, rowsShown_ ? rowsShown_() : -1,
                    usage.ru_stime.tv_sec * 1000000L + usage.ru_stime.tv_usec, usage.ru_minflt);
        std::fflush(stdout);
        reporting_ = false;
        if (again_) {
            again_ = false;
            QTimer::singleShot(0, this, [this] { report(); });
        }
    }

    std::function<int()> rowsShown_;
    bool pending_ = false;
    bool reporting_ = false;
    bool again_ = false;
};

} // namespace

void reportPaintsWhenAsked(std::function<int()> rowsShown)
{
    if (qEnvironmentVariableIsEmpty("QUILLORY_REPORT_PAINTS"))
        return;
    auto* reporter = new PaintReporter(std::move(rowsShown));
    reporter->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(reporter);
}

} // namespace quillory
