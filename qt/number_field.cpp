#include "window/number_field.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>

namespace {

constexpr int kMaxDigits = 5;

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

NumberField::NumberField(const QString &text, QWidget *parent) : QLineEdit(text, parent)
{
    setMaxLength(kMaxDigits);
    // The key filter below never sees a paste or a drop; the validator refuses any such
    // text that is not all digits, whole, while maxLength cuts a paste of digits to fit.
    setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
}

void NumberField::keyPressEvent(QKeyEvent *event)
{
    // Backspace is discarded like any other non-digit: digits go with Delete or by typing
    // over a selection. Keys without a character (Delete, arrows) and shortcuts (copy,
    // paste, select all) pass; the validator still refuses whatever they would insert
    // that is not a digit.
    const QString text = event->text();
    const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    const bool printable = text.size() == 1 && text.front().isPrint() && !shortcut;
    if (event->key() == Qt::Key_Backspace || (printable && !isDigit(text.front()))) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void NumberField::mouseReleaseEvent(QMouseEvent *event)
{
    QLineEdit::mouseReleaseEvent(event);
    selectAll();
}
