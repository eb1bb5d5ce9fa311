// framed_errors_test.cpp: faults of the framed-record format: their codes, offsets and texts.
#include "framed_read.hpp"

#include <functional>
#include <gtest/gtest.h>

namespace tessaly::testing::framed_test {
namespace {

TEST(FramedErrors, AWrongFinalRecordIsAReadErrorAtItsOffset)
{
    for (uint8_t last : { uint8_t { 0xFE }, uint8_t { 0x7F }, uint8_t { 0x86 & 0x7F } }) {
        SCOPED_TRACE(int(last));
        FramedWriter w = startFile();
        w.module("m");
        const std::size_t at = w.end(last);
        const ReadResult result = readFramed(w);
        ASSERT_EQ(result.code, IE_ERROR_READ);
        EXPECT_EQ(result.message, readErrorAt(result, at));
    }
}

TEST(FramedErrors, TheFileEndingInsideARecordIsFileEnd)
{
    FramedWriter w = startFile();
    w.module("main");
    w.sectionPart({ .name = "CODE", .start = 0x100, .size = 0x10 });
    const std::size_t last = w.end();
    const std::vector<uint8_t> whole = w.bytes();
    const std::size_t part = w.findRecord(framed::kSectionPart);
    const struct {
        const char* name;
        std::size_t keep;
    } rows[] = {
        { "only the first byte", 1 },
        { "inside the first record", 3 },
        { "after a length byte", part + 2 },
        { "inside the content", part + 9 },
        { "one byte short of a record", w.findRecord(framed::kModule) + 5 },
        { "before the final record", last },
        { "after the final record's type", last + 1 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(row.keep));
        const ReadResult result = readFramed(cut);
        ASSERT_EQ(result.code, IE_ERROR_FILE_END);
        EXPECT_EQ(result.message, result.path + ", File is end.\n");
    }
}

// Input the format leaves unguarded: each is refused with code 3 at the offending record.
TEST(FramedErrors, UnguardedInputIsAReadErrorAtTheRecord)
{
    struct Row {
        const char* name;
        std::function<std::size_t(FramedWriter&)> build; // writes the fault, returns its offset
    };
    const Row rows[] = {
        { "record length 0",
            [](FramedWriter& w) {
                return w.rawBytes({ framed::kModule, 0x00, 0, 0, 0 });
            } },
        { "record length 1",
            [](FramedWriter& w) {
                return w.rawBytes({ framed::kModule, 0x01, 0, 0, 0 });
            } },
        { "module record shorter than its fields",
            [](FramedWriter& w) { return w.record(framed::kModule, FramedContent {}.byte(0).u16(0)); } },
        { "counted string longer than the record",
            [](FramedWriter& w) {
                return w.record(framed::kModule, FramedContent {}.byte(0).zeros(6).byte(40).zeros(3));
            } },
        { "module select beyond the modules",
            [](FramedWriter& w) {
                w.module("a");
                w.module("b");
                return w.moduleSelect(2);
            } },
        { "module select without modules", [](FramedWriter& w) { return w.moduleSelect(0); } },
        { "global symbol part beyond the parts",
            [](FramedWriter& w) {
                w.module("a");
                w.sectionPart({ .name = "CODE", .start = 0x100, .size = 0x10 });
                w.globals({ GlobalEntry::label("fine", 0, 0) });
                return w.globals({ GlobalEntry::label("bad", 1, 0) });
            } },
        { "variable part beyond the parts",
            [](FramedWriter& w) {
                w.module("a");
                w.sectionPart({ .name = "DATA", .start = 0x100, .size = 0x10 });
                w.moduleSelect(0);
                w.sourceFiles({ "a.c" });
                w.openBlock();
                return w.variable({ .name = "v", .storage = kStatic, .part = 3 });
            } },
        { "local label part beyond the parts",
            [](FramedWriter& w) {
                w.module("a");
                w.moduleSelect(0);
                w.sourceFiles({ "a.c" });
                w.openBlock();
                return w.localLabel("l", 0, 0);
            } },
        { "variable source beyond the sources",
            [](FramedWriter& w) {
                w.module("a");
                w.moduleSelect(0);
                w.sourceFiles({ "a.c" });
                w.openBlock();
                return w.variable({ .name = "v", .storage = kStatic, .part = 0xFFFF, .source = 1 });
            } },
        { "function source beyond the sources",
            [](FramedWriter& w) {
                w.module("a");
                w.moduleSelect(0);
                w.sourceFiles({});
                w.openBlock();
                return w.function({ .name = "f", .part = 0xFFFF, .source = 0 });
            } },
        { "function reference source beyond the sources",
            [](FramedWriter& w) {
                w.module("a");
                w.moduleSelect(0);
                w.sourceFiles({ "a.c" });
                w.openBlock();
                return w.function({ .name = "f", .storage = kReference, .source = 9 });
            } },
        { "source count beyond the entries",
            [](FramedWriter& w) {
                w.module("a");
                w.moduleSelect(0);
                return w.record(framed::kSourceFiles, FramedContent {}.u16(0).u16(2).byte(0).string("one.c"));
            } },
        { "base type code outside the table",
            [](FramedWriter& w) {
                w.module("a");
                w.moduleSelect(0);
                w.sourceFiles({ "a.c" });
                w.openBlock();
                const std::size_t at
                    = w.variable({ .name = "v", .storage = kStatic, .part = 0xFFFF, .desc = { { 7, 4, 0, 0 } } });
                return w.findRecord(framed::kBaseType, at);
            } },
        { "bit field base type code outside the table",
            [](FramedWriter& w) {
                w.module("a");
                w.moduleSelect(0);
                w.sourceFiles({ "a.c" });
                w.openBlock();
                const std::size_t at = w.recordTypeDef("s", 1, 0,
                    { base::named(1, 4),
                        { ctor::structure({ { .name = "b", .bitField = true, .bitBase = { 1, 4, 0, 0 } } }) } });
                return w.findRecord(framed::kBaseType, w.findRecord(framed::kEntry, at));
            } },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FramedWriter w = startFile();
        const std::size_t at = row.build(w);
        w.end(); // where the fault is not seen, the read would go on to a good end
        const ReadResult result = readFramed(w);
        ASSERT_EQ(result.code, IE_ERROR_READ);
        EXPECT_EQ(result.message, readErrorAt(result, at));
    }
}

TEST(FramedErrors, DeeplyNestedDescriptionsAreRefusedNotFollowed)
{
    TypeDesc desc { base::integer(2) };
    // Deeper than the reader follows, yet shallow enough for the writer's own recursion
    // under the sanitizers' larger stack frames.
    for (int i = 0; i < 300; ++i)
        desc = TypeDesc { base::named(1, 4), { ctor::structure({ { .name = "m", .type = desc } }) } };
    FramedWriter w = startFile();
    w.module("a");
    w.moduleSelect(0);
    w.sourceFiles({ "a.c" });
    w.openBlock();
    w.typedefDef("deep", 1, desc);
    w.closeBlock();
    w.end();
    EXPECT_EQ(readFramed(w).code, IE_ERROR_READ);
}

TEST(FramedErrors, RecordsBeforeTheFaultStayInTheTree)
{
    FramedWriter w = startFile();
    w.module("first");
    w.sectionPart({ .name = "CODE", .start = 0x100, .size = 0x10 });
    w.module("second");
    w.moduleSelect(5);
    w.end();
    ASSERT_EQ(readFramed(w).code, IE_ERROR_READ);
    const auto modules = listOf(IE_getRoot()->modules);
    ASSERT_EQ(modules.size(), 2u);
    EXPECT_EQ(str(modules[1]->name), "second");
    ASSERT_NE(IE_getRoot()->sections, nullptr);
    EXPECT_EQ(IE_getRoot()->sections->size, 0x10u);
    EXPECT_EQ(str(IE_getRoot()->cpuName), "Cetus");
    EXPECT_EQ(IE_getFnDefMode("anything", 1), nullptr);
}

TEST(FramedErrors, TheHeaderNamesOutlastTheTreeAndAFailedRead)
{
    const std::string longCpu(200, 'C'); // about all a 256-byte header record leaves room for
    FramedWriter good;
    good.start({ .module = "prog", .cpu = longCpu });
    good.end();
    ASSERT_EQ(readFramed(good).code, 0);
    EXPECT_EQ(IE_freeIEEE(), 0);
    // Cut inside its first record, this file fails before its header: the root shows the names
    // of the file before, which must still be there after the release.
    const std::vector<uint8_t> whole = good.bytes();
    const std::vector<uint8_t> cut(whole.begin(), whole.begin() + 3);
    ASSERT_EQ(readFramed(cut).code, IE_ERROR_FILE_END);
    const IeRoot* root = IE_getRoot();
    EXPECT_EQ(str(root->cpuName), longCpu);
    EXPECT_EQ(str(root->moduleName), "prog");
}

} // namespace
} // namespace tessaly::testing::framed_test
