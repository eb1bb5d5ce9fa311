// command_router.cpp: lookup of handlers and update handlers along the command chain.
#include "shell/command_router.hpp"

namespace tessaly {

void CommandTarget::onCommand(int id, Handler handler, UpdateHandler update)
{
    Entry& entry = m_entries[id];
    entry.handler = std::move(handler);
    if (update)
        entry.update = std::move(update);
}

void CommandTarget::onUpdate(int id, UpdateHandler update)
{
    m_entries[id].update = std::move(update);
}

const CommandTarget::Handler* CommandTarget::findHandler(int id) const
{
    const auto found = m_entries.find(id);
    return found != m_entries.end() && found->second.handler ? &found->second.handler : nullptr;
}

const CommandTarget::UpdateHandler* CommandTarget::findUpdate(int id) const
{
    const auto found = m_entries.find(id);
    return found != m_entries.end() && found->second.update ? &found->second.update : nullptr;
}

CommandState CommandRouter::state(int id) const
{
    const std::vector<CommandTarget*> chain = m_chain();
    CommandState state;
    for (const CommandTarget* target : chain) {
        if (!target)
            continue;
        if (const auto* update = target->findUpdate(id)) {
            (*update)(state);
            return state;
        }
    }
    // Nobody gives a state: a command nobody handles cannot be chosen.
    state.enabled = false;
    for (const CommandTarget* target : chain) {
        if (target && target->findHandler(id)) {
            state.enabled = true;
            break;
        }
    }
    return state;
}

bool CommandRouter::dispatch(int id) const
{
    // A shortcut can arrive before the idle update has disabled its action.
    if (!state(id).enabled)
        return false;
    for (CommandTarget* target : m_chain()) {
        if (!target)
            continue;
        if (const auto* handler = target->findHandler(id)) {
            (*handler)();
            return true;
        }
    }
    return false;
}

} // namespace tessaly
