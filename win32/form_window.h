// The main window "Pro Tagwright" on Windows' own controls. It builds the controls from the
// shared control table, gives the window's and the developer panel's handlers the
// controls they work on, and routes each notification to its handler.
#pragma once

#include "win32/accessible_names.h"
#include "win32/control_building.h"
#include "win32/site_choice.h"
#include "win32/window_icon.h"

#include "developer/developer_panel.h"
#include "window/form1.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

namespace win32 {

class FormWindow final : public window::Controls, public developer::PanelControls
{
public:
    explicit FormWindow(reader::ReaderLibrary &library);
    ~FormWindow() override;
    FormWindow(const FormWindow &) = delete;
    FormWindow &operator=(const FormWindow &) = delete;

    // Creates the window and its controls and runs the load step; false when the window
    // cannot be made.
    bool create();
    void show(int showCommand);
    HWND handle() const { return m_window; }

    // Keys that the dialog manager would handle otherwise than the window wants: true when
    // the message has been dealt with.
    bool preTranslate(const MSG &message);

    // window::Controls
    std::string text(window::ControlId id) const override;
    void setText(window::ControlId id, std::string_view text) override;
    void setSelection(window::ControlId id, int start, int length) override;
    void setCaption(window::ControlId id, std::string_view caption) override;
    void setStatus(std::string_view text) override;
    void setStatusColour(window::Rgb colour) override;
    int selectedPosition(window::ControlId id) const override;
    void giveFocus(window::ControlId id) override;
    void showMessage(std::string_view title, std::string_view text) override;
    void endProgram() override;
    void closeWindow() override;
    void showBusy(bool busy) override;

    // developer::PanelControls
    void setWordText(uint8_t wordAddress, std::string_view text) override;

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void command(window::ControlId id, int notification);
    void siteListNotification(int notification);
    void siteEntryChosen();
    // Whether the unload step has run, running it if it may run now.
    bool unload();
    void dpiChanged(UINT dpi, const RECT &suggested);
    void nameControls();
    HWND control(window::ControlId id) const;

    window::Form1 m_form;
    developer::DeveloperPanel m_panel;

    HWND m_window = nullptr;
    ControlWindows m_controls{};
    UINT m_dpi = USER_DEFAULT_SCREEN_DPI;
    std::unique_ptr<Fonts> m_fonts;
    WindowIcon m_icon;
    AccessibleNames m_names;
    // The status line's text colour; the system's window-text colour until a card write.
    std::optional<COLORREF> m_statusColour;
    // The control that had the focus when the window was last deactivated.
    HWND m_lastFocus = nullptr;
    // Notifications route to handlers only once the load step has run.
    bool m_loaded = false;
    bool m_unloaded = false;
    // While a command runs: the pointer shows the program busy over the whole window.
    bool m_busy = false;

    SiteChoice m_siteChoice;
    // While the site selection runs: the chosen entry, which the site box's text area may
    // not show yet.
    std::optional<std::string> m_chosenSite;
};

} // namespace win32
