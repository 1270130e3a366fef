// When an entry of the site box counts as chosen from its list, from the combo box's
// notifications alone, whatever order Windows sends them in.
//
// Only a choice from the list runs the site selection, once: an arrow key while the list is
// closed, a click on an entry of the opened list (even the entry it opened on), or closing
// the opened list on an entry other than the one it opened on (the arrow keys, then Return).
// Moving through the opened list, typing into the text area, Escape, or opening and closing
// the list on the same entry choose nothing.
//
// Windows does not say in which order it sends the notifications of one close-up (the
// selection change may come before or after CBN_CLOSEUP, and it comes only when the
// selection changed), so the opened list is judged once the close-up is over: the window
// posts itself a message at CBN_CLOSEUP and calls listClosed when it arrives, after every
// notification that the close-up sent.
#pragma once

namespace win32 {

class SiteChoice
{
public:
    // A notification of the site box (CBN_...) with the entry then selected (-1 for none);
    // true when the site selection is to run at once, for that entry.
    bool notified(int notification, int selected);
    // While a click on an entry of the opened list is being handled.
    void clicking(bool on) { m_clicking = on; }
    // The close-up is over; true when the site selection is to run now, for the entry
    // selected.
    bool listClosed(int selected);

private:
    // From CBN_DROPDOWN until listClosed: a selection change belongs to the opened list.
    bool m_open = false;
    int m_atOpening = -1;
    bool m_clicking = false;
    // What the close-up has said so far: the selection accepted (CBN_SELENDOK), and that it
    // closed during a click on an entry.
    bool m_accepted = false;
    bool m_clicked = false;
};

} // namespace win32
