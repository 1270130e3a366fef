#include "qt/number_field.h"

#include <QKeyEvent>
#include <QValidator>

namespace {

// The key filter never sees a paste or a drop: this refuses such text whole unless the
// check accepts the text the field would then hold. A typed character passes it as well.
class WholeTextValidator : public QValidator
{
public:
    WholeTextValidator(NumberField::TextCheck check, QObject *parent)
        : QValidator(parent), m_check(check)
    {}

    State validate(QString &input, int &) const override
    {
        return m_check(input.toStdString()) ? Acceptable : Invalid;
    }

private:
    NumberField::TextCheck m_check;
};

// The character a key press types, or 0 for keys that type none (Delete, the arrows,
// Return) and for shortcuts (copy, paste, select all), which are never filtered.
char32_t typedCharacter(const QKeyEvent *event)
{
    // Backspace types the character 8 but says so only through its key.
    if (event->key() == Qt::Key_Backspace)
        return U'\b';
    if (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        return 0;
    const QList<uint> characters = event->text().toUcs4();
    if (characters.size() != 1 || !QChar::isPrint(characters.front()))
        return 0;
    return characters.front();
}

} // namespace

NumberField::NumberField(TextCheck acceptsWhole, QWidget *parent) : QLineEdit(parent)
{
    setValidator(new WholeTextValidator(acceptsWhole, this));
}

bool NumberField::event(QEvent *event)
{
    // The events by which QLineEdit edits its text: keys (its shortcuts among them), input
    // methods, drops, its context menu, and the middle button's paste of the selection.
    bool edits = false;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::InputMethod:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::ContextMenu:
        edits = true;
        break;
    case QEvent::MouseButtonRelease:
        edits = static_cast<QMouseEvent *>(event)->button() == Qt::MiddleButton;
        break;
    default:
        break;
    }
    if (edits && m_editable && !m_editable()) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void NumberField::keyPressEvent(QKeyEvent *event)
{
    const char32_t typed = typedCharacter(event);
    if (typed != 0 && m_keyFilter) {
        const char32_t let = m_keyFilter(typed);
        if (let != typed) {
            if (let != 0)
                insert(QString::fromUcs4(&let, 1));
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void NumberField::mouseReleaseEvent(QMouseEvent *event)
{
    QLineEdit::mouseReleaseEvent(event);
    emit clicked();
}
