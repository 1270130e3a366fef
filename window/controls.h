// What the window's handlers do with the controls, and all they do with them: each front
// end implements this over its own toolkit's controls.
#pragma once

#include "window/control_table.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace window {

struct Rgb
{
    uint8_t red;
    uint8_t green;
    uint8_t blue;
    friend constexpr bool operator==(Rgb, Rgb) = default;
};

class Controls
{
public:
    virtual ~Controls() = default;

    // The text of a text box, or of a combo box's text area. Texts are UTF-8.
    virtual std::string text(ControlId id) const = 0;
    // Setting the current-number field's text runs the window's change step at once, from
    // the toolkit's own change event, before setText returns.
    virtual void setText(ControlId id, std::string_view text) = 0;
    virtual void setSelection(ControlId id, int start, int length) = 0;
    // A button's caption; lines are separated by CR LF.
    virtual void setCaption(ControlId id, std::string_view caption) = 0;

    // The status line: its whole text is replaced, never appended to.
    virtual void setStatus(std::string_view text) = 0;
    virtual void setStatusColour(Rgb colour) = 0;

    // A combo box's selected list position; -1 while no entry is selected.
    virtual int selectedPosition(ControlId id) const = 0;
    virtual void giveFocus(ControlId id) = 0;

    // A modal message box with an OK button alone and no icon; returns once it is dismissed.
    virtual void showMessage(std::string_view title, std::string_view text) = 0;

    // Ends the program at once: the window is not closed, so its unload step never runs.
    virtual void endProgram() = 0;
    // Closes the window as its close box does: the unload step runs, and the program ends.
    virtual void closeWindow() = 0;
    // The pointer shows that the program is busy, or no longer.
    virtual void showBusy(bool busy) = 0;
};

} // namespace window
