// The real window over the real library binding and the simulated reader, shown offscreen,
// and what the Qt tests do to it as an operator would.
#pragma once

#include "qt/form1_window.h"
#include "reader/reader_library.h"
#include "simreader/sim_log.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

struct WindowHarness
{
    WindowHarness() { open(); }

    // A new window over a new reader.
    void open()
    {
        SimReset();
        window = std::make_unique<Form1Window>(library);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    template <typename Control = QWidget> Control *get(const char *name) const
    {
        auto *found = window->findChild<Control *>(QLatin1String(name));
        if (found == nullptr)
            qFatal("no control %s", name);
        return found;
    }

    QString status() const { return get<QPlainTextEdit>("opList")->toPlainText(); }
    QColor statusColour() const
    {
        return get<QPlainTextEdit>("opList")->palette().color(QPalette::Text);
    }
    void click(const char *name) const { QTest::mouseClick(get(name), Qt::LeftButton); }

    // Types text as key presses ("\b" is Backspace), but "~" is Delete, "<" the Left arrow,
    // "^" pastes and "%" drops the clipboard's text at the right end; characters that QTest has no
    // key for arrive as an input method sends them, as text without a key.
    static void type(QWidget *widget, const QString &text)
    {
        for (const QChar c : text) {
            if (c == u'^')
                QTest::keySequence(widget, QKeySequence::Paste);
            else if (c == u'%')
                dropClipboard(widget);
            else if (c == u'~' || c == u'<')
                QTest::keyClick(widget, c == u'~' ? Qt::Key_Delete : Qt::Key_Left);
            else if (c.unicode() < 0x7F)
                QTest::keyClicks(widget, QString(c));
            else
                for (const auto press : {QTest::Press, QTest::Release})
                    QTest::sendKeyEvent(press, widget, Qt::Key_unknown, QString(c), {});
        }
    }

    static void dropClipboard(QWidget *widget)
    {
        QMimeData data;
        data.setText(QApplication::clipboard()->text());
        const QPoint at(widget->width() - 2, widget->height() / 2);
        // The drop goes where the drag entered and was accepted.
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(widget, &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(widget, &drop);
    }

    // Opens the box's list and clicks the entry at row with the mouse. False, with the list
    // closed, when it never showed or stayed open.
    static bool clickListEntry(QComboBox *box, int row)
    {
        box->showPopup();
        QAbstractItemView *view = box->view();
        if (!QTest::qWaitForWindowExposed(view->window()))
            return false;
        const QModelIndex index = view->model()->index(row, 0);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
        if (QTest::qWaitFor([view] { return !view->isVisible(); }, 500))
            return true;
        box->hidePopup();
        return false;
    }

    // Answers the next modal message box with OK. What it showed: title, text, icon and
    // number of buttons; empty while none showed.
    static std::shared_ptr<QStringList> answerNextMessageBox()
    {
        auto seen = std::make_shared<QStringList>();
        QTimer::singleShot(0, [seen] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                *seen = {box->windowTitle(), box->text(), QString::number(box->icon()),
                         QString::number(box->buttons().size())};
                QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
            }
        });
        return seen;
    }

    reader::ReaderLibrary library;
    std::unique_ptr<Form1Window> window;
};
