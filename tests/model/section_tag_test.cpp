// section_tag_test.cpp: the kind tag and colour of sections, free areas and module sections.
#include "section_tag.hpp"

#include <gtest/gtest.h>
#include <string>

namespace {

using namespace tessaly;

TEST(GetSectionTag, KindAndCaseFollowTypeAndSize)
{
    struct Case {
        const char* name;
        int32_t type;
        uint32_t size;
        const char* tag;
        Rgb colour;
    };
    const Case cases[] = {
        { "DATA", kSectionTypeData, 4, "[D]", { 255, 255, 0 } },
        { "CODE", kSectionTypeCode, 4, "[C]", { 0, 255, 255 } }, { "ROM", kSectionTypeRom, 4, "[R]", { 0, 255, 0 } },
        { "data0", kSectionTypeData, 0, "[d]", { 255, 255, 0 } },
        { "code0", kSectionTypeCode, 0, "[c]", { 0, 255, 255 } }, { "rom0", kSectionTypeRom, 0, "[r]", { 0, 255, 0 } },
        { "CD", 0xC3C4, 4, "   ", { 255, 255, 255 } }, { "other", 0, 0, "   ", { 255, 255, 255 } },
        { nullptr, kSectionTypeData, 4, "   ", { 255, 255, 255 } }, // no name: a free area
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name ? c.name : "(free)");
        IeSection section {};
        section.name = c.name;
        section.type = c.type;
        section.size = c.size;
        const SectionTag tag = GetSectionTag(&section);
        EXPECT_EQ(std::string(tag.text), c.tag);
        EXPECT_EQ(tag.colour, c.colour);
    }
}

TEST(GetSectionTag, ModuleSectionTakesOwnerKindAndOwnSize)
{
    IeSection data {};
    data.name = "DATA";
    data.type = kSectionTypeData;
    data.size = 0x100;
    struct Case {
        const char* label;
        IeSection* owner;
        uint32_t partSize;
        const char* tag;
        Rgb colour;
    };
    const Case cases[] = {
        { "part of DATA", &data, 0x10, "[D]", kRgbData },
        { "empty part of DATA", &data, 0, "[d]", kRgbData },
        { "no owning section", nullptr, 0x10, "   ", kRgbWhite },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        IeModSection part {};
        part.section = c.owner;
        part.size = c.partSize;
        const SectionTag tag = GetSectionTag(&part);
        EXPECT_EQ(std::string(tag.text), c.tag);
        EXPECT_EQ(tag.colour, c.colour);
    }
}

} // namespace
