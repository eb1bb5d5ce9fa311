// command_router_test.cpp: which target handles a command, and where its state comes from.
#include "shell/command_router.hpp"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tessaly {
namespace {

constexpr int kId = 100;

// Four targets standing for the pane, the document, the frame and the application; each one
// writes its name into the log when its handler or update handler runs.
struct Chain {
    CommandTarget pane, document, frame, app;
    bool paneActive = true;
    std::vector<std::string> log;

    CommandRouter router()
    {
        return CommandRouter([this] {
            return std::vector<CommandTarget*> { paneActive ? &pane : nullptr, &document, &frame, &app };
        });
    }
    CommandTarget& target(const std::string& name)
    {
        return name == "pane" ? pane : name == "document" ? document : name == "frame" ? frame : app;
    }
    void handle(const std::string& name)
    {
        target(name).onCommand(kId, [this, name] { log.push_back(name); });
    }
    void update(const std::string& name, bool enabled, std::optional<bool> checked = std::nullopt)
    {
        target(name).onUpdate(kId, [this, name, enabled, checked](CommandState& state) {
            log.push_back(name + " update");
            state.Enable(enabled);
            if (checked)
                state.SetCheck(*checked);
        });
    }
};

struct RouteCase {
    const char* what;
    std::vector<const char*> handlers;
    bool paneActive;
    const char* expected; // "" when nobody takes it
};

TEST(CommandRouterTest, FirstHandlerAlongTheChainTakesTheCommand)
{
    const RouteCase cases[] = {
        { "pane before document", { "pane", "document", "frame", "app" }, true, "pane" },
        { "inactive pane is skipped", { "pane", "document" }, false, "document" },
        { "document before frame", { "document", "frame", "app" }, true, "document" },
        { "frame before application", { "frame", "app" }, true, "frame" },
        { "application last", { "app" }, true, "app" },
        { "pane-only command without the pane", { "pane" }, false, "" },
        { "nobody", {}, true, "" },
    };
    for (const RouteCase& c : cases) {
        SCOPED_TRACE(c.what);
        Chain chain;
        chain.paneActive = c.paneActive;
        for (const char* name : c.handlers)
            chain.handle(name);
        const bool taken = chain.router().dispatch(kId);
        EXPECT_EQ(taken, *c.expected != '\0');
        const std::vector<std::string> expected
            = *c.expected ? std::vector<std::string> { c.expected } : std::vector<std::string> {};
        EXPECT_EQ(chain.log, expected);
    }
}

TEST(CommandRouterTest, StateComesFromTheFirstUpdateHandler)
{
    Chain chain;
    chain.handle("document");
    chain.update("frame", false, true);
    chain.update("app", true, false);
    const CommandState state = chain.router().state(kId);
    EXPECT_FALSE(state.enabled);
    ASSERT_TRUE(state.checked.has_value());
    EXPECT_TRUE(*state.checked);
    EXPECT_EQ(chain.log, std::vector<std::string> { "frame update" });
}

TEST(CommandRouterTest, WithoutUpdateHandlerAHandledCommandIsEnabledAndUnchecked)
{
    Chain chain;
    chain.handle("app");
    const CommandState state = chain.router().state(kId);
    EXPECT_TRUE(state.enabled);
    EXPECT_FALSE(state.checked.has_value());
}

TEST(CommandRouterTest, CommandNobodyHandlesIsDisabled)
{
    Chain chain;
    EXPECT_FALSE(chain.router().state(kId).enabled);
    chain.handle("pane");
    chain.paneActive = false;
    EXPECT_FALSE(chain.router().state(kId).enabled);
    chain.paneActive = true;
    EXPECT_TRUE(chain.router().state(kId).enabled);
}

TEST(CommandRouterTest, DisabledCommandIsNotCarriedOut)
{
    Chain chain;
    chain.handle("document");
    chain.update("frame", false);
    EXPECT_FALSE(chain.router().dispatch(kId));
    EXPECT_EQ(chain.log, std::vector<std::string> { "frame update" });
}

TEST(CommandRouterTest, HandlerAndUpdateRegisteredTogetherStayTogether)
{
    Chain chain;
    bool enabled = false;
    int runs = 0;
    chain.frame.onCommand(
        kId, [&] { ++runs; }, [&](CommandState& state) { state.Enable(enabled); });
    EXPECT_FALSE(chain.router().dispatch(kId));
    enabled = true;
    EXPECT_TRUE(chain.router().dispatch(kId));
    EXPECT_EQ(runs, 1);
    // Registering the handler again keeps the update handler.
    chain.frame.onCommand(kId, [&] { runs += 10; });
    enabled = false;
    EXPECT_FALSE(chain.router().dispatch(kId));
    EXPECT_EQ(runs, 1);
}

} // namespace
} // namespace tessaly
