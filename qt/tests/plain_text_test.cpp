// replacePlainText against QPlainTextEdit::setPlainText itself: two boxes go through the
// same operator actions, one is rewritten each way, and all that an operator or the
// program can see afterwards must be the same.
#include "qt/plain_text.h"
#include "qt/tests/window_harness.h"

#include <QScrollBar>

#include <array>

class PlainTextTest : public QObject
{
    Q_OBJECT

private:
    // "=text" sets the text, "scroll" scrolls to the end, "undo" undoes, "|" is Shift+Return
    // (a line separator) and "select" Shift+Home; anything else is typed.
    static void act(QPlainTextEdit *box, const QString &action)
    {
        if (action.startsWith(u'='))
            box->setPlainText(action.mid(1));
        else if (action == u"scroll")
            box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
        else if (action == u"undo")
            box->undo();
        else if (action == u"|" || action == u"select")
            QTest::keyClick(box, action == u"|" ? Qt::Key_Return : Qt::Key_Home, Qt::ShiftModifier);
        else
            WindowHarness::type(box, action);
    }

    static QStringList seen(QPlainTextEdit *box)
    {
        const QTextDocument *document = box->document();
        const QTextCursor cursor = box->textCursor();
        return {document->toRawText(), QString::number(document->blockCount()),
                QString::asprintf("cursor %d-%d, undo %d, redo %d, modified %d, scrolled %d",
                                  cursor.anchor(), cursor.position(), document->isUndoAvailable(),
                                  document->isRedoAvailable(), document->isModified(),
                                  box->verticalScrollBar()->value()),
                box->currentCharFormat().font().toString()};
    }

private slots:
    void sameOutcomeAsSetPlainText_data()
    {
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QString>("text");
        const QString ok = QStringLiteral("0010000042 >>>> Write Successfull!");
        const QString longText = QString(120, u'x').replace(u"x"_qs, u"xxxx "_qs);
        QTest::newRow("empty box") << QStringList{} << ok;
        QTest::newRow("success to error") << QStringList{"=" + ok} << "0010000043 >>>> Write Error";
        QTest::newRow("same text") << QStringList{"=" + ok} << ok;
        QTest::newRow("shorter, ends overlap") << QStringList{"=aaa"} << "aa";
        QTest::newRow("longer, ends overlap") << QStringList{"=aa"} << "aaa";
        QTest::newRow("to empty") << QStringList{"=" + ok} << QString();
        QTest::newRow("typed lines, cursor inside")
            << QStringList{"=" + ok, "note\rsecond<<<"} << ok;
        QTest::newRow("selection") << QStringList{"abc def", "select"} << "abc xyz";
        QTest::newRow("line separator") << QStringList{"one", "|", "two"} << "one two";
        QTest::newRow("non-breaking space") << QStringList{u"a\u00a0b"_qs} << "a b";
        QTest::newRow("scrolled down") << QStringList{"=" + longText, "scroll"} << ok;
        QTest::newRow("scrolled down, long text")
            << QStringList{"=" + longText, "scroll"} << QString(longText).replace(300, 1, u'y');
        QTest::newRow("undo history") << QStringList{"abc", "undo"} << ok;
        QTest::newRow("line breaks") << QStringList{"=" + ok} << "first\nsecond\r\nthird\rfourth";
    }

    void sameOutcomeAsSetPlainText()
    {
        QFETCH(QStringList, actions);
        QFETCH(QString, text);
        std::array<QPlainTextEdit, 2> boxes;
        for (QPlainTextEdit &box : boxes) {
            box.setFixedSize(441, 169);
            box.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            box.show();
            QVERIFY(QTest::qWaitForWindowExposed(&box));
            for (const QString &action : actions)
                act(&box, action);
        }
        boxes[0].setPlainText(text);
        replacePlainText(&boxes[1], text);
        QCOMPARE(seen(&boxes[1]), seen(&boxes[0]));
    }
};

QTEST_MAIN(PlainTextTest)
#include "plain_text_test.moc"
