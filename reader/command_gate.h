// The window's commands against a reader library that may run the program's event loop
// inside its calls, as makers' serial libraries do while they wait for the reader (a message
// loop of their own, or a message box without an owner): clicks, keys and the close box
// then reach the window while a call is inside the library. No command starts then; it is
// ignored, as a click on a button that is not there. The end of the program asked for
// meanwhile waits until the command in progress has ended, so that a card is written whole.
// The window's handlers and the developer panel's share the one gate of the library.
#pragma once

#include <functional>
#include <vector>

namespace reader {

class CommandGate
{
public:
    // Whether a command may start, or the window's state change: not while one runs.
    bool open() const { return m_running == 0; }
    // Runs a command that calls the library, if one may start now; then what waited for it.
    void run(const std::function<void()> &command);
    // Runs action now, or once the command that runs has ended.
    void afterCommand(std::function<void()> action);
    // Told true before a command and false after it: the window shows the busy pointer.
    void onBusy(std::function<void(bool busy)> showBusy) { m_showBusy = std::move(showBusy); }

private:
    int m_running = 0;
    std::vector<std::function<void()>> m_waiting;
    std::function<void(bool)> m_showBusy = [](bool) {
    };
};

} // namespace reader
