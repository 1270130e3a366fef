// A randomized operator: seeded random steps on the real window, through the real binding
// and the simulated reader, with faults put into the reader along the way. After every
// step the window's promises are checked against the reader's call log.
//
//   TAGWRIGHT_SEED      the seed (a fixed one by default, so that CI is repeatable)
//   TAGWRIGHT_STEPS     the step budget (default 15000)
//   TAGWRIGHT_SECONDS   the wall-clock cap (default 120)
//
// A failure names the seed, the step and what the step did; the same seed replays it.
#include "qt/tests/window_harness.h"
#include "window/tests/operator_promises.h"

#include <QClipboard>
#include <QElapsedTimer>

#include <functional>
#include <random>

namespace {

const QString kTyped = u"0123456789abcXYZ -+.,!１２\b~<^\t\r"_qs;

} // namespace

class RandomOperatorTest : public QObject
{
    Q_OBJECT

private:
    WindowHarness w;
    std::mt19937_64 m_random;
    int m_seenCalls = 0;
    // The status line's colour before the step; a card write alone may change it.
    QColor m_colourBefore;

    int pick(int n) { return static_cast<int>(m_random() % static_cast<uint64_t>(n)); }
    const char *pickOf(std::initializer_list<const char *> names)
    {
        return names.begin()[pick(static_cast<int>(names.size()))];
    }
    // Half the windows over a reader library that runs the window's events inside its calls,
    // as makers' libraries do while they wait for the reader: inside each call the operator
    // presses a button, which must start nothing.
    QString overPumpingReader()
    {
        const bool pumping = pick(2);
        SimSetCallHook(pumping ? &RandomOperatorTest::pressInsideACall : nullptr, this);
        return pumping ? u", pumping reader"_qs : QString();
    }
    static void pressInsideACall(void *self)
    {
        auto &test = *static_cast<RandomOperatorTest *>(self);
        test.w.click(
            test.pickOf({"cmdWriteCard", "cmdWriteNext", "cmdWritePrev", "cmdPlus", "cmdMinus",
                         "Open", "Close", "cmdRead", "cmdWrite", "cmdRegularizeCardNo"}));
    }
    QString randomText()
    {
        QString text;
        for (int length = pick(9); length > 0; --length)
            text += kTyped.at(pick(static_cast<int>(kTyped.size())));
        return text;
    }

    // Each step with its weight; each returns what it did.
    std::vector<std::pair<int, std::function<QString()>>> steps()
    {
        return {
            {30,
             [this] { // the mouse anywhere on a control, but Close: that ends the program
                 const auto &control = window::kControls[pick(window::kControlCount)];
                 if (control.id == window::ControlId::cmdClose)
                     return QString();
                 QWidget *widget = w.get(control.name.data());
                 const QPoint at(pick(widget->width()), pick(widget->height()));
                 QTest::mouseClick(widget, Qt::LeftButton, {}, at);
                 if (QWidget *popup = QApplication::activePopupWidget())
                     QTest::keyClick(popup, Qt::Key_Escape);
                 return QString::asprintf("click %s at %d,%d", control.name.data(), at.x(), at.y());
             }},
            {30,
             [this] { // typing, and "^" pastes
                 const char *name = pickOf({"txtCurrentNo", "txtCurrentNo", "txtNoStartAt", "txt1",
                                            "opList", "Combo1", "cboComPort"});
                 QWidget *focus = QApplication::focusWidget();
                 // Or one key on whatever has the focus, which presses one button at most.
                 const bool onFocus = focus != nullptr && pick(4) == 0;
                 QWidget *widget = onFocus ? focus : w.get(name);
                 if (!onFocus && pick(2))
                     QTest::mouseClick(widget, Qt::LeftButton);
                 widget->setFocus();
                 QApplication::clipboard()->setText(
                     pick(2) ? QString::number(m_random() % 10'000'000'000ULL) : randomText());
                 const QString text = onFocus   ? pickOf({"\t", " ", "\r"})
                                      : pick(3) ? randomText()
                                                : pickOf({"DUNE PARK\r", "Com9\r", "^", "99999"});
                 WindowHarness::type(widget, text);
                 return QStringLiteral("type \"%1\" into %2").arg(text, widget->objectName());
             }},
            {12,
             [this] { // a list entry chosen with the arrow keys or the mouse
                 auto *box = w.get<QComboBox>(pickOf({"Combo1", "Combo1", "cboComPort"}));
                 const int row = pick(box->count()), how = pick(3);
                 box->setFocus();
                 if (how == 2)
                     WindowHarness::clickListEntry(box, row);
                 else
                     QTest::keyClick(box, how == 0 ? Qt::Key_Up : Qt::Key_Down);
                 return QString::asprintf("%s in %s, row %d",
                                          how ? how == 1 ? "Down" : "mouse" : "Up",
                                          qPrintable(box->objectName()), row);
             }},
            {16,
             [this] { // faults of the reader and the tag, or a new window over a new reader
                 if (pick(15) == 0) {
                     w.window->close();
                     w.open();
                     m_seenCalls = 0;
                     m_colourBefore = w.statusColour();
                     return u"close the window, open a new one"_qs + overPumpingReader();
                 }
                 const int tag = pick(5) != 0, reader = pick(5) != 0;
                 const int failing = pick(3) ? -1 : 6 + pick(2);
                 SimSetTagPresent(tag);
                 SimSetReaderPresent(reader);
                 SimFailWordAddress(failing);
                 if (pick(4) == 0)
                     SimLeaveAfterNextWrite();
                 SimPokeWord(1, 6 + pick(2), pick(0x10000));
                 return QString::asprintf("tag %d, reader %d, failing word %d", tag, reader,
                                          failing);
             }},
        };
    }

    QString check()
    {
        const QString field = w.get<QLineEdit>("txtCurrentNo")->text();
        if (!w.window->isVisible() || QApplication::activeModalWidget() != nullptr ||
            QApplication::activePopupWidget() != nullptr || field.size() > 5 ||
            !window::isNumberText(field.toStdString()))
            return "the window is gone, a box or a list left open, or the field holds " + field;
        if (SimNestedCalls() > 0)
            return u"a call entered the reader library while another was inside"_qs;
        std::vector<SimCall> calls;
        for (SimCall call{}; m_seenCalls < SimCallCount(); ++m_seenCalls)
            calls.push_back((SimCallAt(m_seenCalls, &call), call));
        StatusColour colour{};
        std::string broken =
            brokenPromise(calls, field.toStdString(), w.status().toStdString(), colour);
        const QColor expected = colour == StatusColour::Green ? QColor(Qt::green)
                                : colour == StatusColour::Red ? QColor(Qt::red)
                                                              : m_colourBefore;
        if (broken.empty() && w.statusColour() != expected)
            broken = "coloured " + w.statusColour().name().toStdString();
        return QString::fromStdString(broken);
    }

private slots:
    void randomSteps()
    {
        const quint64 seed = qEnvironmentVariable("TAGWRIGHT_SEED", u"20240611"_qs).toULongLong();
        const int budget = qEnvironmentVariable("TAGWRIGHT_STEPS", u"15000"_qs).toInt();
        const int seconds = qEnvironmentVariable("TAGWRIGHT_SECONDS", u"120"_qs).toInt();
        qInfo("seed %llu", seed);
        // The offscreen platform says, for every list opened, what it cannot do with windows.
        static const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
                if (!message.startsWith(QLatin1String("This plugin does not support")))
                    previous(type, context, message);
            });
        m_random.seed(seed);
        overPumpingReader();
        const auto table = steps();
        // Weight i is the table's at i + 0.5, the middle of the i-th of table.size() intervals.
        std::discrete_distribution<std::size_t> choose(
            table.size(), 0, static_cast<double>(table.size()),
            [&table](double at) { return table[static_cast<std::size_t>(at)].first; });
        QElapsedTimer clock;
        clock.start();
        int step = 0;
        for (; step < budget && clock.elapsed() < seconds * 1000LL; ++step) {
            // Connect with no port chosen asks for one in a modal box: the operator says OK.
            WindowHarness::answerNextMessageBox();
            m_colourBefore = w.statusColour();
            const QString what = table[choose(m_random)].second();
            QCoreApplication::processEvents();
            if (const QString error = check(); !error.isEmpty())
                QFAIL(qPrintable(QString::asprintf("seed %llu, step %d (%s): %s", seed, step,
                                                   qPrintable(what), qPrintable(error))));
        }
        // The Close button last: it ends the event loop, of which none runs here, and must
        // neither call the reader nor touch the window.
        const int calls = SimCallCount();
        w.click("cmdClose");
        QVERIFY(w.window->isVisible());
        QCOMPARE(SimCallCount(), calls);
        qInfo("%d steps in %.1f s", step, static_cast<double>(clock.elapsed()) / 1000.0);
    }
};

QTEST_MAIN(RandomOperatorTest)
#include "random_operator_test.moc"
