#include "window/window_harness.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>

#include <optional>

namespace {

const QString kFullWidthBang = QStringLiteral("！");

} // namespace

class Form1Test : public QObject
{
    Q_OBJECT

private:
    std::optional<WindowHarness> w;

    QLineEdit *currentNo() const { return w->field("txtCurrentNo"); }
    QString caption() const { return w->button("cmdWriteCard")->text(); }
    void chooseSite(int row) const
    {
        // Chosen from the opened list with the mouse, as an operator does.
        QVERIFY(WindowHarness::clickListEntry(w->control<QComboBox>("Combo1"), row));
    }

private slots:
    void init() { w.emplace(); }
    void cleanup() { w.reset(); }

    // --- The window as it opens ---------------------------------------------------------

    void windowFrame()
    {
        QCOMPARE(w->window->windowTitle(), QStringLiteral("Pro Tagwright"));
        QCOMPARE(w->window->size(), QSize(690, 439));
        QCOMPARE(w->window->minimumSize(), w->window->maximumSize());
        const Qt::WindowFlags flags = w->window->windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(w->window->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly).size() +
                     w->control<QGroupBox>("Frame1")
                         ->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)
                         .size(),
                 22);
    }

    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<int>("focus");
        const int tab = Qt::StrongFocus, mouse = Qt::ClickFocus, never = Qt::NoFocus;
        const auto row = [](const char *name, const char *kind, const QString &text, QRect r,
                            int focus) {
            // clang-format off
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(kind) << text << r << focus;
            // clang-format on
        };
        row("cboComPort", "ListComboBox", "-Select Com Port-", {8, 12, 193, 31}, tab);
        row("Close", "QPushButton", "Disconnect", {504, 344, 170, 39}, mouse);
        row("Open", "QPushButton", "Connect", {204, 12, 112, 31}, tab);
        row("txtCurrentNo", "NumberField", "00000", {540, 12, 81, 39}, tab);
        row("cmdWritePrev", "QPushButton", "Write Prev No", {456, 68, 216, 31}, tab);
        row("cmdWriteCard", "QPushButton", "Write", {456, 104, 216, 79}, tab);
        row("cmdWriteNext", "QPushButton", "Write Next No", {456, 188, 216, 51}, tab);
        row("opList", "QPlainTextEdit", "", {4, 68, 441, 169}, mouse);
        row("Combo1", "ListComboBox", "-Site Reference-", {8, 272, 205, 31}, mouse);
        row("txtNoStartAt", "QLineEdit", "", {324, 272, 125, 31}, mouse);
        row("Label1", "QLabel", "No Start At", {220, 276, 105, 25}, never);
        row("Label2", "QLabel", "Current No", {352, 20, 105, 25}, never);
        row("Frame1", "DeveloperPanel", "Developer", {8, 312, 437, 121}, never);
        row("cmdRegularizeCardNo", "QPushButton", "Regularize Card No", {232, 76, 185, 33}, mouse);
        row("cmdRead", "QPushButton", "Read", {232, 36, 73, 33}, mouse);
        row("cmdWrite", "QPushButton", "Write", {328, 36, 89, 33}, mouse);
        row("txt2", "QLineEdit", "", {100, 36, 113, 25}, mouse);
        row("txt1", "QLineEdit", "", {16, 36, 81, 25}, mouse);
        row("cmdClose", "QPushButton", "Close", {504, 392, 170, 35}, mouse);
        row("txtCurrentNoFront", "QLineEdit", "00100", {456, 12, 81, 39}, never);
        row("cmdMinus", "QPushButton", "-", {636, 32, 37, 23}, mouse);
        row("cmdPlus", "QPushButton", "+", {636, 8, 37, 23}, mouse);
    }

    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(QString, text);
        QFETCH(QRect, geometry);
        QFETCH(int, focus);
        auto *control = w->window->findChild<QWidget *>(name);
        QVERIFY(control);
        QCOMPARE(QString::fromLatin1(control->metaObject()->className()), kind);
        QCOMPARE(control->geometry(), geometry);
        QCOMPARE(static_cast<int>(control->focusPolicy()), focus);
        QVERIFY(!control->accessibleName().isEmpty());
        QString shown;
        if (auto *b = qobject_cast<QAbstractButton *>(control))
            shown = b->text();
        else if (auto *e = qobject_cast<QLineEdit *>(control))
            shown = e->text();
        else if (auto *c = qobject_cast<QComboBox *>(control))
            shown = c->currentText();
        else if (auto *l = qobject_cast<QLabel *>(control))
            shown = l->text();
        else if (auto *g = qobject_cast<QGroupBox *>(control))
            shown = g->title();
        else if (auto *p = qobject_cast<QPlainTextEdit *>(control))
            shown = p->toPlainText();
        QCOMPARE(shown, text);
        if (auto *c = qobject_cast<QComboBox *>(control))
            QCOMPARE(c->currentIndex(), -1);
    }

    void fontsAndFlags()
    {
        const QFontInfo windowFont(w->window->font());
        QVERIFY2(windowFont.family() == QLatin1String("Times New Roman") ||
                     windowFont.family() == QLatin1String("Liberation Serif"),
                 qPrintable(windowFont.family()));
        QCOMPARE(w->window->font().pointSizeF(), 15.75);
        QCOMPARE(w->button("cmdRead")->font().pointSizeF(), 15.75);
        QCOMPARE(currentNo()->font().pointSizeF(), 20.25);
        QCOMPARE(w->field("txtCurrentNoFront")->font().pointSizeF(), 20.25);
        QVERIFY(!w->field("txtCurrentNoFront")->isEnabled());
        QCOMPARE(currentNo()->maxLength(), 5);
        for (auto *button : w->window->findChildren<QPushButton *>())
            QVERIFY(!button->isDefault());

        auto *status = w->control<QPlainTextEdit>("opList");
        QVERIFY(!status->isReadOnly());
        QCOMPARE(status->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(status->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(status->lineWrapMode(), QPlainTextEdit::WidgetWidth);

        auto *ports = w->control<QComboBox>("cboComPort");
        QCOMPARE(ports->count(), 100);
        QCOMPARE(ports->itemText(0), QStringLiteral("Com1"));
        QCOMPARE(ports->itemText(9), QStringLiteral("Com10"));
        QCOMPARE(ports->itemText(99), QStringLiteral("Com100"));
        auto *sites = w->control<QComboBox>("Combo1");
        QCOMPARE(sites->count(), 4);
        QCOMPARE(sites->itemText(0), QStringLiteral("CEDAR LAGOONS"));
        QCOMPARE(sites->itemText(3), QStringLiteral("DUNE PARK"));
        QCOMPARE(w->window->cardNumber(), QString());
        QCOMPARE(w->window->readerHandle(), -1);
    }

    void portListScrollsWithAScrollBar()
    {
        auto *ports = w->control<QComboBox>("cboComPort");
        ports->showPopup();
        QAbstractItemView *view = ports->view();
        QVERIFY(QTest::qWaitForWindowExposed(view->window()));
        QCOMPARE(view->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
        QVERIFY(view->verticalScrollBar()->isVisible());
        ports->hidePopup();
    }

    void tabCycle()
    {
        QCOMPARE(QApplication::focusWidget(), w->control<QComboBox>("cboComPort"));
        const QStringList forward{"Open",         "txtCurrentNo", "cmdWritePrev",
                                  "cmdWriteCard", "cmdWriteNext", "cboComPort"};
        for (const QString &name : forward) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), name);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmdWriteNext"));
    }

    void prefixFieldTakesNoFocus()
    {
        auto *prefix = w->field("txtCurrentNoFront");
        QTest::mouseClick(prefix, Qt::LeftButton);
        QVERIFY(!prefix->hasFocus());
        QCOMPARE(prefix->text(), QStringLiteral("00100"));
    }

    // --- The reader connection -------------------------------------------------------

    void connectWithoutPortShowsTheMessageBoxOnly()
    {
        w->connectReader();
        w->choosePort(-1);
        w->control<QComboBox>("cboComPort")->setEditText(QStringLiteral("-Select Com Port-"));
        w->button("Open")->setFocus();
        const auto seen = WindowHarness::answerNextMessageBox();
        w->click("Open");
        QVERIFY(seen->shown);
        QCOMPARE(seen->title, QStringLiteral("Connect..."));
        QCOMPARE(seen->text, QStringLiteral("Please Select Port Number Before Continue!"));
        QCOMPARE(seen->icon, QMessageBox::NoIcon);
        QCOMPARE(seen->buttons, 1);
        QCOMPARE(w->window->focusWidget(), w->control<QComboBox>("cboComPort"));
        // The link stays open and the status text is unchanged.
        QCOMPARE(w->status(), QStringLiteral("Connect Successfull") + kFullWidthBang);
        QVERIFY(w->window->readerHandle() != -1);
        QCOMPARE(simCallsOf(SimOpenComm), 1);
    }

    void connectionStates_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("statuses");
        QTest::addColumn<int>("openCalls");
        QTest::addColumn<int>("closeCalls");
        const QString ok = "Connect Successfull" + kFullWidthBang;
        const QString failed = "Connection Failed" + kFullWidthBang;
        const QString already = "Hardware Is Connected" + kFullWidthBang;
        const QString closed = "Disconnect Successfull" + kFullWidthBang;
        const QString notOpen = "Disconnect Failed" + kFullWidthBang;
        // clang-format off
        QTest::newRow("connect Com1, disconnect") << QStringList{"Com1", "Connect", "Disconnect"} << QStringList{"", ok, closed} << 1 << 1;
        QTest::newRow("Com100 also opens port 9") << QStringList{"Com100", "Connect"} << QStringList{"", ok} << 1 << 0;
        QTest::newRow("second connect makes no call, other port") << QStringList{"Com1", "Connect", "Com7", "Connect"} << QStringList{"", ok, "", already} << 1 << 0;
        QTest::newRow("disconnect before connect") << QStringList{"Disconnect"} << QStringList{notOpen} << 0 << 0;
        QTest::newRow("only the first disconnect succeeds") << QStringList{"Com2", "Connect", "Disconnect", "Disconnect"} << QStringList{"", ok, closed, notOpen} << 1 << 1;
        QTest::newRow("reader absent, then present") << QStringList{"Com3", "Unplug", "Connect", "Plug", "Connect"} << QStringList{"", "", failed, "", ok} << 2 << 0;
        // clang-format on
    }

    void connectionStates()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, statuses);
        QFETCH(int, openCalls);
        QFETCH(int, closeCalls);
        for (int i = 0; i < steps.size(); ++i) {
            const QString &step = steps[i];
            const QString before = w->status();
            if (step.startsWith(QLatin1String("Com")))
                w->choosePort(step.mid(3).toInt() - 1);
            else if (step == QLatin1String("Unplug"))
                SimSetReaderPresent(0);
            else if (step == QLatin1String("Plug"))
                SimSetReaderPresent(1);
            else
                w->click(step == QLatin1String("Connect") ? "Open" : "Close");
            QCOMPARE(w->status(), statuses[i].isEmpty() ? before : statuses[i]);
        }
        QCOMPARE(simCallsOf(SimOpenComm), openCalls);
        QCOMPARE(simCallsOf(SimCloseComm), closeCalls);
        for (const SimCall &call : simCalls()) {
            if (call.function == SimOpenComm)
                QCOMPARE(call.handle, 9);
        }
    }

    void closeBoxReleasesTheLinkSilently()
    {
        w->connectReader();
        const QString status = w->status();
        QVERIFY(w->window->close());
        QCOMPARE(simCallsOf(SimCloseComm), 1);
        QCOMPARE(w->status(), status);
    }

    void closeButtonEndsTheProgramWithoutClosingTheLink()
    {
        w->connectReader();
        const int calls = SimCallCount();
        QSignalSpy ended(qApp, &QCoreApplication::aboutToQuit);
        QTimer::singleShot(0, [this] { w->click("cmdClose"); });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(1); }); // a safety net only
        QCOMPARE(QCoreApplication::exec(), 0);
        QCOMPARE(SimCallCount(), calls);
        QVERIFY(w->window->isVisible()); // no close event, so no unload step
    }

    void missingLibraryIsReportedAndTheHandleKept()
    {
        reader::ReaderLibrary missing({"libepcsdk-missing.so", "libepcsdk-missing.so"});
        Form1 window(missing);
        window.findChild<QComboBox *>("cboComPort")->setCurrentIndex(2);
        QTest::mouseClick(window.findChild<QPushButton *>("Open"), Qt::LeftButton);
        QCOMPARE(
            window.findChild<QPlainTextEdit *>("opList")->toPlainText(),
            QStringLiteral("Reader library libepcsdk-missing.so not found: cannot call OpenComm"));
        QCOMPARE(window.readerHandle(), -1);
    }

    // --- Number entry ----------------------------------------------------------------

    void keyFilter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        // clang-format off
        QTest::newRow("digit replaces the selected number") << "5" << "5";
        QTest::newRow("letters are discarded") << "a1b2" << "12";
        QTest::newRow("signs and blanks are discarded") << "-1 +2.3" << "123";
        QTest::newRow("no sixth character") << "1234567" << "12345";
        QTest::newRow("backspace is discarded") << "12\b" << "12";
        // clang-format on
    }

    void keyFilter()
    {
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QTest::mouseClick(currentNo(), Qt::LeftButton);
        QCOMPARE(currentNo()->selectedText(), QStringLiteral("00000"));
        for (const QChar c : typed) {
            if (c == QLatin1Char('\b'))
                QTest::keyClick(currentNo(), Qt::Key_Backspace);
            else
                QTest::keyClicks(currentNo(), QString(c));
        }
        QCOMPARE(currentNo()->text(), text);
    }

    void deleteKeyRemovesDigits()
    {
        currentNo()->setFocus();
        currentNo()->setCursorPosition(0);
        QTest::keyClick(currentNo(), Qt::Key_Delete);
        QCOMPARE(currentNo()->text(), QStringLiteral("0000"));
    }

    void paste_data()
    {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("text");
        // clang-format off
        QTest::newRow("digits") << "42" << "42";
        QTest::newRow("digits cut at five") << "1234567" << "12345";
        QTest::newRow("letters refused whole") << "12a" << "00000";
        QTest::newRow("sign refused") << "-5" << "00000";
        QTest::newRow("blank refused") << " 7" << "00000";
        QTest::newRow("full-width digits refused") << QStringLiteral("１２") << "00000";
        QTest::newRow("line break refused") << "1\n2" << "00000";
        // clang-format on
    }

    void paste()
    {
        QFETCH(QString, clipboard);
        QFETCH(QString, text);
        QApplication::clipboard()->setText(clipboard);
        QTest::mouseClick(currentNo(), Qt::LeftButton);
        QTest::keySequence(currentNo(), QKeySequence::Paste);
        QCOMPARE(currentNo()->text(), text);
    }

    void changeStep_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("cardNumber");
        // clang-format off
        QTest::newRow("typed") << "type" << "5" << "0010000005";
        QTest::newRow("pasted") << "paste" << "12345" << "0010012345";
        QTest::newRow("plus on 9") << "plus9" << "10" << "0010000010";
        QTest::newRow("site") << "site2" << "03001" << "0010003001";
        // clang-format on
    }

    void changeStep()
    {
        QFETCH(QString, how);
        QFETCH(QString, text);
        QFETCH(QString, cardNumber);
        if (how == QLatin1String("type")) {
            QTest::mouseClick(currentNo(), Qt::LeftButton);
            QTest::keyClicks(currentNo(), text);
        } else if (how == QLatin1String("paste")) {
            QApplication::clipboard()->setText(text);
            QTest::mouseClick(currentNo(), Qt::LeftButton);
            QTest::keySequence(currentNo(), QKeySequence::Paste);
        } else if (how == QLatin1String("plus9")) {
            currentNo()->setText(QStringLiteral("00009"));
            w->click("cmdPlus");
        } else {
            chooseSite(2);
        }
        QCOMPARE(currentNo()->text(), text);
        QCOMPARE(w->window->cardNumber(), cardNumber);
        QCOMPARE(caption(),
                 QStringLiteral("Write \r\n") + cardNumber + QStringLiteral("\r\n To Card"));
    }

    void emptyFieldKeepsTheCardNumberAndStopsNothing()
    {
        currentNo()->setText(QStringLiteral("12"));
        currentNo()->setFocus();
        currentNo()->setCursorPosition(0);
        QTest::keyClick(currentNo(), Qt::Key_Delete);
        QTest::keyClick(currentNo(), Qt::Key_Delete);
        QCOMPARE(currentNo()->text(), QString());
        // "2" was the last number the field held.
        QCOMPARE(w->window->cardNumber(), QStringLiteral("0010000002"));
        QCOMPARE(caption(), QStringLiteral("Write \r\n0010000002\r\n To Card"));
        w->click("cmdPlus");
        w->click("cmdMinus");
        QCOMPARE(currentNo()->text(), QString());
        QTest::keyClicks(currentNo(), QStringLiteral("7"));
        QCOMPARE(w->window->cardNumber(), QStringLiteral("0010000007"));
    }

    void stepping_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("plus");
        QTest::addColumn<QString>("minus");
        // clang-format off
        QTest::newRow("middle") << "01001" << "1002" << "1000";
        QTest::newRow("top") << "99999" << "99999" << "99998";
        QTest::newRow("below top") << "99998" << "99999" << "99997";
        QTest::newRow("bottom") << "0" << "1" << "0";
        QTest::newRow("above bottom") << "1" << "2" << "0";
        // clang-format on
    }

    void stepping()
    {
        QFETCH(QString, from);
        QFETCH(QString, plus);
        QFETCH(QString, minus);
        currentNo()->setText(from);
        w->click("cmdPlus");
        QCOMPARE(currentNo()->text(), plus);
        currentNo()->setText(from);
        w->click("cmdMinus");
        QCOMPARE(currentNo()->text(), minus);
        QCOMPARE(SimCallCount(), 0);
    }

    // --- Site selection --------------------------------------------------------------

    void siteChosenFromTheList()
    {
        chooseSite(0);
        QCOMPARE(w->field("txtNoStartAt")->text(), QStringLiteral("0010001001"));
        QCOMPARE(currentNo()->text(), QStringLiteral("01001"));
        QCOMPARE(caption(), QStringLiteral("Write \r\n0010001001\r\n To Card"));
    }

    void siteChosenWithArrowKeys()
    {
        auto *combo = w->control<QComboBox>("Combo1");
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Down);
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(w->field("txtNoStartAt")->text(), QStringLiteral("0010002001"));
        QCOMPARE(currentNo()->text(), QStringLiteral("02001"));
    }

    void typingIntoTheSiteBoxRunsNothing()
    {
        auto *combo = w->control<QComboBox>("Combo1");
        combo->setFocus();
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo, QStringLiteral("DUNE PARK"));
        QTest::keyClick(combo, Qt::Key_Return);
        currentNo()->setFocus(); // leaving the box
        QCOMPARE(combo->count(), 4);
        QCOMPARE(combo->currentIndex(), -1);
        QCOMPARE(w->field("txtNoStartAt")->text(), QString());
        QCOMPARE(currentNo()->text(), QStringLiteral("00000"));
        // The same name chosen from the list does run the site selection.
        chooseSite(3);
        QCOMPARE(w->field("txtNoStartAt")->text(), QStringLiteral("0010004001"));
    }

    void unmatchedSiteTextKeepsTheStartNumber()
    {
        auto *combo = w->control<QComboBox>("Combo1");
        w->field("txtNoStartAt")->setText(QStringLiteral("0010002001"));
        combo->setItemText(3, QStringLiteral("dune park")); // text that no site matches
        chooseSite(3);
        QCOMPARE(w->field("txtNoStartAt")->text(), QStringLiteral("0010002001"));
        QCOMPARE(currentNo()->text(), QStringLiteral("02001"));
    }

    void statusLineWrapsAndKeepsTypedText()
    {
        auto *status = w->control<QPlainTextEdit>("opList");
        QTest::mouseClick(status->viewport(), Qt::LeftButton);
        QTest::keyClicks(status, QStringLiteral("note"));
        QCOMPARE(w->status(), QStringLiteral("note"));
        status->setPlainText(
            QString(400, QLatin1Char('x')).replace(QLatin1String("xxxxx"), QLatin1String("xxxx ")));
        QVERIFY(status->verticalScrollBar()->maximum() > 0);
    }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
