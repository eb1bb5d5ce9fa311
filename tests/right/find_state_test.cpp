// find_state_test.cpp: Find Next over the tables: order, position, Up reversal and cut, kinds, passed-over entries,
// relayouts.
#include "right/find_state.hpp"
#include "right/right_layout.hpp"
#include "right_fixtures.hpp"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace tessaly;
using tessaly::testing::BuiltModel;
using tessaly::testing::MemoryTree;

// Sections in address order: sys_init, DATA, data_and_data, zero_data (size 0, omitted by
// default); free areas between them. Labels by value: start_data and init_data in sys_init, a
// local data_local in sys_init, x*1 and y*2 in DATA, zdata above the address space.
struct FindProgram {
    BuiltModel built;
    std::string longName;

    FindProgram()
    {
        MemoryTree& t = *built.tree;
        IeSection* init = built.section("sys_init", 0x1000, 0x100);
        IeSection* data = built.section("DATA", 0x2000, 0x80, kSectionTypeData);
        IeSection* both = built.section("data_and_data", 0x3000, 0x40, kSectionTypeData);
        IeSection* zero = built.section("zero_data", 0x4000, 0, kSectionTypeData);
        longName = std::string(1100, 'q') + "needle";
        built.section(longName.c_str(), 0x5000, 0x10);
        IeModule* mod = t.module("mod");
        t.part(mod, init, 0x1000, 0x100);
        t.part(mod, data, 0x2000, 0x80);
        t.part(mod, both, 0x3000, 0x40);
        t.part(mod, zero, 0x4000, 0);
        t.global("start_data", 0x1000);
        t.global("init_data", 0x1004);
        t.local(mod, "data_local", 0x1008);
        t.global("x*1", 0x2000);
        t.global("y*2", 0x2004);
        // Above the 24-bit address space: counted for no entry, so it gets no row.
        t.global("zdata", 0x2000000);
        built.build();
        renumber();
    }

    MapModel& model() { return *built.model; }
    void renumber() { NumberRows(model()); }
};

// The name of the entry a state points at, for the kind it searched.
std::string nameAt(const MapModel& model, const FindState& state)
{
    const auto i = static_cast<size_t>(state.foundEntry);
    if (state.foundKind == SearchLabel)
        return model.LabelTable.at(i).name;
    if (state.foundInModuleTable)
        return model.ModuleSectionTable.at(i).record->section->name;
    return model.SectionTable.at(i).record->name;
}

FindRequest request(
    const char* text, int32_t kind, int32_t direction = SearchDown, bool matchCase = false, bool wildCard = false)
{
    return { text, matchCase, wildCard, direction, kind };
}

// The request of a typed text that holds a character no name byte stands for: it has no bytes.
FindRequest unrepresentable(int32_t kind)
{
    FindRequest made = request("", kind);
    made.representable = false;
    return made;
}

struct Step {
    FindRequest request;
    FindOutcome outcome;
    const char* name; // the matched name, unchecked when null
    int32_t offset;
    int32_t length;
};

void runSteps(const MapModel& model, FindState& state, const std::vector<Step>& steps)
{
    for (size_t n = 0; n < steps.size(); ++n) {
        const Step& step = steps[n];
        SCOPED_TRACE("step " + std::to_string(n + 1) + ": " + step.request.text);
        const FindState before = state;
        ASSERT_EQ(FindNext(model, state, step.request), step.outcome);
        if (step.outcome == FindOutcome::CantFind && step.request.kind == before.foundKind) {
            EXPECT_EQ(state.foundLine, before.foundLine);
            EXPECT_EQ(state.foundEntry, before.foundEntry);
            EXPECT_EQ(state.foundOffset, before.foundOffset);
            EXPECT_EQ(state.foundLength, before.foundLength);
        }
        if (step.outcome != FindOutcome::Found)
            continue;
        if (step.name) {
            EXPECT_EQ(nameAt(model, state), step.name);
        }
        EXPECT_EQ(state.foundOffset, step.offset);
        EXPECT_EQ(state.foundLength, step.length);
        EXPECT_GE(state.foundLine, 1);
    }
}

TEST(FindNext, SectionSearchDownwards)
{
    struct Case {
        const char* label;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        { "case folded: every data, then the same name further on, then no wrap",
            {
                { request("data", SearchSection), FindOutcome::Found, "DATA", 0, 4 },
                { request("data", SearchSection), FindOutcome::Found, "data_and_data", 0, 4 },
                { request("data", SearchSection), FindOutcome::Found, "data_and_data", 9, 4 },
                { request("data", SearchSection), FindOutcome::CantFind, nullptr, 0, 0 },
                { request("data", SearchSection), FindOutcome::CantFind, nullptr, 0, 0 },
            } },
        { "match case: data does not find DATA",
            {
                { request("data", SearchSection, SearchDown, true), FindOutcome::Found, "data_and_data", 0, 4 },
            } },
        { "the search goes on one character after the match",
            {
                { request("a", SearchSection, SearchDown, true), FindOutcome::Found, "data_and_data", 1, 1 },
                { request("a", SearchSection, SearchDown, true), FindOutcome::Found, "data_and_data", 3, 1 },
                { request("a", SearchSection, SearchDown, true), FindOutcome::Found, "data_and_data", 5, 1 },
            } },
        { "wild card",
            { { request("*init", SearchSection, SearchDown, true, true), FindOutcome::Found, "sys_init", 0, 8 } } },
        { "omitted zero-size section is passed over",
            { { request("zero", SearchSection), FindOutcome::CantFind, nullptr, 0, 0 } } },
        { "names are searched in their first 1024 characters",
            { { request("needle", SearchSection), FindOutcome::CantFind, nullptr, 0, 0 } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        FindProgram program;
        FindState state;
        runSteps(program.model(), state, c.steps);
    }
}

TEST(FindNext, UpwardsReversesAndCuts)
{
    struct Case {
        const char* label;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        { "at the start position Up finds nothing at once",
            { { request("data", SearchSection, SearchUp), FindOutcome::CantFind, nullptr, 0, 0 } } },
        { "Down then Up finds the previous match, then earlier names, then stops",
            {
                { request("data", SearchSection), FindOutcome::Found, "DATA", 0, 4 },
                { request("data", SearchSection), FindOutcome::Found, "data_and_data", 0, 4 },
                { request("data", SearchSection), FindOutcome::Found, "data_and_data", 9, 4 },
                { request("data", SearchSection, SearchUp), FindOutcome::Found, "data_and_data", 0, 4 },
                { request("data", SearchSection, SearchUp), FindOutcome::Found, "DATA", 0, 4 },
                { request("data", SearchSection, SearchUp), FindOutcome::CantFind, nullptr, 0, 0 },
            } },
        { "Up finds the last match in a name",
            {
                { request("sys", SearchSection), FindOutcome::Found, "sys_init", 0, 3 },
                { request("data", SearchSection, SearchUp), FindOutcome::CantFind, nullptr, 0, 0 },
                { request("data", SearchSection), FindOutcome::Found, "DATA", 0, 4 },
                { request("data", SearchSection), FindOutcome::Found, "data_and_data", 0, 4 },
                { request("_", SearchSection, SearchDown, true), FindOutcome::Found, "data_and_data", 4, 1 },
                { request("_", SearchSection, SearchDown, true), FindOutcome::Found, "data_and_data", 8, 1 },
                // The cut ends before the last character of the match: "data_and" is searched.
                { request("a", SearchSection, SearchUp, true), FindOutcome::Found, "data_and_data", 5, 1 },
                { request("a", SearchSection, SearchUp, true), FindOutcome::Found, "data_and_data", 3, 1 },
            } },
        { "Up with a wild card keeps escapes with their character",
            {
                { request("\\*", SearchLabel, SearchDown, true, true), FindOutcome::Found, "x*1", 1, 1 },
                { request("\\*", SearchLabel, SearchDown, true, true), FindOutcome::Found, "y*2", 1, 1 },
                { request("\\*", SearchLabel, SearchUp, true, true), FindOutcome::Found, "x*1", 1, 1 },
            } },
        { "Up with a star: from the last anchor to the end",
            {
                { request("d", SearchSection, SearchDown, true), FindOutcome::Found, "data_and_data", 0, 1 },
                { request("d", SearchSection, SearchDown, true), FindOutcome::Found, "data_and_data", 7, 1 },
                { request("d", SearchSection, SearchDown, true), FindOutcome::Found, "data_and_data", 9, 1 },
                // Cut after 9 characters: "data_and_"; reversed "_dna_atad", pattern "*d".
                { request("d*", SearchSection, SearchUp, true, true), FindOutcome::Found, "data_and_data", 7, 2 },
            } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        FindProgram program;
        FindState state;
        runSteps(program.model(), state, c.steps);
    }
}

TEST(FindNext, LabelsAndKinds)
{
    struct Case {
        const char* label;
        bool local;
        bool omitZero;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        { "global labels in table order, the local one passed over", false, true,
            {
                { request("data", SearchLabel), FindOutcome::Found, "start_data", 6, 4 },
                { request("data", SearchLabel), FindOutcome::Found, "init_data", 5, 4 },
                { request("data", SearchLabel), FindOutcome::CantFind, nullptr, 0, 0 },
            } },
        { "with local information the local label is found", true, true,
            {
                { request("data_", SearchLabel), FindOutcome::Found, "data_local", 0, 5 },
            } },
        { "a label without a row is passed over", false, true,
            { { request("zdata", SearchLabel), FindOutcome::CantFind, nullptr, 0, 0 } } },
        { "nor while zero-size sections are listed", false, false,
            { { request("zdata", SearchLabel), FindOutcome::CantFind, nullptr, 0, 0 } } },
        { "changing the kind restarts the search", false, true,
            {
                { request("data", SearchSection), FindOutcome::Found, "DATA", 0, 4 },
                { request("data", SearchSection), FindOutcome::Found, "data_and_data", 0, 4 },
                { request("data", SearchLabel), FindOutcome::Found, "start_data", 6, 4 },
                { request("data", SearchSection), FindOutcome::Found, "DATA", 0, 4 },
            } },
        { "local sections are named by their owning section", true, true,
            {
                { request("data", SearchSection), FindOutcome::Found, "DATA", 0, 4 },
                { request("data", SearchSection), FindOutcome::Found, "data_and_data", 0, 4 },
            } },
        { "function and .EQU search nothing", false, true,
            {
                { request("data", SearchFunction), FindOutcome::Ignored, nullptr, 0, 0 },
                { request("data", SearchEqu), FindOutcome::Ignored, nullptr, 0, 0 },
            } },
        { "empty text does nothing", false, true,
            { { request("", SearchSection), FindOutcome::Ignored, nullptr, 0, 0 } } },
        { "a text with a character no byte stands for finds nothing", false, true,
            {
                { request("data", SearchLabel), FindOutcome::Found, "start_data", 6, 4 },
                { unrepresentable(SearchLabel), FindOutcome::CantFind, nullptr, 0, 0 },
                { unrepresentable(SearchEqu), FindOutcome::Ignored, nullptr, 0, 0 },
            } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        FindProgram program;
        program.model().ShowLocalInformation = c.local;
        program.model().OmitZeroSizeSections = c.omitZero;
        program.renumber();
        FindState state;
        runSteps(program.model(), state, c.steps);
    }
}

TEST(FindNext, KindsThatSearchNothingStillResetThePosition)
{
    FindProgram program;
    FindState state;
    ASSERT_EQ(FindNext(program.model(), state, request("data", SearchSection)), FindOutcome::Found);
    ASSERT_NE(state.foundLine, 0);

    FindState unchanged = state;
    EXPECT_EQ(FindNext(program.model(), unchanged, request("", SearchEqu)), FindOutcome::Ignored);
    EXPECT_EQ(unchanged.foundKind, SearchSection) << "empty text leaves even the kind";

    EXPECT_EQ(FindNext(program.model(), state, request("data", SearchFunction)), FindOutcome::Ignored);
    EXPECT_EQ(state.foundKind, SearchFunction);
    EXPECT_EQ(state.foundLine, 0);
    EXPECT_EQ(state.foundOffset, -1);
    EXPECT_EQ(state.foundEntry, 0);
}

TEST(FindNext, MatchFlags)
{
    struct Case {
        bool matchCase;
        bool wildCard;
        int flags;
    };
    const Case cases[] = { { true, false, 0 }, { false, false, 1 }, { true, true, 2 }, { false, true, 3 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.flags));
        EXPECT_EQ(MatchFlagsFor({ "x", c.matchCase, c.wildCard, SearchDown, SearchLabel }), c.flags);
    }
}

TEST(TopLineForMatch, MovesOnlyWhenTheLineIsOffThePage)
{
    struct Case {
        int32_t found;
        int32_t top;
        int32_t page;
        int32_t expected;
    };
    const Case cases[] = {
        { 5, 1, 10, 1 },
        { 11, 1, 10, 1 },
        { 12, 1, 10, 12 },
        { 3, 4, 10, 3 },
        { 4, 4, 10, 4 },
        { 100, 4, 10, 100 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.found) + " top " + std::to_string(c.top));
        EXPECT_EQ(TopLineForMatch(c.found, c.top, c.page), c.expected);
    }
}

TEST(FollowRelayout, TheHighlightFollowsItsNameOrTheSearchRestarts)
{
    struct Case {
        const char* label;
        FindRequest request;
        bool localBefore;
        bool local;
        bool equs;
        bool omitZero;
        bool tablesChanged;
        bool kept;
    };
    const Case cases[] = {
        { "section match, other options: follows", request("data_and", SearchSection), false, false, true, false, false,
            true },
        { "section match, local list: restarts", request("data_and", SearchSection), false, true, false, true, false,
            false },
        { "label match, local list: follows", request("init_data", SearchLabel), false, true, false, true, false,
            true },
        { "new tables: restarts", request("data_and", SearchSection), false, false, false, true, true, false },
        { "local label, local list off: restarts", request("data_local", SearchLabel), true, false, false, true, false,
            false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        FindProgram program;
        MapModel& model = program.model();
        model.OmitZeroSizeSections = false;
        model.ShowLocalInformation = c.localBefore;
        program.renumber();
        FindState state;
        ASSERT_EQ(FindNext(model, state, c.request), FindOutcome::Found);
        const std::string name = nameAt(model, state);
        const int32_t entry = state.foundEntry;

        model.ShowLocalInformation = c.local;
        model.ShowEquList = c.equs;
        model.OmitZeroSizeSections = c.omitZero;
        program.renumber();
        FollowRelayout(model, state, c.tablesChanged);
        if (c.kept) {
            EXPECT_EQ(state.foundEntry, entry);
            EXPECT_EQ(nameAt(model, state), name);
            const int32_t line = c.request.kind == SearchLabel
                ? model.LabelTable[static_cast<size_t>(entry)].line
                : model.SectionTable[static_cast<size_t>(entry)].startLine;
            EXPECT_EQ(state.foundLine, line);
        } else {
            EXPECT_EQ(state.foundLine, 0);
            EXPECT_EQ(state.foundEntry, 0);
            EXPECT_EQ(state.foundOffset, -1);
        }
    }
}

} // namespace
