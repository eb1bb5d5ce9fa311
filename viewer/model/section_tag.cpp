// section_tag.cpp: the tag text and colour of the three section kinds, blank for everything else.
#include "section_tag.hpp"

namespace tessaly {

namespace {

SectionTag tagOfType(int32_t type, bool sizeZero)
{
    switch (SectionKindOf(type)) {
    case SectionKind::Data:
        return { sizeZero ? "[d]" : "[D]", kRgbData };
    case SectionKind::Code:
        return { sizeZero ? "[c]" : "[C]", kRgbCode };
    case SectionKind::Rom:
        return { sizeZero ? "[r]" : "[R]", kRgbRom };
    case SectionKind::Other:
        break;
    }
    return {};
}

} // namespace

SectionKind SectionKindOf(int32_t type)
{
    switch (type) {
    case IE_SECTION_ASP:
        return SectionKind::Code;
    case IE_SECTION_ASD:
        return SectionKind::Data;
    case IE_SECTION_ASR:
        return SectionKind::Rom;
    default:
        return SectionKind::Other;
    }
}

const char* SectionKindName(SectionKind kind)
{
    switch (kind) {
    case SectionKind::Code:
        return "code";
    case SectionKind::Data:
        return "data";
    case SectionKind::Rom:
        return "rom";
    case SectionKind::Other:
        break;
    }
    return "other";
}

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
