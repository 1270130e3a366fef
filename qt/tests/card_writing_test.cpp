#include "window/window_harness.h"

#include <optional>

namespace {

const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);

struct TagWords
{
    int word6;
    int word7;
};

} // namespace

Q_DECLARE_METATYPE(TagWords)

class CardWritingTest : public QObject
{
    Q_OBJECT

private:
    std::optional<WindowHarness> w;

    QLineEdit *currentNo() const { return w->field("txtCurrentNo"); }
    static TagWords tag() { return {SimPeekWord(1, 6), SimPeekWord(1, 7)}; }
    static int wordWrites() { return simCallsOf(SimWriteTagSingleWord); }

private slots:
    void init()
    {
        w.emplace();
        SimPokeWord(1, 6, 0x1111);
        SimPokeWord(1, 7, 0x2222);
    }
    void cleanup() { w.reset(); }

    void guardsWriteNothingAndSayNothing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("text");
        // clang-format off
        QTest::newRow("Write, empty field") << "cmdWriteCard" << "";
        QTest::newRow("Write Next No, empty field") << "cmdWriteNext" << "";
        QTest::newRow("Write Prev No, empty field") << "cmdWritePrev" << "";
        QTest::newRow("Write Next No at 99999") << "cmdWriteNext" << "99999";
        QTest::newRow("Write Prev No at 0") << "cmdWritePrev" << "0";
        // clang-format on
    }

    void guardsWriteNothingAndSayNothing()
    {
        QFETCH(QString, command);
        QFETCH(QString, text);
        w->connectReader();
        const QString status = w->status();
        currentNo()->setText(text);
        w->click(command.toLatin1().constData());
        QCOMPARE(wordWrites(), 0);
        QCOMPARE(currentNo()->text(), text);
        QCOMPARE(w->status(), status);
    }

    void wordsWritten_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<TagWords>("words");
        QTest::addColumn<QString>("cardNumber");
        // Before any change of the field the report still names the card written.
        // clang-format off
        QTest::newRow("Write at start") << "cmdWriteCard" << "" << "00000" << TagWords{0x0098, 0x9680} << "0010000000";
        QTest::newRow("Write 7") << "cmdWriteCard" << "7" << "7" << TagWords{0x0098, 0x9687} << "0010000007";
        QTest::newRow("Write 9999") << "cmdWriteCard" << "9999" << "9999" << TagWords{0x0098, 0xBD8F} << "0010009999";
        QTest::newRow("Write 12345 whole") << "cmdWriteCard" << "12345" << "12345" << TagWords{0x0098, 0xC6B9} << "0010012345";
        QTest::newRow("Next from 01001") << "cmdWriteNext" << "01001" << "1002" << TagWords{0x0098, 0x9680 + 1002} << "0010001002";
        QTest::newRow("Next to 27008, word 6 carries") << "cmdWriteNext" << "27007" << "27008" << TagWords{0x0099, 0x0000} << "0010027008";
        QTest::newRow("Next from 99998") << "cmdWriteNext" << "99998" << "99999" << TagWords{0x009A, 0x1D1F} << "0010099999";
        QTest::newRow("Prev from 1") << "cmdWritePrev" << "1" << "0" << TagWords{0x0098, 0x9680} << "0010000000";
        QTest::newRow("Prev from 10000") << "cmdWritePrev" << "10000" << "9999" << TagWords{0x0098, 0xBD8F} << "0010009999";
        // clang-format on
    }

    void wordsWritten()
    {
        QFETCH(QString, command);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(TagWords, words);
        QFETCH(QString, cardNumber);
        w->connectReader();
        if (!from.isEmpty())
            currentNo()->setText(from);
        w->click(command.toLatin1().constData());

        QCOMPARE(currentNo()->text(), to);
        QCOMPARE(tag().word6, words.word6);
        QCOMPARE(tag().word7, words.word7);
        QCOMPARE(w->status(), cardNumber + QStringLiteral(" >>>> Write Successfull!"));
        QCOMPARE(w->statusColour(), kGreen);
        if (from.isEmpty()) {
            QCOMPARE(w->button("cmdWriteCard")->text(), QStringLiteral("Write"));
            QCOMPARE(w->window->cardNumber(), QString());
        } else {
            QCOMPARE(w->window->cardNumber(), cardNumber);
        }
        for (const SimCall &call : simCalls()) {
            if (call.function == SimWriteTagSingleWord) {
                QCOMPARE(call.bank, 1);
                QCOMPARE(call.handle, w->window->readerHandle());
            }
        }
        QCOMPARE(wordWrites(), 2);
    }

    void successNeedsBothWords_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("writes");
        QTest::addColumn<TagWords>("words");
        // clang-format off
        QTest::newRow("word 6 fails: word 7 untouched") << "word6" << 1 << TagWords{0x1111, 0x2222};
        QTest::newRow("word 7 fails") << "word7" << 2 << TagWords{0x0098, 0x2222};
        QTest::newRow("card leaves half-written") << "leave" << 2 << TagWords{0x0098, 0x2222};
        QTest::newRow("no tag") << "notag" << 1 << TagWords{0x1111, 0x2222};
        QTest::newRow("no link") << "nolink" << 1 << TagWords{0x1111, 0x2222};
        // clang-format on
    }

    void successNeedsBothWords()
    {
        QFETCH(QString, fault);
        QFETCH(int, writes);
        QFETCH(TagWords, words);
        w->prepareReader(fault);
        currentNo()->setText(QStringLiteral("41"));
        w->click("cmdWriteNext");

        QCOMPARE(w->status(), QStringLiteral("0010000042 >>>> Write Error"));
        QCOMPARE(w->statusColour(), kRed);
        QCOMPARE(wordWrites(), writes);
        QCOMPARE(tag().word6, words.word6);
        QCOMPARE(tag().word7, words.word7);
        // The step stays made: Write retries the new number.
        QCOMPARE(currentNo()->text(), QStringLiteral("42"));
        SimFailWordAddress(-1);
        SimSetTagPresent(1);
        w->connectReader();
        w->click("cmdWriteCard");
        QCOMPARE(w->status(), QStringLiteral("0010000042 >>>> Write Successfull!"));
        QCOMPARE(tag().word7, 0x9680 + 42);
    }

    void statusColourStaysForLaterMessages()
    {
        QCOMPARE(w->statusColour(), w->window->palette().color(QPalette::Text));
        w->connectReader();
        w->click("cmdWriteCard");
        QCOMPARE(w->statusColour(), kGreen);
        w->click("Open");
        QCOMPARE(w->status(), QStringLiteral("Hardware Is Connected！"));
        QCOMPARE(w->statusColour(), kGreen);
        SimFailWordAddress(7);
        w->click("cmdWriteNext");
        QCOMPARE(w->statusColour(), kRed);
        w->click("cmdWrite"); // the panel's Write: its message keeps the colour
        QCOMPARE(w->status(), QStringLiteral("Write Error"));
        QCOMPARE(w->statusColour(), kRed);
        w->click("Close");
        QCOMPARE(w->status(), QStringLiteral("Disconnect Successfull！"));
        QCOMPARE(w->statusColour(), kRed);
    }

    void reportReplacesTheWholeStatusText()
    {
        auto *status = w->control<QPlainTextEdit>("opList");
        status->setPlainText(QStringLiteral("typed by the operator\nsecond line"));
        QTest::mouseClick(status->viewport(), Qt::LeftButton);
        QTest::keyClicks(status, QStringLiteral("more"));
        status->moveCursor(QTextCursor::End, QTextCursor::KeepAnchor);
        w->click("cmdWriteCard");
        QCOMPARE(w->status(), QStringLiteral("0010000000 >>>> Write Error"));
        // As a fresh text: nothing to undo, the cursor at the start, nothing selected.
        QCOMPARE(status->document()->blockCount(), 1);
        QVERIFY(!status->document()->isUndoAvailable());
        QVERIFY(!status->document()->isModified());
        QCOMPARE(status->textCursor().position(), 0);
        QVERIFY(!status->textCursor().hasSelection());
        w->connectReader();
        QCOMPARE(w->status(), QStringLiteral("Connect Successfull！"));
        QVERIFY(!status->document()->isUndoAvailable());
    }

    void missingWriteFunctionIsNamedInRed()
    {
        reader::ReaderLibrary partial({PARTIAL_LIBRARY, PARTIAL_LIBRARY});
        Form1 window(partial);
        window.findChild<QLineEdit *>("txtCurrentNo")->setText(QStringLiteral("5"));
        QTest::mouseClick(window.findChild<QPushButton *>("cmdWriteNext"), Qt::LeftButton);
        auto *status = window.findChild<QPlainTextEdit *>("opList");
        QCOMPARE(status->toPlainText(),
                 QStringLiteral("0010000006 >>>> Write Error. Reader library ") + PARTIAL_LIBRARY +
                     QStringLiteral(" has no function WriteTagSingleWord"));
        QCOMPARE(status->palette().color(QPalette::Text), kRed);
        QCOMPARE(SimCallCount(), 0);
    }
};

QTEST_MAIN(CardWritingTest)
#include "card_writing_test.moc"
