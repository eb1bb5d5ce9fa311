// command_router.hpp: command targets with handler and update handler side by side, and the router along the chain.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace tessaly {

// What an update handler says about a command: enabled, and checked when it sets a check.
struct CommandState {
    bool enabled = true;
    std::optional<bool> checked {};

    void Enable(bool on = true) { enabled = on; }
    void SetCheck(bool on) { checked = on; }
};

// Something that can handle commands: a pane, the document, the frame or the application.
class CommandTarget {
public:
    using Handler = std::function<void()>;
    using UpdateHandler = std::function<void(CommandState&)>;

    virtual ~CommandTarget() = default;

    // Registers the handler of a command and, beside it, the handler that gives its state.
    void onCommand(int id, Handler handler, UpdateHandler update = {});
    // A state without a handler: the command is carried out further along the chain.
    void onUpdate(int id, UpdateHandler update);

    const Handler* findHandler(int id) const;
    const UpdateHandler* findUpdate(int id) const;

private:
    struct Entry {
        Handler handler;
        UpdateHandler update;
    };
    std::map<int, Entry> m_entries;
};

// Sends a command along the chain (active pane, document, frame, application): the first
// target with a handler takes it. The state comes from the first target with an update
// handler; without one a command is enabled when some target handles it.
class CommandRouter {
public:
    using Chain = std::function<std::vector<CommandTarget*>()>;

    explicit CommandRouter(Chain chain)
        : m_chain(std::move(chain))
    {
    }

    CommandState state(int id) const;
    // Carries out the command if it is enabled; false when nobody took it.
    bool dispatch(int id) const;

private:
    Chain m_chain;
};

} // namespace tessaly
