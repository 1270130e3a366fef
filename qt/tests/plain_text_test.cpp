// replacePlainText against QPlainTextEdit::setPlainText itself: two boxes go through the
// same operator actions, one is rewritten each way, and everything an operator or the
// program can see afterwards must be the same.
#include "window/plain_text.h"

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include <array>
#include <memory>

class PlainTextTest : public QObject
{
    Q_OBJECT

private:
    static void act(QPlainTextEdit *box, const QString &action)
    {
        const QString argument = action.section(QLatin1Char(':'), 1);
        if (action.startsWith(QLatin1String("text:")))
            box->setPlainText(argument);
        else if (action.startsWith(QLatin1String("type:")))
            QTest::keyClicks(box, argument);
        else if (action == QLatin1String("enter"))
            QTest::keyClick(box, Qt::Key_Return);
        else if (action == QLatin1String("shift-enter"))
            QTest::keyClick(box, Qt::Key_Return, Qt::ShiftModifier); // a line separator
        else if (action.startsWith(QLatin1String("left:")) ||
                 action.startsWith(QLatin1String("select-left:"))) {
            const auto modifier =
                action.startsWith(QLatin1Char('s')) ? Qt::ShiftModifier : Qt::NoModifier;
            for (int i = 0; i < argument.toInt(); ++i)
                QTest::keyClick(box, Qt::Key_Left, modifier);
        } else if (action == QLatin1String("undo"))
            box->undo();
        else if (action == QLatin1String("scroll"))
            box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
        else if (action.startsWith(QLatin1String("paste:"))) {
            QApplication::clipboard()->setText(argument);
            box->paste();
        } else
            QFAIL(qPrintable(QStringLiteral("unknown action ") + action));
    }

    static QStringList seen(QPlainTextEdit *box)
    {
        const QTextDocument *document = box->document();
        const QTextCursor cursor = box->textCursor();
        return {box->toPlainText(),
                document->toRawText(),
                QString::number(document->blockCount()),
                QStringLiteral("cursor %1-%2").arg(cursor.anchor()).arg(cursor.position()),
                QStringLiteral("undo %1 redo %2")
                    .arg(document->isUndoAvailable())
                    .arg(document->isRedoAvailable()),
                QStringLiteral("modified %1").arg(document->isModified()),
                QStringLiteral("scrolled %1").arg(box->verticalScrollBar()->value()),
                box->currentCharFormat().font().toString()};
    }

private slots:
    void sameOutcomeAsSetPlainText_data()
    {
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QString>("text");
        const QString ok = QStringLiteral("0010000042 >>>> Write Successfull!");
        const QString longText =
            QString(600, QLatin1Char('x')).replace(QLatin1String("xxxxx"), QLatin1String("xxxx "));
        QTest::newRow("empty box") << QStringList{} << ok;
        QTest::newRow("next card")
            << QStringList{QStringLiteral("text:0010000041 >>>> Write Successfull!")} << ok;
        QTest::newRow("success to error") << QStringList{QStringLiteral("text:") + ok}
                                          << QStringLiteral("0010000043 >>>> Write Error");
        QTest::newRow("same text") << QStringList{QStringLiteral("text:") + ok} << ok;
        QTest::newRow("shorter, overlapping ends")
            << QStringList{QStringLiteral("text:aaa")} << QStringLiteral("aa");
        QTest::newRow("longer, overlapping ends")
            << QStringList{QStringLiteral("text:aa")} << QStringLiteral("aaa");
        QTest::newRow("to empty") << QStringList{QStringLiteral("text:") + ok} << QString();
        QTest::newRow("typed lines, cursor inside")
            << QStringList{QStringLiteral("text:") + ok, QStringLiteral("type:note"),
                           QStringLiteral("enter"), QStringLiteral("type:second"),
                           QStringLiteral("left:3")}
            << ok;
        QTest::newRow("selection")
            << QStringList{QStringLiteral("type:abc def"), QStringLiteral("select-left:3")}
            << QStringLiteral("abc xyz");
        QTest::newRow("line separator")
            << QStringList{QStringLiteral("type:one"), QStringLiteral("shift-enter"),
                           QStringLiteral("type:two")}
            << QStringLiteral("one two");
        QTest::newRow("non-breaking space")
            << QStringList{QStringLiteral("paste:a\u00a0b")} << QStringLiteral("a b");
        QTest::newRow("long text scrolled down")
            << QStringList{QStringLiteral("text:") + longText, QStringLiteral("scroll")} << ok;
        QTest::newRow("long text scrolled down, long text")
            << QStringList{QStringLiteral("text:") + longText, QStringLiteral("scroll")}
            << QString(longText).replace(300, 1, QLatin1Char('y'));
        QTest::newRow("undo and redo history")
            << QStringList{QStringLiteral("type:abc"), QStringLiteral("undo")} << ok;
        QTest::newRow("new text breaks lines") << QStringList{QStringLiteral("text:") + ok}
                                               << QStringLiteral("first\nsecond\r\nthird\rfourth");
    }

    void sameOutcomeAsSetPlainText()
    {
        QFETCH(QStringList, actions);
        QFETCH(QString, text);
        std::array<std::unique_ptr<QPlainTextEdit>, 2> boxes;
        for (auto &box : boxes) {
            box = std::make_unique<QPlainTextEdit>();
            box->setFixedSize(441, 169);
            box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            box->show();
            QVERIFY(QTest::qWaitForWindowExposed(box.get()));
            for (const QString &action : actions)
                act(box.get(), action);
        }
        boxes[0]->setPlainText(text);
        replacePlainText(boxes[1].get(), text);
        QCOMPARE(seen(boxes[1].get()), seen(boxes[0].get()));
    }
};

QTEST_MAIN(PlainTextTest)
#include "plain_text_test.moc"
