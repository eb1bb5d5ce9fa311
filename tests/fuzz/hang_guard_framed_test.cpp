// hang_guard_framed_test.cpp: the framed-record skipping loops over 10 MB of filler finish in time linear in the file.
#include "hang_guard.hpp"
#include "support/framed_writer.hpp"

#include <gtest/gtest.h>
#include <vector>

namespace tessaly::testing::hang_guard {
namespace {

std::vector<Case> framedCases()
{
    using namespace framed;
    std::vector<Case> cases;
    auto start = [] {
        FramedWriter w;
        w.start({ .module = "prog", .cpu = "Cetus" });
        return w;
    };
    auto withDefinitions = [&] {
        FramedWriter w = start();
        w.module("m");
        w.sectionPart({ .name = "CODE", .start = 0, .size = 0x100 });
        w.moduleSelect(0);
        w.sourceFiles({ "t.c" });
        w.openBlock();
        return w;
    };
    auto append = [](FramedWriter w, const std::vector<uint8_t>& fill) {
        std::vector<uint8_t> bytes = w.bytes();
        bytes.insert(bytes.end(), fill.begin(), fill.end());
        return bytes;
    };
    {
        FramedWriter w = start();
        w.record(kSkippedGroup);
        cases.push_back(
            { "skipped group records", append(std::move(w), filler({ kSkippedFirst & 0x7F, 2 })), IE_READ_VIEWER });
    }
    {
        FramedWriter w = start();
        w.module("m");
        cases.push_back({ "records passed over in a module",
            append(std::move(w), filler({ kModuleExtra & 0x7F, 3, 0 })), IE_READ_VIEWER });
    }
    {
        // A definition of a kind the reader skips, then descriptions that only ever open.
        FramedWriter w = withDefinitions();
        w.record(kDefinition, FramedContent {}.byte(40));
        cases.push_back({ "balanced description skip", append(std::move(w), filler({ kDescriptionEnd & 0x7F, 3, 0 })),
            IE_READ_VIEWER });
    }
    {
        FramedWriter w = withDefinitions();
        cases.push_back(
            { "nested definition blocks", append(std::move(w), filler({ kBlock & 0x7F, 3, 1 })), IE_READ_VIEWER });
    }
    {
        // Records between definitions that are neither a definition nor a block.
        FramedWriter w = withDefinitions();
        cases.push_back(
            { "unknown records in a block", append(std::move(w), filler({ 0x7E, 4, 0xB4, 0xB2 })), IE_READ_VIEWER });
    }
    return cases;
}

TEST(HangGuard, FramedSkipsOverTenMegabytesEndWithACode)
{
    expectEachEndsWithACode(framedCases());
}

} // namespace
} // namespace tessaly::testing::hang_guard
