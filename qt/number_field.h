// The current-number field: digits only, at most five of them, whether typed or pasted,
// and a click selects the whole number so that the next digit typed replaces it.
#pragma once

#include <QLineEdit>

class NumberField : public QLineEdit
{
    Q_OBJECT

public:
    NumberField(const QString &text, QWidget *parent);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};
