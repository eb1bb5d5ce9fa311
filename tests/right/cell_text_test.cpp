// cell_text_test.cpp: the cell formats for 6 and 8 digits and the section texts.
#include "right/cell_text.hpp"
#include "right_fixtures.hpp"

#include <gtest/gtest.h>
#include <string>

namespace {

using namespace tessaly;
using tessaly::testing::BuiltModel;
using tessaly::testing::sectionNamed;

TEST(CellText, AddressSymbolAndFunctionFormats)
{
    IeSource source {};
    source.name = "main.c";
    IeFnDef fn {};
    fn.name = "init";
    fn.address = 0x1234;
    fn.size = 0x20;
    fn.owner = &source;
    FunctionEntry function;
    function.function = &fn;
    SymbolEntry global;
    global.scope = 'G';
    global.value = 0xabc;
    global.name = "start";
    SymbolEntry local;
    local.scope = 'L';
    local.value = 0xfffff;
    local.name = "loop";

    struct Case {
        int32_t digits;
        std::string address;
        std::string global;
        std::string local;
        std::string function;
    };
    const Case cases[] = {
        { 6, " 001000(000100)", "[G] 000abc:start", "[L] 0fffff:loop", "[F] 001234(000020):init(main.c)" },
        { 8, " 00001000(00000100)", "[G] 00000abc:start", "[L] 000fffff:loop", "[F] 00001234(00000020):init(main.c)" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.digits);
        EXPECT_EQ(FormatAddressSize(c.digits, 0x1000, 0x100), c.address);
        EXPECT_EQ(FormatSymbolCell(c.digits, global), c.global);
        EXPECT_EQ(FormatSymbolCell(c.digits, local), c.local);
        EXPECT_EQ(FormatFunctionCell(c.digits, function), c.function);
    }
}

TEST(CellText, LongNamesAreBounded)
{
    const std::string longName(5000, 'x');
    SymbolEntry symbol;
    symbol.name = longName.c_str();
    EXPECT_EQ(FormatSymbolCell(6, symbol).size(), std::string("[G] 000000:").size() + kMaxCellName);
}

TEST(CellText, SectionTextsInBothModes)
{
    BuiltModel built;
    IeSection* data = built.section("DATA", 0x100, 0x10, kSectionTypeData);
    built.section("ZERO", 0x200, 0, kSectionTypeCode);
    IeModule* mod = built.tree->module("uart");
    built.tree->part(mod, data, 0x100, 0x10);
    built.tree->part(mod, nullptr, 0x300, 0x10);
    MapModel& model = built.build();

    EXPECT_EQ(SectionCellText(sectionNamed(model, "DATA")), "[D] DATA");
    EXPECT_EQ(SectionCellText(sectionNamed(model, "ZERO")), "[c] ZERO");
    EXPECT_EQ(SectionCellText(model.SectionTable.front()), ""); // the free area below DATA

    ASSERT_EQ(model.ModuleSectionTable.size(), 5u); // free, DATA part, free, part without section, free
    EXPECT_EQ(SectionCellText(model.ModuleSectionTable[1]), "[D] DATA(uart)");
    EXPECT_EQ(SectionCellText(model.ModuleSectionTable[3]), "");
    EXPECT_EQ(SectionCellText(model.ModuleSectionTable[0]), "");
}

} // namespace
