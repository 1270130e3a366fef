// The window's handlers over recording controls instead of a toolkit's, bound to the reader
// library as the program binds it. What the handlers show the operator (status texts,
// messages, focus, selection, the end of the program) is logged in order, so that a test
// can tell what a handler did and what it left alone.
#pragma once

#include "window/form1.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

class FakeWindow : public window::Controls
{
public:
    using Id = window::ControlId;

    explicit FakeWindow(reader::LibraryFiles files = reader::defaultLibraryFiles())
        : m_library(std::move(files)), m_form(*this, m_library)
    {
        for (const window::Control &c : window::kControls)
            m_texts[c.id] = c.text;
        m_form.load();
    }

    std::string text(Id id) const override { return m_texts.at(id); }
    // The current-number field's change event comes at once, inside setText, as a
    // toolkit's does.
    void setText(Id id, std::string_view text) override
    {
        m_texts[id] = text;
        if (id == Id::txtCurrentNo)
            m_form.currentNumberChanged();
    }
    void setSelection(Id id, int start, int length) override
    {
        m_log.push_back(name(id) + " " + std::to_string(start) + "+" + std::to_string(length));
    }
    void setCaption(Id id, std::string_view caption) override { m_texts[id] = caption; }
    void setStatus(std::string_view text) override { m_log.push_back(m_texts[Id::opList] = text); }
    void setStatusColour(window::Rgb colour) override { m_colour = colour; }
    int selectedPosition(Id id) const override { return id == Id::cboComPort ? m_port : -1; }
    void giveFocus(Id id) override { m_log.push_back("focus " + name(id)); }
    void showMessage(std::string_view title, std::string_view text) override
    {
        m_log.push_back(std::string(title) + ": " + std::string(text));
    }
    void endProgram() override { m_log.push_back("end"); }
    void closeWindow() override { m_log.push_back("close"); }
    void showBusy(bool busy) override { m_busy = busy; }

    reader::ReaderLibrary m_library;
    window::Form1 m_form;
    std::map<Id, std::string> m_texts;
    int m_port = -1; // the port list's selected position
    std::optional<window::Rgb> m_colour;
    std::vector<std::string> m_log;
    bool m_busy = false;

private:
    static std::string name(Id id) { return std::string(window::control(id).name); }
};
