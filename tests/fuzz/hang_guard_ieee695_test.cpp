// hang_guard_ieee695_test.cpp: the IEEE-695 skipping loops over 10 MB of filler finish in time linear in the file.
#include "hang_guard.hpp"
#include "support/ieee695_writer.hpp"

#include <gtest/gtest.h>
#include <vector>

namespace tessaly::testing::hang_guard {
namespace {

std::vector<Case> ieee695Cases()
{
    std::vector<Case> cases;
    {
        // Block type 4 opened inside type 3 over and over: the depth only grows.
        Ieee695Writer w;
        w.header("Grus", "p");
        w.debug().bb3("NESTMARK").end();
        cases.push_back({ "nested blocks", fillAfter(w.bytes(), "NESTMARK", filler({ 0xF8, 0x04, 0, 0, 0, 0, 0 })),
            IE_READ_VIEWER });
    }
    {
        // An attribute record inside a skipped block: skip to the next record code.
        Ieee695Writer w;
        w.header("Grus", "p");
        w.debug().bb3("ATNMARK").raw({ 0xF1 }).end();
        cases.push_back(
            { "skip to the next record code", fillAfter(w.bytes(), "ATNMARK\xF1", nonRecordFiller()), IE_READ_VIEWER });
    }
    {
        // Nested blocks of type 5 inside type 5, each header ended by a skip.
        Ieee695Writer w;
        w.header("Grus", "p");
        w.debug().bb5("FIVEMARK").end();
        cases.push_back({ "nested type-5 blocks",
            fillAfter(w.bytes(), "FIVEMARK", filler({ 0x00, 0xF8, 0x05, 0x00, 0x00 })), IE_READ_VIEWER });
    }
    {
        Ieee695Writer w;
        w.header("Grus", "p");
        w.debug().typeBlock("TYPEMARK").end();
        cases.push_back(
            { "type block passed over", fillAfter(w.bytes(), "TYPEMARK", nonRecordFiller()), IE_READ_VIEWER });
        cases.push_back({ "type block read", fillAfter(w.bytes(), "TYPEMARK", nonRecordFiller()), IE_READ_ALL });
    }
    {
        // A type record of a letter the reader does not know is skipped to the next record.
        Ieee695Writer w;
        w.header("Grus", "p");
        w.debug().typeBlock("t").type(ty::other(0x100, 'q', Bytes().name("QMARK"))).end();
        cases.push_back({ "unknown type letter", fillAfter(w.bytes(), "QMARK", nonRecordFiller()), IE_READ_ALL });
    }
    {
        // The name after an assembler module's header numbers, then a skip.
        Ieee695Writer w;
        w.header("Grus", "p");
        w.asmModule("m", { .skippedName = "ASMMARK" }).end();
        cases.push_back(
            { "assembler block header", fillAfter(w.bytes(), "ASMMARK", nonRecordFiller()), IE_READ_VIEWER });
    }
    {
        // After a section's name the reader skips to the next record code.
        Ieee695Writer w;
        w.header("Grus", "p");
        w.section({ .index = 1, .name = "SECTMARK", .start = 0, .size = 4 });
        cases.push_back({ "section part", fillAfter(w.bytes(), "SECTMARK", nonRecordFiller()), IE_READ_VIEWER });
    }
    return cases;
}

TEST(HangGuard, Ieee695SkipsOverTenMegabytesEndWithACode)
{
    expectEachEndsWithACode(ieee695Cases());
}

} // namespace
} // namespace tessaly::testing::hang_guard
