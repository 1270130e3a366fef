// What the Qt window itself can get wrong: how keys, pastes, clicks, list choices, Tab and
// Return, the close box and the Close button reach the handlers, and how the Write caption,
// the port question and the status line's full-width mark look. The rules behind them are tested
// with the handlers; the status line's colour after every step, by the randomized operator.
#include "qt/tests/window_harness.h"

#include <QClipboard>
#include <QTextCursor>

#include <cstdlib>

#include <optional>

class Form1WindowTest : public QObject
{
    Q_OBJECT

private:
    std::optional<WindowHarness> w;

    QLineEdit *currentNo() const { return w->get<QLineEdit>("txtCurrentNo"); }

private slots:
    void init() { w.emplace(); }

    void typingAndPastingAfterAClick_data()
    {
        QTest::addColumn<QString>("typed"); // "^" pastes the clipboard
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("text");
        QTest::newRow("a digit replaces the whole number") << u"5"_qs << QString() << u"5"_qs;
        QTest::newRow("letters, signs, blanks discarded")
            << u"a1 -2+.b"_qs << QString() << u"12"_qs;
        QTest::newRow("full-width digits discarded") << u"１2"_qs << QString() << u"2"_qs;
        QTest::newRow("Backspace discarded") << u"12\b"_qs << QString() << u"12"_qs;
        QTest::newRow("Delete and arrows not filtered") << u"123<<~"_qs << QString() << u"13"_qs;
        QTest::newRow("digits pasted") << u"^"_qs << u"42"_qs << u"42"_qs;
        QTest::newRow("a letter refuses a paste") << u"^"_qs << u"12a"_qs << u"00000"_qs;
        QTest::newRow("a sign") << u"^"_qs << u"-5"_qs << u"00000"_qs;
        QTest::newRow("full-width digits") << u"^"_qs << u"１２"_qs << u"00000"_qs;
        QTest::newRow("a line break") << u"^"_qs << u"1\n2"_qs << u"00000"_qs;
        // The field's length limit cuts nothing: what does not fit is refused whole.
        QTest::newRow("a sixth digit discarded") << u"123456"_qs << QString() << u"12345"_qs;
        QTest::newRow("five digits pasted over five") << u"^"_qs << u"12345"_qs << u"12345"_qs;
        QTest::newRow("a card number") << u"^"_qs << u"0010012345"_qs << u"00000"_qs;
        QTest::newRow("digits dropped") << u"12%"_qs << u"345"_qs << u"12345"_qs;
        QTest::newRow("too many dropped") << u"12%"_qs << u"3456"_qs << u"12"_qs;
    }

    void typingAndPastingAfterAClick()
    {
        QFETCH(QString, typed);
        QFETCH(QString, clipboard);
        QFETCH(QString, text);
        QApplication::clipboard()->setText(clipboard);
        QTest::mouseClick(currentNo(), Qt::LeftButton);
        QCOMPARE(currentNo()->selectedText(), QStringLiteral("00000"));
        WindowHarness::type(currentNo(), typed);
        QCOMPARE(currentNo()->text(), text);
        // Every change reached the handlers.
        if (text != u"00000")
            QCOMPARE(w->get<QPushButton>("cmdWriteCard")->text(),
                     "Write \r\n00100" + text.rightJustified(5, u'0') + "\r\n To Card");
    }

    void comboBoxesTakeOnlyWhatIsChosenFromTheList()
    {
        auto *sites = w->get<QComboBox>("Combo1");
        auto *ports = w->get<QComboBox>("cboComPort");
        for (auto [box, typed] : {std::pair{sites, "DUNE PARK"}, std::pair{ports, "Com9"}}) {
            box->setFocus();
            box->lineEdit()->selectAll();
            WindowHarness::type(box, QLatin1String(typed) + u'\r');
            currentNo()->setFocus();
            QCOMPARE(box->currentIndex(), -1);
        }
        QCOMPARE(w->get<QLineEdit>("txtNoStartAt")->text(), QString());
        QCOMPARE(currentNo()->text(), QStringLiteral("00000"));
        const auto asked = WindowHarness::answerNextMessageBox();
        w->click("Open");
        QVERIFY(!asked->isEmpty());

        QVERIFY(WindowHarness::clickListEntry(sites, 3));
        QCOMPARE(w->get<QLineEdit>("txtNoStartAt")->text(), QStringLiteral("0010004001"));
        sites->setFocus();
        QTest::keyClick(sites, Qt::Key_Up);
        QCOMPARE(w->get<QLineEdit>("txtNoStartAt")->text(), QStringLiteral("0010003001"));
        QCOMPARE(currentNo()->text(), QStringLiteral("03001"));
        QCOMPARE(simCallsOf(SimOpenComm), 0);
    }

    void tabCycleAndReturn()
    {
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cboComPort"));
        for (const char *name : {"Open", "txtCurrentNo", "cmdWritePrev", "cmdWriteCard",
                                 "cmdWriteNext", "cboComPort"}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(name));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmdWriteNext"));

        // Return presses the focused button, and only that: no button is the default.
        w->get<QComboBox>("cboComPort")->setCurrentIndex(0);
        w->get("Open")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(w->status(), QStringLiteral("Connect Successfull！"));
        currentNo()->setFocus();
        QTest::keyClick(currentNo(), Qt::Key_Return);
        QCOMPARE(SimCallCount(), 1);
    }

    void closeButtonEndsTheProgramAndCloseBoxUnloads()
    {
        w->get<QComboBox>("cboComPort")->setCurrentIndex(0);
        w->click("Open");
        const QString status = w->status();
        // The Close button ends the event loop: no close event, no reader call.
        QTimer::singleShot(0, [this] { w->click("cmdClose"); });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(1); }); // a safety net only
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(w->window->isVisible());
        QCOMPARE(simCallsOf(SimCloseComm), 0);
        // The close box releases the link once, silently.
        QVERIFY(w->window->windowHandle()->close());
        QCOMPARE(simCallsOf(SimCloseComm), 1);
        QCOMPARE(w->status(), status);
    }

    // A library that runs the event loop inside its calls: clicks and the close box reach the
    // window while the write is inside the library. The window closes once the card is
    // written whole, and the busy pointer shows meanwhile.
    void closeBoxDuringAWriteClosesAfterIt()
    {
        w->get<QComboBox>("cboComPort")->setCurrentIndex(0);
        w->click("Open");
        static bool busy = false;
        const auto inside = [](void *harness) {
            auto &h = *static_cast<WindowHarness *>(harness);
            h.click("cmdWriteNext");
            h.window->windowHandle()->close();
            const QCursor *pointer = QApplication::overrideCursor();
            busy = busy || (pointer != nullptr && pointer->shape() == Qt::WaitCursor);
        };
        SimSetCallHook(inside, &*w);
        w->click("cmdWriteCard");
        SimSetCallHook(nullptr, nullptr);
        QVERIFY(busy);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(SimNestedCalls(), 0);
        QCOMPARE((std::pair{SimPeekWord(1, 6), SimPeekWord(1, 7)}), (std::pair{0x0098, 0x9680}));
        QVERIFY(!w->window->isVisible());
        QCOMPARE(simCallsOf(SimCloseComm), 1);
    }

    // Nor does the number take an edit inside the call, by any of the field's ways: it stays
    // the number that the write stepped to, and names the card that it wrote.
    void numberTakesNoEditDuringAWrite()
    {
        w->get<QComboBox>("cboComPort")->setCurrentIndex(0);
        w->click("Open");
        currentNo()->setText(QStringLiteral("1000"));
        const auto inside = [](void *harness) {
            QLineEdit *field =
                static_cast<WindowHarness *>(harness)->get<QLineEdit>("txtCurrentNo");
            field->setFocus();
            field->selectAll();
            QApplication::clipboard()->setText(QStringLiteral("42"));
            QTest::keyClick(field, Qt::Key_Delete);
            QTest::keyClick(field, Qt::Key_7);
            QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
            QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
            QTest::mouseClick(field, Qt::MiddleButton);
        };
        SimSetCallHook(inside, &*w);
        w->click("cmdWriteNext");
        SimSetCallHook(nullptr, nullptr);
        QCOMPARE(currentNo()->text(), QStringLiteral("1001"));
        QCOMPARE(w->status(), QStringLiteral("0010001001 >>>> Write Successfull!"));
    }

    void writeCaptionShowsThreeLines()
    {
        currentNo()->setText(QStringLiteral("1001"));
        auto *button = w->get<QPushButton>("cmdWriteCard");
        QCOMPARE(button->text(), QStringLiteral("Write \r\n0010001001\r\n To Card"));
        // Rows of the button's face with dark (text) pixels come in bands, one for each line.
        const QImage face = button->grab().toImage();
        const auto ink = [&face](int y) {
            for (int x = 4; x < face.width() - 4; ++x)
                if (qGray(face.pixel(x, y)) < 96)
                    return true;
            return false;
        };
        int bands = 0;
        for (int y = 3; y < face.height() - 3; ++y)
            bands += ink(y) && !ink(y - 1);
        QCOMPARE(bands, 3);
        QVERIFY(!ink(3) && !ink(face.height() - 4)); // none cut off
    }

    // The window's font has no full-width "！", which ends "Connect Successfull！": a
    // fallback font that has it (scripts/setup.sh installs one) draws it, and its cell holds
    // ink. The window also carries the program's icon.
    void statusLineDrawsItsFullWidthMark()
    {
        QVERIFY(!w->window->windowIcon().isNull());
        w->get<QComboBox>("cboComPort")->setCurrentIndex(0);
        w->click("Open");
        auto *box = w->get<QPlainTextEdit>("opList");
        QTextCursor last(box->document());
        last.setPosition(int(w->status().size()) - 1);
        const int width = QFontMetrics(box->font()).horizontalAdvance(QChar(0xFF01));
        const QImage cell =
            box->viewport()->grab(box->cursorRect(last).adjusted(0, 0, width, 0)).toImage();
        const int background = qGray(box->palette().color(QPalette::Base).rgb());
        int ink = 0;
        for (int at = 0; at < cell.width() * cell.height(); ++at)
            ink +=
                std::abs(qGray(cell.pixel(at % cell.width(), at / cell.width())) - background) > 64;
        QVERIFY2(ink > 0, qPrintable(QFontInfo(box->font()).family()));
    }

    void portQuestion()
    {
        w->get("Open")->setFocus();
        const auto seen = WindowHarness::answerNextMessageBox();
        w->click("Open");
        QCOMPARE(*seen, (QStringList{"Connect...", "Please Select Port Number Before Continue!",
                                     QString::number(QMessageBox::NoIcon), "1"}));
        QCOMPARE(w->window->focusWidget()->objectName(), QStringLiteral("cboComPort"));
        QCOMPARE(w->status(), QString());
        QCOMPARE(SimCallCount(), 0);
    }
};

QTEST_MAIN(Form1WindowTest)
#include "form1_window_test.moc"
