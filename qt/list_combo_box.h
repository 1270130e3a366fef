// A drop-down combo box with an editable text area whose entries count as chosen only when
// they are picked from the list (with the mouse, or with the arrow keys or the wheel).
#pragma once

#include <QComboBox>

class ListComboBox : public QComboBox
{
    Q_OBJECT

public:
    ListComboBox(const QStringList &entries, const QString &initialText, QWidget *parent);

    void showPopup() override;

signals:
    void entryChosen(int index);

private:
    bool m_popupBuilt = false;
};
