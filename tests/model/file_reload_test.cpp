// file_reload_test.cpp: when a changed file is read again, and what the model holds after reads that fail.
#include "file_reload.hpp"
#include "map_document.hpp"
#include "reload_policy.hpp"
#include "support/program_files.hpp"
#include "support/temp_file.hpp"

#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using tessaly::LastGoodBuild;
using tessaly::MapModel;
using tessaly::ReloadOutcome;
using tessaly::ReloadPolicy;
using Step = ReloadPolicy::Step;

// One event for the policy at a time in milliseconds, and the step it must answer.
struct PolicyEvent {
    enum Kind { Change, Timer, Failed, Succeeded } kind;
    int64_t at;
    Step expected;
};

struct PolicyCase {
    const char* name;
    std::vector<PolicyEvent> events;
};

TEST(ReloadPolicyTest, QuietPeriodAndSilentRetries)
{
    using E = PolicyEvent;
    const PolicyCase cases[] = {
        { "a change is read once quiet for 300 ms",
            { { E::Timer, 0, Step::Idle }, { E::Change, 0, Step::Wait }, { E::Timer, 299, Step::Wait },
                { E::Timer, 300, Step::Read }, { E::Succeeded, 301, Step::Idle }, { E::Timer, 900, Step::Idle } } },
        { "every change puts the read off",
            { { E::Change, 0, Step::Wait }, { E::Change, 200, Step::Wait }, { E::Timer, 300, Step::Wait },
                { E::Change, 450, Step::Wait }, { E::Timer, 700, Step::Wait }, { E::Timer, 750, Step::Read } } },
        { "failures are retried, then told once",
            { { E::Change, 0, Step::Wait }, { E::Timer, 300, Step::Read }, { E::Failed, 300, Step::Wait },
                { E::Timer, 500, Step::Wait }, { E::Timer, 600, Step::Read }, { E::Failed, 600, Step::Wait },
                { E::Timer, 900, Step::Read }, { E::Failed, 900, Step::Wait }, { E::Timer, 1200, Step::Read },
                { E::Failed, 1200, Step::Wait }, { E::Timer, 1500, Step::Read }, { E::Failed, 1500, Step::Report },
                { E::Timer, 1800, Step::Idle } } },
        { "a writer still at work starts the count again",
            { { E::Change, 0, Step::Wait }, { E::Timer, 300, Step::Read }, { E::Failed, 300, Step::Wait },
                { E::Timer, 600, Step::Read }, { E::Failed, 600, Step::Wait }, { E::Timer, 900, Step::Read },
                { E::Failed, 900, Step::Wait }, { E::Timer, 1200, Step::Read }, { E::Failed, 1200, Step::Wait },
                { E::Change, 1300, Step::Wait }, { E::Timer, 1600, Step::Read }, { E::Failed, 1600, Step::Wait },
                { E::Timer, 1900, Step::Read }, { E::Succeeded, 1900, Step::Idle } } },
    };
    for (const PolicyCase& c : cases) {
        SCOPED_TRACE(c.name);
        ReloadPolicy policy;
        for (size_t i = 0; i < c.events.size(); ++i) {
            SCOPED_TRACE(i);
            const PolicyEvent& e = c.events[i];
            Step got = Step::Idle;
            switch (e.kind) {
            case E::Change:
                got = policy.fileChanged(e.at);
                break;
            case E::Timer:
                got = policy.timerExpired(e.at);
                break;
            case E::Failed:
                got = policy.readFailed(e.at);
                break;
            case E::Succeeded:
                got = policy.readSucceeded();
                break;
            }
            EXPECT_EQ(static_cast<int>(got), static_cast<int>(e.expected));
        }
    }
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes, size_t length)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(length));
}

std::string firstSectionName(const MapModel& model)
{
    for (const auto& entry : model.SectionTable)
        if (entry.record->name)
            return entry.record->name;
    return {};
}

TEST(LastGoodBuildTest, ReloadKeepsTheShownBuildWhenTheNewBytesDoNotRead)
{
    const std::vector<uint8_t> first = tessaly::testing::smallProgram("Grus", "A");
    const std::vector<uint8_t> second = tessaly::testing::smallProgram("Grus", "B");
    const tessaly::testing::TempFile file(first);
    const std::string path = file.pathString();

    MapModel model;
    ASSERT_EQ(IE_readIEEE(path.c_str(), tessaly::readSelectionMask()), 0);
    tessaly::DetectCpuFamily(model);
    model.FileLoaded = true;
    LastGoodBuild kept;
    ASSERT_TRUE(kept.keep(path));

    struct Case {
        const char* name;
        const std::vector<uint8_t>* bytes; // null: the file is removed (length 0) or left alone
        size_t length;
        ReloadOutcome outcome;
        const char* shown; // the first section's name afterwards
    };
    const Case cases[] = {
        { "a rewrite is read", &second, second.size(), ReloadOutcome::Reloaded, "BCODE" },
        { "an untouched file is not read again", nullptr, 1, ReloadOutcome::Unchanged, "BCODE" },
        { "a truncated file keeps the build", &first, first.size() / 2, ReloadOutcome::Unreadable, "BCODE" },
        { "a removed file keeps the build", nullptr, 0, ReloadOutcome::Unreadable, "BCODE" },
        { "the file back again is read", &first, first.size(), ReloadOutcome::Reloaded, "ACODE" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.bytes)
            writeFile(path, *c.bytes, c.length);
        else if (c.length == 0)
            std::filesystem::remove(path);
        const tessaly::ReloadResult result = kept.reload(model, path);
        EXPECT_EQ(static_cast<int>(result.outcome), static_cast<int>(c.outcome));
        EXPECT_EQ(result.rebuilt, c.outcome != ReloadOutcome::Unchanged);
        EXPECT_TRUE(model.FileLoaded);
        EXPECT_EQ(firstSectionName(model), c.shown);
        // A refusal carries the reader's own text for the real file.
        if (c.outcome == ReloadOutcome::Unreadable)
            EXPECT_EQ(result.message.rfind(path, 0), 0u) << result.message;
        else
            EXPECT_TRUE(result.message.empty());
    }
}

} // namespace
