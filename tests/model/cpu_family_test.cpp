// cpu_family_test.cpp: the family table of DetectCpuFamily and the reset of NameWidths.
#include "map_model.hpp"
#include "support/memory_tree.hpp"

#include <gtest/gtest.h>
#include <string>

namespace {

using tessaly::MapModel;
using tessaly::testing::MemoryTree;

struct FamilyCase {
    std::string cpuName;
    tessaly::CpuFamily family;
    uint32_t maxAddress;
    int32_t digits;
};

TEST(DetectCpuFamily, FamilyTable)
{
    const FamilyCase cases[] = {
        // exact names
        { "Alcor", tessaly::CpuAlcor, 0xFFFFF, 6 },
        { "Bellis", tessaly::CpuBellis, 0xFFFFF, 6 },
        { "Carina", tessaly::CpuCarina, 0xFFFFFF, 6 },
        { "Dorado", tessaly::CpuDorado, 0xFFFFFF, 6 },
        { "Eridan", tessaly::CpuEridan, 0xFFFFFF, 6 },
        { "Fornax", tessaly::CpuFornax, 0xFFFFFF, 6 },
        { "Grus", tessaly::CpuGrus, 0xFFFFFFFF, 8 },
        // letter case differs
        { "alcor", tessaly::CpuOther, 0xFFFFFF, 6 },
        { "GRUS", tessaly::CpuOther, 0xFFFFFF, 6 },
        { "grus", tessaly::CpuOther, 0xFFFFFF, 6 },
        { "fORNAX", tessaly::CpuOther, 0xFFFFFF, 6 },
        // a listed name followed by more, or a prefix of one
        { "Grus2", tessaly::CpuOther, 0xFFFFFF, 6 },
        { "Grus ", tessaly::CpuOther, 0xFFFFFF, 6 },
        { "AlcorX", tessaly::CpuOther, 0xFFFFFF, 6 },
        { "Alc", tessaly::CpuOther, 0xFFFFFF, 6 },
        { " Bellis", tessaly::CpuOther, 0xFFFFFF, 6 },
        { "", tessaly::CpuOther, 0xFFFFFF, 6 },
        { "Z80", tessaly::CpuOther, 0xFFFFFF, 6 },
    };
    for (const FamilyCase& c : cases) {
        SCOPED_TRACE("cpu name \"" + c.cpuName + "\"");
        MemoryTree tree(c.cpuName.c_str());
        MapModel model;
        model.AddressDigits = 99; // left over from nothing: detection must set it in every case
        tessaly::DetectCpuFamily(model, &tree.root);
        EXPECT_EQ(model.CpuFamily, c.family);
        EXPECT_EQ(model.MaxAddress, c.maxAddress);
        EXPECT_EQ(model.AddressDigits, c.digits);
    }
}

TEST(DetectCpuFamily, StartsWithNoFamily)
{
    MapModel model;
    EXPECT_EQ(model.CpuFamily, tessaly::CpuNone);
    EXPECT_EQ(model.MaxAddress, 0u);
    EXPECT_EQ(model.AddressDigits, 0);
    EXPECT_FALSE(model.FileLoaded);
    EXPECT_TRUE(model.OmitZeroSizeSections);
    EXPECT_EQ(model.ImageMode, tessaly::SectionListImage);
}

TEST(DetectCpuFamily, SecondDetectionReplacesFamilyAndClearsNameWidths)
{
    MemoryTree grus("Grus");
    auto* module = grus.module("a_rather_long_module_name");
    auto* code = grus.section("a_long_section_name", 0x1000, 0x100);
    grus.part(module, code, 0x1000, 0x100);
    grus.global("a_long_label_name", 0x1000);
    grus.global("a_long_equ_name", 5, IE_KIND_EQU);
    grus.function(grus.source(module, "a_long_source_file.c"), "a_long_function_name", "_f", 0x1000);

    MemoryTree alcor("Alcor");
    alcor.section("S", 0, 0x10);

    MapModel model;
    tessaly::DetectCpuFamily(model, &grus.root);
    ASSERT_EQ(model.CpuFamily, tessaly::CpuGrus);
    for (int32_t width : model.NameWidths)
        EXPECT_GT(width, 1);

    tessaly::DetectCpuFamily(model, &alcor.root);
    EXPECT_EQ(model.CpuFamily, tessaly::CpuAlcor);
    EXPECT_EQ(model.MaxAddress, 0xFFFFFu);
    EXPECT_EQ(model.AddressDigits, 6);
    const std::array<int32_t, 6> expected = { 0, 1, 0, 0, 0, 0 };
    EXPECT_EQ(model.NameWidths, expected);
    ASSERT_EQ(model.SectionCount, 1);
    EXPECT_EQ(model.LabelCount, 0);
    EXPECT_EQ(model.FunctionCount, 0);
    EXPECT_TRUE(model.ModuleSectionTable.empty());
}

TEST(CpuFamilyName, NamesEveryFamily)
{
    EXPECT_STREQ(tessaly::CpuFamilyName(tessaly::CpuNone), "CpuNone");
    EXPECT_STREQ(tessaly::CpuFamilyName(tessaly::CpuAlcor), "CpuAlcor");
    EXPECT_STREQ(tessaly::CpuFamilyName(tessaly::CpuBellis), "CpuBellis");
    EXPECT_STREQ(tessaly::CpuFamilyName(tessaly::CpuCarina), "CpuCarina");
    EXPECT_STREQ(tessaly::CpuFamilyName(tessaly::CpuDorado), "CpuDorado");
    EXPECT_STREQ(tessaly::CpuFamilyName(tessaly::CpuEridan), "CpuEridan");
    EXPECT_STREQ(tessaly::CpuFamilyName(tessaly::CpuFornax), "CpuFornax");
    EXPECT_STREQ(tessaly::CpuFamilyName(tessaly::CpuGrus), "CpuGrus");
    EXPECT_STREQ(tessaly::CpuFamilyName(tessaly::CpuOther), "CpuOther");
}

} // namespace
