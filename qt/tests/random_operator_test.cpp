// A randomized operator: thousands of seeded random steps on the real window, through the
// real binding and the simulated reader, with faults put into the reader along the way.
// After every step the window's promises are checked against the reader's call log.
//
//   TAGWRIGHT_SEED      the seed (a fixed one by default, so that CI is repeatable)
//   TAGWRIGHT_STEPS     the step budget (default 15000)
//   TAGWRIGHT_SECONDS   the wall-clock cap (default 120)
//   TAGWRIGHT_TRACE=1   print every step as it is taken
//
// A failure names the seed, the step and what the step did; the same seed replays it.
#include "numbering/encoding.h"
#include "window/list_combo_box.h"
#include "window/window_harness.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QTextBlock>

#include <cstdint>
#include <optional>
#include <random>

#if defined(Q_OS_UNIX)
#include <csignal>
#include <unistd.h>
#endif

namespace {

constexpr quint64 kDefaultSeed = 20240611;
const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);

// Every value a card write may put into word 6: card values are 10,000,000 to 10,099,999.
constexpr int kLowestCardHighWord = 0x0098;
constexpr int kHighestCardHighWord = 0x009A;

const char *const kButtons[] = {
    "Open",    "Close",    "cmdWritePrev", "cmdWriteCard", "cmdWriteNext",
    "cmdPlus", "cmdMinus", "cmdRead",      "cmdWrite",     "cmdRegularizeCardNo"};
// Every control of the window but the Close button, which ends the program (the last step).
const char *const kControls[] = {"cboComPort",
                                 "Close",
                                 "Open",
                                 "txtCurrentNo",
                                 "cmdWritePrev",
                                 "cmdWriteCard",
                                 "cmdWriteNext",
                                 "opList",
                                 "Combo1",
                                 "txtNoStartAt",
                                 "Label1",
                                 "Label2",
                                 "Frame1",
                                 "cmdRegularizeCardNo",
                                 "cmdRead",
                                 "cmdWrite",
                                 "txt2",
                                 "txt1",
                                 "txtCurrentNoFront",
                                 "cmdMinus",
                                 "cmdPlus"};
const char *const kFields[] = {"txtCurrentNo", "txtNoStartAt", "txt1", "txt2"};

QString tenDigits(uint32_t value)
{
    return QStringLiteral("%1").arg(value, 10, 10, QLatin1Char('0'));
}

bool allDigits(const QString &text)
{
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

// Types text as key presses; characters that QTest has no key for (full-width digits)
// arrive as key events that carry only their text, as an input method sends them.
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('\n'))
            QTest::keyClick(widget, Qt::Key_Return);
        else if (c == QLatin1Char('\t'))
            QTest::keyClick(widget, Qt::Key_Tab);
        else if (c.unicode() < 0x7F)
            QTest::keyClicks(widget, QString(c));
        else {
            QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
        }
    }
}

// The offscreen platform says, for every popup, what it cannot do with windows.
QtMessageHandler previousHandler = nullptr;
void quietPlatform(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!message.startsWith(QLatin1String("This plugin does not support")))
        previousHandler(type, context, message);
}

// A crash ends the run without a failure message: the fatal-signal handler names the seed and
// the step first, then hands over to QTest's own handler (which prints the stack).
quint64 runningSeed = 0;
volatile std::sig_atomic_t runningStep = -1;

#if defined(Q_OS_UNIX)
struct sigaction previousActions[NSIG];

void appendNumber(char *&out, unsigned long long number)
{
    char digits[24];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0);
    while (count > 0)
        *out++ = digits[--count];
}

void onFatalSignal(int signal)
{
    char line[160];
    char *out = line;
    const auto append = [&out](const char *text) {
        while (*text != 0)
            *out++ = *text++;
    };
    append("random operator crashed: seed ");
    appendNumber(out, runningSeed);
    append(", step ");
    appendNumber(out, static_cast<unsigned long long>(runningStep));
    append(" (replay with TAGWRIGHT_SEED, TAGWRIGHT_STEPS one more, TAGWRIGHT_TRACE=1)\n");
    if (write(STDERR_FILENO, line, static_cast<std::size_t>(out - line)) < 0) {
        // nothing more can be done about a lost message here
    }
    sigaction(signal, &previousActions[signal], nullptr);
    raise(signal);
}

void nameTheStepOnCrash()
{
    for (const int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) {
        struct sigaction action = {};
        action.sa_handler = onFatalSignal;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, &previousActions[signal]);
    }
}
#else
void nameTheStepOnCrash() {}
#endif

} // namespace

class RandomOperatorTest : public QObject
{
    Q_OBJECT

private:
    std::optional<WindowHarness> w;
    std::mt19937_64 m_random;
    quint64 m_seed = kDefaultSeed;
    int m_seenCalls = 0;
    bool m_trace = false;
    // What the run covered, for its closing line.
    int m_green = 0, m_red = 0, m_panelWrites = 0, m_connects = 0, m_questions = 0;

    int pick(int n) { return static_cast<int>(m_random() % static_cast<uint64_t>(n)); }
    bool chance(int percent) { return pick(100) < percent; }
    template <typename T, std::size_t N> T pickFrom(T (&items)[N])
    {
        return items[pick(static_cast<int>(N))];
    }

    QLineEdit *currentNo() const { return w->field("txtCurrentNo"); }
    ListComboBox *combo(const char *name) const { return w->control<ListComboBox>(name); }

    // --- Random inputs ------------------------------------------------------------------

    QString randomText()
    {
        static const QString kinds[] = {
            QStringLiteral("0123456789"), QStringLiteral("abcXYZ"), QStringLiteral(" -+.,"),
            QStringLiteral("１２３"),     QStringLiteral("\n\t"),   QStringLiteral("0123456789!")};
        QString text;
        const int length = pick(9);
        for (int i = 0; i < length; ++i) {
            const QString &kind = kinds[pick(6)];
            text += kind.at(pick(static_cast<int>(kind.size())));
        }
        return text;
    }

    QString clipboardText()
    {
        switch (pick(8)) {
        case 7: {
            // The edges of the range, where stepping must stop.
            static const char *const edges[] = {"99999", "99998", "0", "00000", "1", "09999"};
            return QLatin1String(pickFrom(edges));
        }
        case 0:
            return QString::number(pick(100000));
        case 1:
            return QString::number(m_random() % 10'000'000'000ULL); // too long: cut at five
        case 2:
            return QString();
        case 3:
            return QStringLiteral("-") + QString::number(pick(100));
        case 4:
            return QString::number(pick(1000)) + QStringLiteral("\n") + QString::number(pick(9));
        case 5:
            return QStringLiteral("０") + QString::number(pick(10));
        default:
            return randomText();
        }
    }

    // --- Steps --------------------------------------------------------------------------

    QString clickButton()
    {
        const char *name = pickFrom(kButtons);
        w->click(name);
        return QStringLiteral("click %1").arg(QLatin1String(name));
    }

    QString clickAnyControl()
    {
        // The mouse anywhere on a control: a combo box may open its list, which the operator
        // then closes with Escape.
        const char *name = pickFrom(kControls);
        auto *control = w->control<QWidget>(name);
        const QPoint at(pick(control->width()), pick(control->height()));
        QTest::mouseClick(control, Qt::LeftButton, {}, at);
        if (QWidget *popup = QApplication::activePopupWidget())
            QTest::keyClick(popup, Qt::Key_Escape);
        return QStringLiteral("click %1 at %2,%3").arg(QLatin1String(name)).arg(at.x()).arg(at.y());
    }

    QString typeIntoField()
    {
        const char *name = chance(60) ? "txtCurrentNo" : pickFrom(kFields);
        QLineEdit *field = w->field(name);
        if (chance(50))
            QTest::mouseClick(field, Qt::LeftButton);
        else
            field->setFocus();
        QString typed;
        const int keys = 1 + pick(6);
        for (int i = 0; i < keys; ++i) {
            switch (pick(8)) {
            case 0:
                QTest::keyClick(field, Qt::Key_Backspace);
                typed += QStringLiteral("<BS>");
                break;
            case 1:
                QTest::keyClick(field, Qt::Key_Delete);
                typed += QStringLiteral("<Del>");
                break;
            case 2: {
                static const Qt::Key moves[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Home,
                                                Qt::Key_End};
                QTest::keyClick(field, pickFrom(moves),
                                chance(30) ? Qt::ShiftModifier : Qt::NoModifier);
                typed += QStringLiteral("<move>");
                break;
            }
            case 3:
                QTest::keySequence(field, QKeySequence::SelectAll);
                typed += QStringLiteral("<all>");
                break;
            default: {
                const QString text = randomText().left(2);
                typeText(field, text);
                typed += text;
            }
            }
        }
        return QStringLiteral("type into %1: %2").arg(QLatin1String(name), typed);
    }

    QString paste()
    {
        const QString text = clipboardText();
        QApplication::clipboard()->setText(text);
        QWidget *target = nullptr;
        QString where;
        switch (pick(4)) {
        case 0:
            target = w->control<QPlainTextEdit>("opList");
            where = QStringLiteral("status line");
            break;
        case 1:
            target = combo(chance(50) ? "Combo1" : "cboComPort")->lineEdit();
            where = QStringLiteral("combo box");
            break;
        default:
            target = currentNo();
            where = QStringLiteral("txtCurrentNo");
            if (chance(50))
                QTest::mouseClick(target, Qt::LeftButton);
        }
        target->setFocus();
        QTest::keySequence(target, QKeySequence::Paste);
        return QStringLiteral("paste \"%1\" into %2").arg(text, where);
    }

    QString chooseFromList()
    {
        const bool site = chance(70);
        ListComboBox *box = combo(site ? "Combo1" : "cboComPort");
        const int row = pick(box->count());
        if (chance(50)) {
            if (!WindowHarness::clickListEntry(box, row))
                return QStringLiteral("list of %1 never showed or closed").arg(box->objectName());
            return QStringLiteral("choose row %1 of %2 from its list")
                .arg(row)
                .arg(box->objectName());
        }
        box->setFocus();
        const Qt::Key key = chance(50) ? Qt::Key_Down : Qt::Key_Up;
        const int presses = 1 + pick(3);
        for (int i = 0; i < presses; ++i)
            QTest::keyClick(box, key);
        return QStringLiteral("press %1 x%2 in %3")
            .arg(key == Qt::Key_Down ? QStringLiteral("Down") : QStringLiteral("Up"))
            .arg(presses)
            .arg(box->objectName());
    }

    QString typeIntoCombo()
    {
        ListComboBox *box = combo(chance(60) ? "Combo1" : "cboComPort");
        box->setFocus();
        if (chance(50))
            box->lineEdit()->selectAll();
        static const QString names[] = {QStringLiteral("DUNE PARK"),
                                        QStringLiteral("CEDAR LAGOONS"), QStringLiteral("Com9")};
        const QString text = chance(50) ? names[pick(3)] : randomText();
        typeText(box, text);
        if (chance(50))
            QTest::keyClick(box, Qt::Key_Return);
        if (chance(50))
            currentNo()->setFocus(); // leaving the box
        return QStringLiteral("type \"%1\" into %2").arg(text, box->objectName());
    }

    QString pressKeys()
    {
        // Keys on whatever has the focus: Tab moves it, Space and Return press a button.
        static const Qt::Key keys[] = {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Space, Qt::Key_Return};
        QWidget *focus = QApplication::focusWidget();
        if (focus == nullptr)
            return QStringLiteral("no focus");
        const Qt::Key key = pickFrom(keys);
        QTest::keyClick(focus, key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        return QStringLiteral("key %1 on %2").arg(int(key), 0, 16).arg(focus->objectName());
    }

    QString typeIntoStatus()
    {
        auto *status = w->control<QPlainTextEdit>("opList");
        QTest::mouseClick(status->viewport(), Qt::LeftButton);
        const QString text = randomText();
        typeText(status, text);
        if (chance(30))
            QTest::keySequence(status, QKeySequence::Undo);
        return QStringLiteral("type \"%1\" into the status line").arg(text);
    }

    QString connectReader()
    {
        // As an operator does: a port from the list with the keyboard, then Connect.
        ListComboBox *ports = combo("cboComPort");
        if (ports->currentIndex() == -1 && chance(80)) {
            ports->setFocus();
            QTest::keyClick(ports, Qt::Key_Down);
        }
        w->click("Open");
        return QStringLiteral("connect on %1").arg(ports->currentText());
    }

    QString reopenWindow()
    {
        w->window->close();
        w->window = std::make_unique<Form1>(w->library);
        w->window->show();
        w->window->activateWindow();
        if (!QTest::qWaitForWindowActive(w->window.get()))
            return QStringLiteral("reopened window never became active");
        return QStringLiteral("close the window and open a new one");
    }

    QString injectFault()
    {
        switch (pick(8)) {
        case 6:
        case 7:
            SimSetReaderPresent(1);
            SimSetTagPresent(1);
            SimFailWordAddress(-1);
            return QStringLiteral("reader and tag back to normal");
        case 0: {
            const int present = pick(5) != 0;
            SimSetTagPresent(present);
            return QStringLiteral("tag present %1").arg(present);
        }
        case 1: {
            static const int words[] = {-1, -1, -1, -1, 6, 7};
            const int word = pickFrom(words);
            SimFailWordAddress(word);
            return QStringLiteral("fail word %1").arg(word);
        }
        case 2:
            SimLeaveAfterNextWrite();
            return QStringLiteral("tag leaves after the next write");
        case 3: {
            const int present = pick(5) != 0;
            SimSetReaderPresent(present);
            return QStringLiteral("reader present %1").arg(present);
        }
        default: {
            const int word = 6 + pick(2);
            const int value = pick(0x10000);
            SimPokeWord(1, word, value);
            return QStringLiteral("poke word %1 = %2").arg(word).arg(value, 4, 16);
        }
        }
    }

    QString randomStep()
    {
        const int roll = pick(100);
        if (roll < 5)
            return connectReader();
        if (roll < 25)
            return clickButton();
        if (roll < 30)
            return clickAnyControl();
        if (roll < 45)
            return typeIntoField();
        if (roll < 55)
            return paste();
        if (roll < 65)
            return chooseFromList();
        if (roll < 71)
            return typeIntoCombo();
        if (roll < 79)
            return pressKeys();
        if (roll < 83)
            return typeIntoStatus();
        if (roll < 84)
            return reopenWindow();
        return injectFault();
    }

    // --- Checks -------------------------------------------------------------------------

    // The calls the library received during the step; an error when the log lost some.
    QString newCalls(std::vector<SimCall> &calls)
    {
        const int total = SimCallCount();
        if (total - m_seenCalls > SimCallLogSize())
            return QStringLiteral("%1 calls in one step overflowed the call log")
                .arg(total - m_seenCalls);
        for (int i = m_seenCalls; i < total; ++i) {
            SimCall call{};
            if (SimCallAt(i, &call) == 0)
                return QStringLiteral("call %1 missing from the log").arg(i);
            calls.push_back(call);
        }
        m_seenCalls = total;
        return {};
    }

    static QString callsAreInBounds(const std::vector<SimCall> &calls)
    {
        for (const SimCall &call : calls) {
            if (call.function == SimOpenComm && call.handle != reader::kReaderPort)
                return QStringLiteral("OpenComm on port %1").arg(call.handle);
            const bool tagCall =
                call.function == SimReadTag || call.function == SimWriteTagSingleWord;
            if (tagCall && call.bank != 1)
                return QStringLiteral("tag call on bank %1").arg(call.bank);
            if (tagCall && call.word != 6 && call.word != 7)
                return QStringLiteral("tag call on word %1").arg(call.word);
            if (call.function == SimReadTag && call.count != 1)
                return QStringLiteral("ReadTag of %1 words").arg(call.count);
        }
        return {};
    }

    // A card write is a write of word 6 followed, when that succeeded, by one of word 7.
    struct CardWrite
    {
        uint32_t high = 0;
        std::optional<uint32_t> low; // when word 7 was tried
        bool written = false;
    };

    static QString cardWrites(const std::vector<SimCall> &calls, std::vector<CardWrite> &writes)
    {
        for (std::size_t i = 0; i < calls.size(); ++i) {
            const SimCall &call = calls[i];
            if (call.function != SimWriteTagSingleWord)
                continue;
            if (call.word != 6)
                return QStringLiteral("word 7 written without word 6 before it");
            CardWrite write;
            write.high = static_cast<uint32_t>(call.high) << 8 | static_cast<uint32_t>(call.low);
            if (call.result == 1) {
                if (i + 1 >= calls.size() || calls[i + 1].function != SimWriteTagSingleWord ||
                    calls[i + 1].word != 7)
                    return QStringLiteral("word 6 written but word 7 never tried");
                const SimCall &low = calls[++i];
                write.low = static_cast<uint32_t>(low.high) << 8 | static_cast<uint32_t>(low.low);
                write.written = low.result == 1;
            }
            writes.push_back(write);
        }
        return {};
    }

    QString checkCardWrite(const CardWrite &write, const QColor &colourBefore)
    {
        auto *status = w->control<QPlainTextEdit>("opList");
        const QString text = status->toPlainText();
        if (status->document()->blockCount() != 1 || text.contains(QLatin1Char('\n')))
            return QStringLiteral("report is not one line: \"%1\"").arg(text);
        const bool cardValue =
            write.high >= kLowestCardHighWord && write.high <= kHighestCardHighWord;
        if (!cardValue) {
            // The developer panel's fixed patterns: its report keeps the line's colour.
            const bool good = text == QLatin1String("Write Successfull!") ||
                              text == QLatin1String("Regularize Successfull!");
            if (good != write.written)
                return QStringLiteral("panel report \"%1\" for a write that %2")
                    .arg(text,
                         write.written ? QStringLiteral("succeeded") : QStringLiteral("failed"));
            if (w->statusColour() != colourBefore)
                return QStringLiteral("panel report changed the line's colour");
            ++m_panelWrites;
            return {};
        }
        // A card command writes the number the field holds after it (Write Next No and
        // Write Prev No step first), and its report names that number.
        const QString field = currentNo()->text();
        if (field.isEmpty())
            return QStringLiteral("a card was written from an empty field");
        const uint32_t value = numbering::cardValue(field.toInt());
        const QString number = tenDigits(value);
        if (write.high != value >> 16 || (write.low && *write.low != (value & 0xFFFF)))
            return QStringLiteral("words written are not those of card %1").arg(number);
        const QColor expected = write.written ? kGreen : kRed;
        if (w->statusColour() != expected)
            return QStringLiteral("report \"%1\" in %2, expected %3")
                .arg(text, w->statusColour().name(), expected.name());
        const QString suffix = write.written ? QStringLiteral(" >>>> Write Successfull!")
                                             : QStringLiteral(" >>>> Write Error");
        if (text != number + suffix)
            return QStringLiteral("report \"%1\" for card %2").arg(text, number);
        ++(write.written ? m_green : m_red);
        if (write.written) {
            const auto tag = static_cast<uint32_t>(SimPeekWord(1, 6)) << 16 |
                             static_cast<uint32_t>(SimPeekWord(1, 7));
            if (tenDigits(tag) != number)
                return QStringLiteral("green report %1 but the tag holds %2")
                    .arg(number, tenDigits(tag));
        }
        return {};
    }

    QString checkConnect(const std::vector<SimCall> &calls, const QString &statusBefore,
                         bool askedForPort)
    {
        int opens = 0;
        for (const SimCall &call : calls) {
            if (call.function != SimOpenComm)
                continue;
            ++opens;
            ++m_connects;
            const QString expected = call.result != -1 ? QStringLiteral("Connect Successfull！")
                                                       : QStringLiteral("Connection Failed！");
            if (w->status() != expected)
                return QStringLiteral("OpenComm gave %1 but the status says \"%2\"")
                    .arg(call.result)
                    .arg(w->status());
        }
        if (askedForPort && (opens != 0 || w->status() != statusBefore))
            return QStringLiteral("the port question did more than ask");
        m_questions += askedForPort;
        return {};
    }

    QString checkAfterStep(const QString &statusBefore, const QColor &colourBefore,
                           bool askedForPort)
    {
        if (!w->window || !w->window->isVisible())
            return QStringLiteral("the window is gone");
        if (QApplication::activeModalWidget() != nullptr ||
            QApplication::activePopupWidget() != nullptr)
            return QStringLiteral("a modal window or a popup is still open");
        const QString field = currentNo()->text();
        if (field.size() > 5 || !allDigits(field))
            return QStringLiteral("current-number field holds \"%1\"").arg(field);

        std::vector<SimCall> calls;
        QString error = newCalls(calls);
        if (error.isEmpty())
            error = callsAreInBounds(calls);
        std::vector<CardWrite> writes;
        if (error.isEmpty())
            error = cardWrites(calls, writes);
        if (!error.isEmpty())
            return error;
        if (writes.size() > 1)
            return QStringLiteral("%1 card writes in one step").arg(writes.size());
        if (writes.size() == 1)
            return checkCardWrite(writes.front(), colourBefore);
        return checkConnect(calls, statusBefore, askedForPort);
    }

private slots:
    void initTestCase()
    {
        bool ok = false;
        const quint64 seed = qEnvironmentVariable("TAGWRIGHT_SEED").toULongLong(&ok);
        m_seed = ok ? seed : kDefaultSeed;
        m_random.seed(m_seed);
        m_trace = qEnvironmentVariableIntValue("TAGWRIGHT_TRACE") == 1;
        qInfo("seed %llu", static_cast<unsigned long long>(m_seed));
        previousHandler = qInstallMessageHandler(quietPlatform);
        runningSeed = m_seed;
        nameTheStepOnCrash();
    }

    void cleanupTestCase() { qInstallMessageHandler(previousHandler); }

    void randomSteps()
    {
        bool ok = false;
        int budget = qEnvironmentVariableIntValue("TAGWRIGHT_STEPS", &ok);
        if (!ok)
            budget = 15000;
        int seconds = qEnvironmentVariableIntValue("TAGWRIGHT_SECONDS", &ok);
        if (!ok)
            seconds = 120;

        w.emplace();
        m_seenCalls = SimCallCount();
        QElapsedTimer clock;
        clock.start();
        int step = 0;
        for (; step < budget && clock.elapsed() < seconds * 1000LL; ++step) {
            // A Connect with no port chosen asks for one in a modal message box.
            std::shared_ptr<WindowHarness::MessageBoxSeen> question;
            if (combo("cboComPort")->currentIndex() == -1)
                question = WindowHarness::answerNextMessageBox();
            const QString statusBefore = w->status();
            const QColor colourBefore = w->statusColour();
            runningStep = step;
            const QString what = randomStep();
            if (m_trace)
                qInfo("step %d: %s", step, qPrintable(what));
            // What the step left pending (repaints, an unanswered question's timer) runs now.
            QCoreApplication::processEvents();
            const QString error =
                checkAfterStep(statusBefore, colourBefore, question && question->shown);
            if (!error.isEmpty()) {
                QFAIL(qPrintable(QStringLiteral("seed %1, step %2 (%3): %4")
                                     .arg(m_seed)
                                     .arg(step)
                                     .arg(what, error)));
            }
        }
        // The Close button last: it ends the event loop, of which none runs here, and must
        // neither call the reader nor touch the window.
        const int calls = SimCallCount();
        const QString status = w->status();
        w->click("cmdClose");
        QVERIFY(w->window->isVisible());
        QCOMPARE(SimCallCount(), calls);
        QCOMPARE(w->status(), status);
        qInfo("seed %llu: %d steps in %.1f s; cards written %d, failed %d; panel writes %d; "
              "OpenComm %d; port questions %d",
              static_cast<unsigned long long>(m_seed), step,
              static_cast<double>(clock.elapsed()) / 1000.0, m_green, m_red, m_panelWrites,
              m_connects, m_questions);
        w.reset();
    }
};

QTEST_MAIN(RandomOperatorTest)
#include "random_operator_test.moc"
