// What the standard controls do by themselves and the window must change: the current-
// number field's filters, and telling a click on a combo box's list from other ways of
// closing it.
#pragma once

#include "win32/site_choice.h"

#include "window/form1.h"

#include <windows.h>

namespace win32 {

// Each typed character passes the window's key filter before it reaches the field; a paste
// that would leave anything but digits, or more of them than the field takes, is refused
// whole; a click selects the whole number.
void filterNumberField(HWND field, window::Form1 &form);

// Tells choice while an entry of the combo box's opened list is clicked, for as long as the
// list handles the click (the combo box reports the choice meanwhile).
void watchListClicks(HWND comboBox, SiteChoice &choice);

} // namespace win32
