// read_errors_test.cpp: error codes, their exact texts, and what a failed read leaves behind.
#include "pool.hpp"
#include "read_helpers.hpp"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace tessaly::testing {
namespace {

void smallProgram(Ieee695Writer& w)
{
    w.header("Alcor", "prog");
    w.section({ .index = 1, .type = "ASP", .name = "CODE", .start = 0x100, .size = 0x20 });
    w.globalSymbol({ .name = "start", .value = 0x100 });
}

TEST(ReadErrors, EveryCodeHasItsExactTextAndFormat)
{
    // A structural fault at a known offset sets the path and the position for all rows.
    Ieee695Writer w;
    smallProgram(w);
    HeaderOptions header { .cpu = "Alcor", .module = "prog" };
    header.ad = { 0xED, 0, 0, 0 };
    w.header(header);
    TempFile file(w.bytes());
    const std::string path = file.pathString();
    ASSERT_EQ(IE_readIEEE(path.c_str(), IE_READ_VIEWER), IE_ERROR_READ);
    char position[16];
    std::snprintf(position, sizeof position, "%08zx", w.adOffset());

    const struct {
        int code;
        std::string expected;
    } rows[] = {
        { IE_ERROR_CANT_OPEN, path + ", Can't Open File.\n" },
        { IE_ERROR_FILE_END, path + ", File is end.\n" },
        { IE_ERROR_READ, path + ", " + position + ": File read error.\n" },
        { IE_ERROR_ILLEGAL_INFORMATION,
            path + ", " + position + ": File read error.\nInspect Part: Illegal information.\n" },
        { IE_ERROR_NO_MEMORY, "Can't allocate Memorys.\n" },
        { IE_ERROR_NO_MODULE_INFO, path + ", " + position + ": File read error.\nInspect Part: No Module Info.\n" },
        { IE_ERROR_NO_FUNCTION_INFO,
            path + ", " + position + ": File read error.\nInspect Part: No function Information.\n" },
        { IE_ERROR_FUNCTION_INFO,
            path + ", " + position + ": File read error.\nInspect Part: Function Information error.\n" },
        { IE_ERROR_VARIABLE_INFO,
            path + ", " + position + ": File read error.\nInspect Part: Variable Information error.\n" },
        { IE_ERROR_STACK_INFO,
            path + ", " + position + ": File read error.\nInspect Part: Stack Information error.\n" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.code);
        EXPECT_EQ(std::string(IE_readError(row.code)), row.expected);
    }
}

TEST(ReadErrors, CodesOutsideTheTableReturnThePreviousText)
{
    IE_readIEEE("/nonexistent/dir/file.abs", IE_READ_VIEWER);
    const std::string previous = IE_readError(IE_ERROR_CANT_OPEN);
    for (int code : { 0, 11, -1, 1000 }) {
        SCOPED_TRACE(code);
        EXPECT_EQ(std::string(IE_readError(code)), previous);
    }
}

TEST(ReadErrors, MissingFileIsCode1AndKeepsThePreviousTree)
{
    Ieee695Writer w;
    smallProgram(w);
    ASSERT_EQ(readFile(w), 0);
    IeSection* before = IE_getRoot()->sections;
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(IE_readIEEE("/nonexistent/dir/file.abs", IE_READ_VIEWER), IE_ERROR_CANT_OPEN);
    EXPECT_EQ(std::string(IE_readError(IE_ERROR_CANT_OPEN)), "/nonexistent/dir/file.abs, Can't Open File.\n");
    EXPECT_EQ(IE_getRoot()->sections, before);
    EXPECT_STREQ(IE_getRoot()->sections->name, "CODE");
}

TEST(ReadErrors, EmptyFileAndUnknownFirstByteAreRefusedBeforeAnythingChanges)
{
    Ieee695Writer w;
    smallProgram(w);
    ASSERT_EQ(readFile(w), 0);
    IeSymbol* before = IE_getRoot()->symbols;

    EXPECT_EQ(readBytes({}), IE_ERROR_FILE_END);
    EXPECT_EQ(IE_getRoot()->symbols, before);

    TempFile unknown(std::vector<uint8_t> { 0x7F, 0x45, 0x4C, 0x46 });
    EXPECT_EQ(IE_readIEEE(unknown.pathString().c_str(), IE_READ_VIEWER), IE_ERROR_READ);
    EXPECT_EQ(std::string(IE_readError(IE_ERROR_READ)), unknown.pathString() + ", 00000000: File read error.\n");
    EXPECT_EQ(IE_getRoot()->symbols, before);
}

TEST(ReadErrors, LongPathsAreCutSoTheMessageStillFits)
{
    const std::string path = "/nonexistent/" + std::string(2000, 'p') + ".abs";
    EXPECT_EQ(IE_readIEEE(path.c_str(), IE_READ_VIEWER), IE_ERROR_CANT_OPEN);
    const std::string text = IE_readError(IE_ERROR_CANT_OPEN);
    EXPECT_LE(text.size(), 511u);
    EXPECT_EQ(text.substr(0, 13), "/nonexistent/");
    const std::string suffix = ", Can't Open File.\n";
    ASSERT_GE(text.size(), suffix.size());
    EXPECT_EQ(text.substr(text.size() - suffix.size()), suffix);
}

void* failingAllocator(std::size_t)
{
    return nullptr;
}

TEST(ReadErrors, RunningOutOfMemoryIsCode5)
{
    Ieee695Writer w;
    smallProgram(w);
    TempFile file(w.bytes());
    orvik::setBlockAllocator(&failingAllocator);
    const int code = IE_readIEEE(file.pathString().c_str(), IE_READ_VIEWER);
    orvik::setBlockAllocator(nullptr);
    EXPECT_EQ(code, IE_ERROR_NO_MEMORY);
    EXPECT_EQ(std::string(IE_readError(IE_ERROR_NO_MEMORY)), "Can't allocate Memorys.\n");
    EXPECT_EQ(IE_getRoot()->sections, nullptr);
}

TEST(ReadErrors, AFailedReadKeepsTheRecordsBuiltBeforeTheFault)
{
    Ieee695Writer w;
    smallProgram(w);
    w.environment().debugString(dstr::M("main.c", "prog"));
    w.environment().debugString(dstr::Fs("main", "_main", 'G', 1));
    w.environment().debugString(dstr::text("Qx")); // an unknown kind ends the read
    ASSERT_EQ(readFile(w), IE_ERROR_ILLEGAL_INFORMATION);
    IeRoot* root = IE_getRoot();
    ASSERT_NE(root->modules, nullptr);
    ASSERT_NE(root->modules->sources, nullptr);
    EXPECT_STREQ(root->modules->sources->functions->name, "main");
    EXPECT_EQ(IE_getFnDefMode("main", 1), nullptr) << "the name tables are built only after a good read";
}

TEST(ReadErrors, FreeingTheTreeEmptiesTheRootAndIsHarmlessWhenEmpty)
{
    Ieee695Writer w;
    smallProgram(w);
    ASSERT_EQ(readFile(w), 0);
    EXPECT_EQ(IE_freeIEEE(), 0);
    IeRoot* root = IE_getRoot();
    EXPECT_EQ(root->modules, nullptr);
    EXPECT_EQ(root->sections, nullptr);
    EXPECT_EQ(root->symbols, nullptr);
    EXPECT_STREQ(root->cpuName, "Alcor") << "the root's names are left as they are";
    EXPECT_EQ(IE_freeIEEE(), 0);
    EXPECT_EQ(IE_getSecMode(1), nullptr);
}

} // namespace
} // namespace tessaly::testing
