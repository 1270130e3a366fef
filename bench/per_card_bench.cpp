// The program's own cost of one Write Next No click: from the button's click() to the
// report on the status line, with the simulated reader behind the real binding. Each click
// is timed on its own; the events it leaves pending (the repaint) are handled between
// clicks, untimed for per_card_us and timed as well for per_card_with_paint_us.
//
//   per_card_bench [CARDS]     (default 20000; the platform is offscreen unless set)
#include "qt/form1_window.h"
#include "reader/reader_library.h"
#include "simreader/sim_control.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

template <typename Control> Control *control(const QWidget &window, const char *name)
{
    auto *found = window.findChild<Control *>(QLatin1String(name));
    if (found == nullptr) {
        std::fprintf(stderr, "per_card_bench: the window has no control %s\n", name);
        std::exit(1);
    }
    return found;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const int cards = argc > 1 ? std::atoi(argv[1]) : 20000;
    QApplication app(argc, argv);
    SimReset();
    reader::ReaderLibrary library;
    Form1Window window(library);
    window.show();
    control<QComboBox>(window, "cboComPort")->setCurrentIndex(0);
    control<QPushButton>(window, "Open")->click();
    QLineEdit *current = control<QLineEdit>(window, "txtCurrentNo");
    QPushButton *next = control<QPushButton>(window, "cmdWriteNext");
    QPlainTextEdit *status = control<QPlainTextEdit>(window, "opList");
    current->setText(QStringLiteral("0"));
    QCoreApplication::processEvents();

    using Clock = std::chrono::steady_clock;
    std::vector<double> clickUs, withPaintUs;
    clickUs.reserve(static_cast<std::size_t>(cards));
    withPaintUs.reserve(static_cast<std::size_t>(cards));
    for (int card = 0; card < cards; ++card) {
        if (current->text() == QLatin1String("99999"))
            current->setText(QStringLiteral("0"));
        const auto start = Clock::now();
        next->click();
        const auto reported = Clock::now();
        QCoreApplication::processEvents();
        const auto painted = Clock::now();
        clickUs.push_back(std::chrono::duration<double, std::micro>(reported - start).count());
        withPaintUs.push_back(std::chrono::duration<double, std::micro>(painted - start).count());

        // Every card must really have been written, or the figure means nothing.
        const uint32_t value = static_cast<uint32_t>(SimPeekWord(1, 6)) << 16 |
                               static_cast<uint32_t>(SimPeekWord(1, 7));
        const QString expected =
            QStringLiteral("%1 >>>> Write Successfull!").arg(value, 10, 10, QLatin1Char('0'));
        if (status->toPlainText() != expected ||
            status->palette().color(QPalette::Text) != QColor(0, 255, 0)) {
            std::fprintf(stderr, "per_card_bench: card %d was not written: %s\n", card,
                         qPrintable(status->toPlainText()));
            return 1;
        }
    }
    std::printf("per_card_us %.2f us\n", median(clickUs));
    std::printf("per_card_p90_us %.2f us\n", percentile(clickUs, 0.9));
    std::printf("per_card_with_paint_us %.2f us\n", median(withPaintUs));
    return 0;
}
