#include "win32/site_choice.h"

#include <windows.h>

namespace win32 {

bool SiteChoice::notified(int notification, int selected)
{
    if (m_clicking)
        m_clicked = true;
    switch (notification) {
    case CBN_DROPDOWN:
        m_open = true;
        m_atOpening = selected;
        m_accepted = m_clicked = false;
        return false;
    case CBN_SELENDOK:
        m_accepted = true;
        return false;
    case CBN_SELCHANGE:
        // With the list closed only the arrow keys (or the wheel) change the selection.
        return !m_open;
    default:
        return false;
    }
}

bool SiteChoice::listClosed(int selected)
{
    if (!m_open)
        return false;
    m_open = false;
    return m_accepted && (m_clicked || selected != m_atOpening);
}

} // namespace win32
