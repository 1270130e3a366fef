#include "qt/list_combo_box.h"

#include <QAbstractItemView>
#include <QLineEdit>

ListComboBox::ListComboBox(const QStringList &entries, const QString &initialText, QWidget *parent)
    : QComboBox(parent)
{
    // Editable through its own line edit rather than setEditable(true), which would also
    // build the drop-down list's popup window now; showPopup() builds it when it is first
    // needed, with what setEditable would have set on it.
    setLineEdit(new QLineEdit(this));
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

void ListComboBox::showPopup()
{
    if (!m_popupBuilt) {
        m_popupBuilt = true;
        // An editable box's list scrolls with a scroll bar (view() builds the popup).
        view()->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
    QComboBox::showPopup();
}
