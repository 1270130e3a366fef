#include "developer/developer_panel.h"
#include "window/window_harness.h"

#include <optional>

class DeveloperPanelTest : public QObject
{
    Q_OBJECT

private:
    std::optional<WindowHarness> w;

private slots:
    void init() { w.emplace(); }
    void cleanup() { w.reset(); }

    void readShowsFourHexDigitsPerWord_data()
    {
        QTest::addColumn<int>("word6");
        QTest::addColumn<int>("word7");
        QTest::addColumn<QString>("txt1");
        QTest::addColumn<QString>("txt2");
        // clang-format off
        QTest::newRow("a card") << 0x0098 << 0x9680 << "0098" << "9680";
        QTest::newRow("test value") << 0x000F << 0x4629 << "000F" << "4629";
        QTest::newRow("regularize value") << 0xEC88 << 0x851A << "EC88" << "851A";
        QTest::newRow("no two words alike") << 0x0A50 << 0xA500 << "0A50" << "A500";
        QTest::newRow("zeros") << 0x0000 << 0xFFFF << "0000" << "FFFF";
        // clang-format on
    }

    void readShowsFourHexDigitsPerWord()
    {
        QFETCH(int, word6);
        QFETCH(int, word7);
        QFETCH(QString, txt1);
        QFETCH(QString, txt2);
        w->connectReader();
        const QString status = w->status();
        SimPokeWord(1, 6, word6);
        SimPokeWord(1, 7, word7);
        w->click("cmdRead");
        QCOMPARE(w->field("txt1")->text(), txt1);
        QCOMPARE(w->field("txt2")->text(), txt2);
        QCOMPARE(w->status(), status); // Read reports nothing
        for (const SimCall &call : simCalls()) {
            if (call.function == SimReadTag) {
                QCOMPARE(call.bank, 1);
                QCOMPARE(call.count, 1);
            }
        }
    }

    void failedReadShowsZerosNotTheEarlierRead()
    {
        w->connectReader();
        SimPokeWord(1, 6, 0x1234);
        SimPokeWord(1, 7, 0x5678);
        w->click("cmdRead");
        QCOMPARE(w->field("txt1")->text(), QStringLiteral("1234"));
        SimSetTagPresent(0);
        w->click("cmdRead");
        QCOMPARE(w->field("txt1")->text(), QStringLiteral("0000"));
        QCOMPARE(w->field("txt2")->text(), QStringLiteral("0000"));
    }

    void fixedWrites_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("word6");
        QTest::addColumn<int>("word7");
        // clang-format off
        QTest::newRow("Write") << "cmdWrite" << "" << "Write Successfull!" << 0x000F << 0x4629;
        QTest::newRow("Regularize") << "cmdRegularizeCardNo" << "" << "Regularize Successfull!" << 0xEC88 << 0x851A;
        QTest::newRow("Write, word 6 fails") << "cmdWrite" << "word6" << "Write Error" << 0x1111 << 0x2222;
        QTest::newRow("Write, word 7 fails") << "cmdWrite" << "word7" << "Write Error" << 0x000F << 0x2222;
        QTest::newRow("Regularize, word 6 fails") << "cmdRegularizeCardNo" << "word6" << "Regularize Failed！" << 0x1111 << 0x2222;
        QTest::newRow("Regularize, half-written") << "cmdRegularizeCardNo" << "leave" << "Regularize Failed！" << 0xEC88 << 0x2222;
        QTest::newRow("Write, no link") << "cmdWrite" << "nolink" << "Write Error" << 0x1111 << 0x2222;
        QTest::newRow("Regularize, no link") << "cmdRegularizeCardNo" << "nolink" << "Regularize Failed！" << 0x1111 << 0x2222;
        // clang-format on
    }

    void fixedWrites()
    {
        QFETCH(QString, button);
        QFETCH(QString, fault);
        QFETCH(QString, status);
        QFETCH(int, word6);
        QFETCH(int, word7);
        SimPokeWord(1, 6, 0x1111);
        SimPokeWord(1, 7, 0x2222);
        w->prepareReader(fault);
        const QColor colour = w->statusColour();
        w->click(button.toLatin1().constData());
        QCOMPARE(w->status(), status);
        QCOMPARE(SimPeekWord(1, 6), word6);
        QCOMPARE(SimPeekWord(1, 7), word7);
        QCOMPARE(w->statusColour(), colour);
        // The panel reads back what it wrote.
        if (fault.isEmpty()) {
            w->click("cmdRead");
            QCOMPARE(w->field("txt1")->text(),
                     wordHex(numbering::Word::fromValue(static_cast<uint16_t>(word6))));
            QCOMPARE(w->field("txt2")->text(),
                     wordHex(numbering::Word::fromValue(static_cast<uint16_t>(word7))));
        }
    }

    void lastCardWrittenReadsBack()
    {
        w->connectReader();
        w->field("txtCurrentNo")->setText(QStringLiteral("12344"));
        for (int card = 0; card < 10; ++card)
            w->click("cmdWriteNext");
        QCOMPARE(w->status(), QStringLiteral("0010012354 >>>> Write Successfull!"));
        w->click("cmdRead");
        // 10,012,354 = 0x0098C6C2
        QCOMPARE(w->field("txt1")->text(), QStringLiteral("0098"));
        QCOMPARE(w->field("txt2")->text(), QStringLiteral("C6C2"));
    }

    void missingReadFunctionIsNamed()
    {
        reader::ReaderLibrary missing({"libepcsdk-missing.so", "libepcsdk-missing.so"});
        Form1 window(missing);
        QTest::mouseClick(window.findChild<QPushButton *>("cmdRead"), Qt::LeftButton);
        QCOMPARE(
            window.findChild<QPlainTextEdit *>("opList")->toPlainText(),
            QStringLiteral("Reader library libepcsdk-missing.so not found: cannot call ReadTag"));
        QCOMPARE(window.findChild<QLineEdit *>("txt1")->text(), QString());
        QTest::mouseClick(window.findChild<QPushButton *>("cmdRegularizeCardNo"), Qt::LeftButton);
        QCOMPARE(
            window.findChild<QPlainTextEdit *>("opList")->toPlainText(),
            QStringLiteral(
                "Reader library libepcsdk-missing.so not found: cannot call WriteTagSingleWord"));
    }
};

QTEST_MAIN(DeveloperPanelTest)
#include "developer_panel_test.moc"
