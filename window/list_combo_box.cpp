#include "window/list_combo_box.h"

#include <QLineEdit>

ListComboBox::ListComboBox(const QStringList &entries, const QString &initialText, QWidget *parent)
    : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    addItems(entries);
    setCurrentIndex(-1);
    setEditText(initialText);

    // By default an editable combo box also selects an entry, and reports it activated,
    // when Return or leaving the box meets typed text equal to that entry. Typing is not
    // choosing here: only the list's own activation counts.
    disconnect(lineEdit(), &QLineEdit::returnPressed, this, nullptr);
    disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
    connect(this, qOverload<int>(&QComboBox::activated), this, &ListComboBox::entryChosen);
}
