// The real window, bound to the simulated reader through the real library binding, for the
// window's and the developer panel's tests.
#pragma once

#include "reader/reader_library.h"
#include "simreader/sim_log.h"
#include "window/form1.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>
#include <vector>

class WindowHarness
{
public:
    WindowHarness() : window(std::make_unique<Form1>(library))
    {
        SimReset();
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("the window did not become active");
    }

    template <typename Control> Control *control(const char *name) const
    {
        auto *found = window->findChild<Control *>(QLatin1String(name));
        if (found == nullptr)
            qFatal("no control %s", name);
        return found;
    }

    QPushButton *button(const char *name) const { return control<QPushButton>(name); }
    QLineEdit *field(const char *name) const { return control<QLineEdit>(name); }
    QString status() const { return control<QPlainTextEdit>("opList")->toPlainText(); }
    QColor statusColour() const
    {
        return control<QPlainTextEdit>("opList")->palette().color(QPalette::Text);
    }

    void click(const char *name) const { QTest::mouseClick(button(name), Qt::LeftButton); }

    void choosePort(int position) const
    {
        control<QComboBox>("cboComPort")->setCurrentIndex(position);
    }

    void connectReader() const
    {
        choosePort(0);
        click("Open");
    }

    // Opens the box's list and clicks the entry at row, as an operator does with the mouse.
    // False when the list never showed or did not close again.
    static bool clickListEntry(QComboBox *box, int row)
    {
        box->showPopup();
        QAbstractItemView *view = box->view();
        if (!QTest::qWaitForWindowExposed(view->window()))
            return false;
        const QModelIndex index = view->model()->index(row, 0);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
        for (int wait = 0; wait < 100 && view->isVisible(); ++wait)
            QTest::qWait(10);
        if (!view->isVisible())
            return true;
        box->hidePopup();
        return false;
    }

    // A fault of the reader or the tag, by its name in the tests' tables: "nolink" (no
    // Connect), "word6" or "word7" (that word's write fails), "leave" (the card leaves the
    // field after the next word written), "notag"; anything else connects a clean reader.
    void prepareReader(const QString &fault) const
    {
        if (fault != QLatin1String("nolink"))
            connectReader();
        if (fault == QLatin1String("word6"))
            SimFailWordAddress(6);
        else if (fault == QLatin1String("word7"))
            SimFailWordAddress(7);
        else if (fault == QLatin1String("leave"))
            SimLeaveAfterNextWrite();
        else if (fault == QLatin1String("notag"))
            SimSetTagPresent(0);
    }

    // Answers the next modal message box with OK, and tells what it showed.
    struct MessageBoxSeen
    {
        bool shown = false;
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::Information;
        int buttons = 0;
    };
    static std::shared_ptr<MessageBoxSeen> answerNextMessageBox()
    {
        auto seen = std::make_shared<MessageBoxSeen>();
        QTimer::singleShot(0, [seen] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box == nullptr)
                return;
            seen->shown = true;
            seen->title = box->windowTitle();
            seen->text = box->text();
            seen->icon = box->icon();
            seen->buttons = static_cast<int>(box->buttons().size());
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        return seen;
    }

    reader::ReaderLibrary library;
    std::unique_ptr<Form1> window;
};
