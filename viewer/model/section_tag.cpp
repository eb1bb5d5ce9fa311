// section_tag.cpp: the tag text and colour of the three section kinds, blank for everything else.
#include "section_tag.hpp"

namespace tessaly {

namespace {

SectionTag tagOfType(int32_t type, bool sizeZero)
{
    switch (type) {
    case kSectionTypeData:
        return { sizeZero ? "[d]" : "[D]", kRgbData };
    case kSectionTypeCode:
        return { sizeZero ? "[c]" : "[C]", kRgbCode };
    case kSectionTypeRom:
        return { sizeZero ? "[r]" : "[R]", kRgbRom };
    default:
        return {};
    }
}

} // namespace

SectionTag GetSectionTag(const IeSection* section)
{
    if (!section || !section->name)
        return {};
    return tagOfType(section->type, section->size == 0);
}

SectionTag GetSectionTag(const IeModSection* part)
{
    if (!part || !part->section || !part->section->name)
        return {};
    return tagOfType(part->section->type, part->size == 0);
}

} // namespace tessaly
