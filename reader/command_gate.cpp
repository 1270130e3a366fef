#include "reader/command_gate.h"

#include <utility>

namespace reader {

void CommandGate::run(const std::function<void()> &command)
{
    if (!open())
        return;
    ++m_running;
    m_showBusy(true);
    command();
    --m_running;
    m_showBusy(false);
    for (const auto &action : std::exchange(m_waiting, {}))
        action();
}

void CommandGate::afterCommand(std::function<void()> action)
{
    if (open())
        action();
    else
        m_waiting.push_back(std::move(action));
}

} // namespace reader
