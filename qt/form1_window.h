// The main window "Pro Tagwright" in Qt Widgets: it builds its controls from the window's
// control table, lets the handlers of window::Form1 and developer::DeveloperPanel reach
// them, and routes every event of the wiring table to its handler. It decides nothing.
#pragma once

#include "developer/developer_panel.h"
#include "window/control_table.h"
#include "window/controls.h"
#include "window/form1.h"

#include <QFont>
#include <QWidget>

#include <array>

namespace reader {
class ReaderLibrary;
}

class Form1Window : public QWidget, public window::Controls, public developer::PanelControls
{
    Q_OBJECT

public:
    explicit Form1Window(reader::ReaderLibrary &library, QWidget *parent = nullptr);

    static QFont fontFor(const window::FontSpec &spec);

    // window::Controls
    std::string text(window::ControlId id) const override;
    void setText(window::ControlId id, std::string_view text) override;
    void setSelection(window::ControlId id, int start, int length) override;
    void setCaption(window::ControlId id, std::string_view caption) override;
    // The status line, for the window's handlers and the panel's alike.
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

protected:
    // The platform's own close command: the window's unload step, once no command runs.
    void closeEvent(QCloseEvent *event) override;

private:
    void build();
    void route();
    QWidget *widget(window::ControlId id) const { return m_widgets[static_cast<std::size_t>(id)]; }

    std::array<QWidget *, window::kControlCount> m_widgets{};
    window::Form1 m_form;
    developer::DeveloperPanel m_panel;
};
