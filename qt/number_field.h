// The current-number field as a toolkit control: it hands each typed character to a filter
// before the character reaches the text, takes any change (typed, pasted or dropped) only
// when a check accepts the whole text it would leave, takes no edit at all while it is told
// that none may be made, and reports a click with the mouse.
// What the filter and the check decide is not its business. It is given no maximum length:
// QLineEdit cuts inserted text to that length before any check sees it, so a paste too long
// for the field would go in cut; the check's limit is the only one.
#pragma once

#include <QLineEdit>

#include <functional>
#include <string_view>

class NumberField : public QLineEdit
{
    Q_OBJECT

public:
    // The character to let in instead of the typed one, or 0 to discard it.
    using KeyFilter = std::function<char32_t(char32_t typed)>;
    using TextCheck = bool (*)(std::string_view text);

    NumberField(TextCheck acceptsWhole, QWidget *parent);
    void setKeyFilter(KeyFilter filter) { m_keyFilter = std::move(filter); }
    // Asked before each event that would edit the text. (Not a check of the validator's: Qt
    // remembers the validator's answer on a text set by the program, and lets the next edit
    // through whatever it leaves where that answer was no.)
    void setEditable(std::function<bool()> editable) { m_editable = std::move(editable); }

signals:
    void clicked();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    KeyFilter m_keyFilter;
    std::function<bool()> m_editable;
};
