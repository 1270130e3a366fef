#include "bench/shown_report.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

long peakResidentKiB()
{
    long kib = -1;
    if (FILE *status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status) != nullptr) {
            if (std::strncmp(line, "VmHWM:", 6) == 0)
                kib = std::strtol(line + 6, nullptr, 10);
        }
        std::fclose(status);
    }
    return kib;
}

class FirstShowReport : public QObject
{
public:
    explicit FirstShowReport(QWidget *window) : QObject(window), m_window(window) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched == m_window) {
            // The native window exists from here on; its first exposure is the first paint.
            m_window->removeEventFilter(this);
            m_window->windowHandle()->installEventFilter(this);
        } else if (event->type() == QEvent::Expose &&
                   static_cast<QWindow *>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            // Paint and flush the window first: the report is for the first frame on screen.
            QCoreApplication::sendEvent(watched, event);
            // steady_clock is CLOCK_MONOTONIC on Linux, the clock the benchmark starts from;
            // clock() is the process's CPU time. Both are portable, so the hook builds anywhere.
            const auto now = std::chrono::steady_clock::now().time_since_epoch();
            const long long cpuNs =
                static_cast<long long>(std::clock()) * (1'000'000'000LL / CLOCKS_PER_SEC);
            std::printf("shown %lld %ld %lld\n",
                        static_cast<long long>(
                            std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()),
                        peakResidentKiB(), cpuNs);
            std::fflush(stdout);
            QTimer::singleShot(0, m_window, &QWidget::close);
            return true;
        }
        return false;
    }

private:
    QWidget *m_window;
};

} // namespace

void reportFirstShow(QWidget *window)
{
    window->installEventFilter(new FirstShowReport(window));
}
