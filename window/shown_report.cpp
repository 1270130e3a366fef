#include "window/shown_report.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

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
            timespec now{}, cpu{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
            std::printf("shown %lld %ld %lld\n", now.tv_sec * 1'000'000'000LL + now.tv_nsec,
                        peakResidentKiB(), cpu.tv_sec * 1'000'000'000LL + cpu.tv_nsec);
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

void reportFirstShowIfAsked(QWidget *window)
{
    if (qEnvironmentVariableIntValue("TAGWRIGHT_REPORT_SHOWN") == 1)
        window->installEventFilter(new FirstShowReport(window));
}
