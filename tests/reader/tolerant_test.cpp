// tolerant_test.cpp: tolerant IEEE-695 reading, on built files rule by rule and on other linkers' samples.
#include "read_helpers.hpp"
#include "reader_state.hpp"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace tessaly::testing {
namespace {

uint32_t errorPosition()
{
    return orvik::readerState().errorPosition;
}

// ---------------------------------------------------------------- building files

// Records written the way other producers write them; each returns its bytes.
Bytes nn(uint32_t index, std::string_view name)
{
    return Bytes().byte(0xF0).number(index).name(name);
}

Bytes atn(uint32_t attribute, std::initializer_list<uint32_t> numbers, uint32_t nameIndex = 0)
{
    Bytes b;
    b.raw({ 0xF1, 0xCE }).number(nameIndex).number(0).number(attribute);
    for (uint32_t n : numbers)
        b.number(n);
    return b;
}

// ST with the parent, brother and context numbers after the name.
Bytes st(uint32_t index, std::string_view name, std::initializer_list<uint32_t> extras = {})
{
    Bytes b;
    b.byte(0xE6).number(index).raw({ 0xC1, 0xD3, 0xD0 }).name(name);
    for (uint32_t n : extras)
        b.number(n);
    return b;
}

Bytes as(uint8_t variable, uint32_t index, uint32_t value)
{
    return Bytes().raw({ 0xE2, variable }).number(index).number(value);
}

Bytes global(
    uint32_t index, std::string_view name, uint32_t value, std::initializer_list<uint32_t> attributes = { 0, 19, 'C' })
{
    Bytes b;
    b.byte(0xE8).number(index).name(name);
    b.raw({ 0xF1, 0xC9 }).number(index);
    for (uint32_t n : attributes)
        b.number(n);
    b.raw({ 0xE2, 0xC9 }).number(index).number(value);
    return b;
}

// A local symbol: NN, ATN with any numbers after the name index, ASN.
Bytes local(uint32_t index, std::string_view name, std::initializer_list<uint32_t> numbers, uint32_t value)
{
    Bytes b;
    b.byte(0xF0).number(index).name(name).raw({ 0xF1, 0xCE }).number(index);
    for (uint32_t n : numbers)
        b.number(n);
    b.raw({ 0xE2, 0xCE }).number(index).number(value);
    return b;
}

// BB11 with the numbers after the start, the records inside, and the size in its BE.
Bytes moduleSection(std::string_view name, uint32_t index, uint32_t start, std::initializer_list<uint32_t> extras,
    const Bytes& inside, uint32_t size)
{
    Bytes b;
    b.raw({ 0xF8, 0x0B }).number(0).name(name).number(0).number(index).number(start);
    for (uint32_t n : extras)
        b.number(n);
    b.raw(inside).byte(0xF9).number(size);
    return b;
}

Bytes asmModule(std::string_view name, const Bytes& inside)
{
    return Bytes().raw({ 0xF8, 0x0A }).number(0).name(name).number(0).number(0).raw(inside).byte(0xF9);
}

// Any other block: BB type, a number, a name, the records inside, BE.
Bytes block(uint8_t type, const Bytes& inside, std::string_view name = "b")
{
    return Bytes().raw({ 0xF8, type }).number(0).name(name).raw(inside).byte(0xF9);
}

// Header, ASW records and parts laid out by hand, for what the writer keeps fixed: the AD's
// length and the order of the ASW records.
struct FileLayout {
    Bytes ad = Bytes().raw({ 0xEC, 0x08, 0x01 });
    std::map<uint32_t, Bytes> parts; // by ASW index
    std::vector<uint32_t> fileOrder { 0, 1, 4, 5, 2, 3, 6, 7 };
    std::vector<uint32_t> aswOrder { 0, 1, 2, 3, 4, 5, 6, 7 }; // an index without a part gets 0
    Bytes afterAsw {}; // bytes between the ASW records and the parts

    std::size_t headerSize() const { return 1 + 1 + 3 + 1 + 4 + ad.size() + 8 * aswOrder.size() + afterAsw.size(); }

    std::size_t offsetOf(uint32_t index) const
    {
        std::size_t at = headerSize();
        for (uint32_t i : fileOrder) {
            if (i == index)
                return at;
            if (auto p = parts.find(i); p != parts.end())
                at += p->second.size();
        }
        throw std::logic_error("no such part");
    }

    std::vector<uint8_t> bytes() const
    {
        Bytes b;
        b.byte(0xE0).name("Z80").name("prog").raw(ad);
        for (uint32_t i : aswOrder)
            b.raw({ 0xE2, 0xD7 }).number(i).numberWidth(parts.count(i) ? static_cast<uint32_t>(offsetOf(i)) : 0, 4);
        b.raw(afterAsw);
        for (uint32_t i : fileOrder)
            if (auto p = parts.find(i); p != parts.end())
                b.raw(p->second);
        return b.data();
    }
};

// A small file in the style of the sample linker: every difference from the strict layout at once.
FileLayout otherLinkerFile()
{
    FileLayout f;
    f.parts[0] = Bytes().raw(nn(37, "ATN_37")).raw(atn(37, { 1, 0 }, 37)).raw(nn(38, "ATN_38")).raw(atn(38, { 1 }, 38));
    f.parts[1] = Bytes()
                     .raw(nn(50, "ATN_50"))
                     .raw(atn(50, { 116, 5, 4, 16, 51, 50 }, 50))
                     .raw(nn(52, "ATN_52"))
                     .raw(atn(52, { 0 }, 52))
                     .raw(nn(56, "ATN_56"))
                     .raw(atn(56, { 0 }, 56));
    const Bytes vectors = Bytes().raw(local(0x66, "reset", { 0, 19, 0, 0 }, 2));
    f.parts[4]
        = Bytes()
              .raw(asmModule("..\\boot\\startup.asm",
                  Bytes()
                      .raw(moduleSection("workingreg", 13, 0xE0, { 'R' }, {}, 0x10))
                      .raw(moduleSection("__VECTORS", 11, 0, { 'C' }, vectors, 0x38))
                      .raw(moduleSection("startup", 12, 0x346, { 'C' }, {}, 0x71))
                      .raw(moduleSection("FAR_BSS", 9, 0x100, { 'E' }, {}, 2))
                      .raw(local(0x74, "_c_startup", { 0, 19, 1 }, 0x346))
                      .raw(local(0x7C, "", { 0, 7, 0x31, 0, 'C' }, 0x346))))
              .raw(block(1,
                  Bytes()
                      .raw({ 0xF2, 0x82, 0x01, 0x01, 0xCE, 0x00 })
                      .raw(nn(0x66, "fmt"))
                      .raw({ 0xF2, 0x08, 0xCE, 0x66, 0xE2, 0xCE, 0x66, 0x0B }),
                  "MAIN.C"))
              .raw(block(3, block(4, Bytes().raw(nn(0x70, "f")).raw({ 0xE2, 0xCE, 0x70, 0x82, 0x03, 0xB7 })), "MAIN.C"))
              .raw(block(5, Bytes().raw({ 0xF1, 0xCE, 0x01, 0x00, 0x07, 0x05, 0x00 }), "MAIN.C"));
    // the data part: the bytes loaded into ROM reach past every module section
    f.parts[5] = Bytes()
                     .raw({ 0xE5, 0x02 })
                     .raw(as(0xD0, 2, 0xE0))
                     .raw(as(0xD0, 2, 0xF0))
                     .raw({ 0xE5, 0x04 })
                     .raw(as(0xD0, 4, 2))
                     .raw({ 0xED, 0x02, 0x03, 0x46 })
                     .raw(as(0xD0, 4, 0x500))
                     .raw({ 0xED, 0x04, 0xE4, 0xE3, 0xE1, 0xF9 });
    f.parts[2] = Bytes()
                     .raw(st(2, "RDATA", { 0, 0, 'R' }))
                     .raw(as(0xCC, 2, 0))
                     .raw(as(0xC6, 2, 1))
                     .raw(st(4, "ROM", { 0, 0, 'C' }))
                     .raw(as(0xCC, 4, 0))
                     .raw(as(0xC6, 4, 1))
                     .raw(st(3, "EDATA", { 0, 0, 'E' }))
                     .raw(as(0xCC, 3, 0))
                     .raw(as(0xC6, 3, 1));
    f.parts[3] = Bytes()
                     .raw({ 0xE5, 0x02 })
                     .raw(global(0x33, "_errno", 0x100, { 0, 19, 'E' }))
                     .raw(global(0x35, "_c_startup", 0x346))
                     .raw(global(0x3E, "_main", 0x860));
    f.parts[6] = Bytes().raw({ 0xE2, 0xC7, 0xBE, 0x82, 0x03, 0x46, 0xBF });
    f.parts[7] = Bytes().byte(0xE1);
    return f;
}

struct SectionView {
    std::string name;
    uint32_t start;
    uint32_t size;
    bool operator==(const SectionView&) const = default;
};

std::vector<SectionView> sectionsRead()
{
    std::vector<SectionView> out;
    for (IeSection* s : listOf(IE_getRoot()->sections))
        out.push_back({ str(s->name), s->start, s->size });
    return out;
}

std::map<std::string, uint32_t> symbolsRead()
{
    std::map<std::string, uint32_t> out;
    for (IeSymbol* s : listOf(IE_getRoot()->symbols))
        out.emplace(str(s->name), s->value);
    return out;
}

// ---------------------------------------------------------------- the rules, one by one

TEST(TolerantReading, OtherLinkersFileIsRefusedStrictlyAndReadTolerantly)
{
    const FileLayout f = otherLinkerFile();
    ASSERT_EQ(readBytes(f.bytes(), IE_READ_VIEWER), IE_ERROR_READ);
    EXPECT_EQ(errorPosition(), 0u); // the four-byte AD swallows the first ASW record

    ASSERT_EQ(readBytes(f.bytes(), IE_READ_VIEWER | IE_READ_TOLERANT), 0);
    const std::vector<SectionView> sections { { "RDATA", 0xE0, 0x10 }, { "ROM", 0, 0x504 }, { "EDATA", 0x100, 2 } };
    EXPECT_EQ(sectionsRead(), sections);
    const std::map<std::string, uint32_t> symbols { { "_c_startup", 0x346 }, { "_errno", 0x100 }, { "_main", 0x860 } };
    EXPECT_EQ(symbolsRead(), symbols);

    const std::vector<IeModule*> modules = listOf(IE_getRoot()->modules);
    ASSERT_EQ(modules.size(), 1u);
    EXPECT_STREQ(modules[0]->name, "..\\boot\\startup.asm");
    const std::vector<IeModSection*> parts = listOf(modules[0]->sections);
    ASSERT_EQ(parts.size(), 4u);
    const struct {
        const char* section;
        int32_t index;
        uint32_t start, size;
    } expected[]
        = { { "RDATA", 2, 0xE0, 0x10 }, { "ROM", 4, 0, 0x38 }, { "ROM", 4, 0x346, 0x71 }, { "EDATA", 3, 0x100, 2 } };
    for (std::size_t i = 0; i < parts.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_NE(parts[i]->section, nullptr);
        EXPECT_STREQ(parts[i]->section->name, expected[i].section);
        EXPECT_EQ(parts[i]->sectionIndex, expected[i].index);
        EXPECT_EQ(parts[i]->start, expected[i].start);
        EXPECT_EQ(parts[i]->size, expected[i].size);
    }
    const std::vector<IeModSymbol*> locals = listOf(modules[0]->symbols);
    ASSERT_EQ(locals.size(), 3u);
    EXPECT_STREQ(locals[0]->name, "reset"); // inside the module section
    EXPECT_EQ(locals[0]->value, 2u);
    EXPECT_EQ(locals[0]->attribute, 19);
    EXPECT_STREQ(locals[1]->name, "_c_startup");
    EXPECT_EQ(locals[1]->extra1, 1);
    EXPECT_EQ(locals[1]->extra2, 0); // not given
    EXPECT_STREQ(locals[2]->name, "");
    EXPECT_EQ(locals[2]->attribute, 7);
    EXPECT_EQ(locals[2]->extra1, 0x31); // the fifth number is passed over
    EXPECT_EQ(locals[2]->value, 0x346u);
}

TEST(TolerantReading, AddressDescriptorOfThreeOrFourBytes)
{
    const struct {
        const char* what;
        Bytes ad;
        int code;
        std::size_t at; // from the AD, when code is not 0
    } cases[] = {
        { "three bytes", Bytes().raw({ 0xEC, 0x08, 0x01 }), 0, 0 },
        { "order letter L", Bytes().raw({ 0xEC, 0x08, 0x01, 0xCC }), 0, 0 },
        { "order letter M", Bytes().raw({ 0xEC, 0x08, 0x04, 0xCD }), 0, 0 },
        { "long numbers", Bytes().raw({ 0xEC, 0x81, 0x08, 0x82, 0x00, 0x01 }), 0, 0 },
        { "not an AD", Bytes().raw({ 0xED, 0x08, 0x01 }), IE_ERROR_READ, 0 },
        { "a bad number", Bytes().raw({ 0xEC, 0x80, 0x01 }), IE_ERROR_READ, 1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FileLayout f = otherLinkerFile();
        f.ad = c.ad;
        ASSERT_EQ(readBytes(f.bytes(), IE_READ_VIEWER | IE_READ_TOLERANT), c.code);
        if (c.code != 0) {
            EXPECT_EQ(errorPosition(), 10 + c.at);
        } else {
            EXPECT_EQ(sectionsRead().size(), 3u);
            EXPECT_EQ(symbolsRead().size(), 3u);
        }
    }
}

TEST(TolerantReading, AswRecordsInAnyOrderAndZeroMeansNoSuchPart)
{
    const FileLayout reference = otherLinkerFile();
    ASSERT_EQ(readBytes(reference.bytes(), IE_READ_VIEWER | IE_READ_TOLERANT), 0);
    const auto sections = sectionsRead();
    const auto symbols = symbolsRead();

    FileLayout reversed = otherLinkerFile();
    reversed.aswOrder = { 7, 6, 5, 4, 3, 2, 1, 0 };
    reversed.fileOrder = { 3, 2, 7, 1, 5, 0, 4, 6 };
    ASSERT_EQ(readBytes(reversed.bytes(), IE_READ_VIEWER | IE_READ_TOLERANT), 0);
    EXPECT_EQ(sectionsRead(), sections);
    EXPECT_EQ(symbolsRead(), symbols);

    // Parts announced with offset 0 are not there: each is simply left out.
    const struct {
        uint32_t index;
        std::size_t sections, symbols, modules;
    } absent[] = { { 1, 3, 3, 1 }, { 2, 0, 3, 1 }, { 3, 3, 0, 1 }, { 4, 3, 3, 0 }, { 5, 3, 3, 1 }, { 6, 3, 3, 1 } };
    for (const auto& a : absent) {
        SCOPED_TRACE(a.index);
        FileLayout f = otherLinkerFile();
        f.parts.erase(a.index);
        ASSERT_EQ(readBytes(f.bytes(), IE_READ_VIEWER | IE_READ_TOLERANT), 0);
        EXPECT_EQ(listOf(IE_getRoot()->sections).size(), a.sections);
        EXPECT_EQ(listOf(IE_getRoot()->symbols).size(), a.symbols);
        EXPECT_EQ(listOf(IE_getRoot()->modules).size(), a.modules);
    }

    // Without its data part ROM is only as large as its module sections.
    FileLayout noData = otherLinkerFile();
    noData.parts.erase(5);
    ASSERT_EQ(readBytes(noData.bytes(), IE_READ_VIEWER | IE_READ_TOLERANT), 0);
    EXPECT_EQ(sectionsRead()[1], (SectionView { "ROM", 0, 0x3B7 }));
}

TEST(TolerantReading, EnvironmentPartTakesNnRecordsAndUnknownAttributes)
{
    FileLayout f = otherLinkerFile();
    // Unknown attributes of several lengths, then a debug string: it is still found.
    f.parts[1] = Bytes()
                     .raw(atn(37, { 1, 0 }))
                     .raw(nn(64, "ATN_64"))
                     .raw(atn(64, { 0x12345678, 3, 4, 5 }))
                     .raw(atn(56, {}))
                     .raw(atn(52, { 0 }))
                     .raw(nn(55, "ATN_55"))
                     .raw(Bytes().raw({ 0xF1, 0xCE, 0, 0, 55 }).name(dstr::M("main.c", "main")));
    ASSERT_EQ(readBytes(f.bytes(), IE_READ_VIEWER | IE_READ_TOLERANT), 0);
    const auto modules = listOf(IE_getRoot()->modules);
    ASSERT_EQ(modules.size(), 2u);
    EXPECT_STREQ(modules[0]->name, "main");
    ASSERT_NE(modules[0]->sources, nullptr);
    EXPECT_STREQ(modules[0]->sources->name, "main.c");

    // Faults that stay faults: a part that starts with neither NN nor ATN, an ATN without CE.
    const struct {
        const char* what;
        Bytes part;
        std::size_t at; // from the part's start
    } faults[] = {
        { "no NN or ATN first", Bytes().raw({ 0xE6, 0x01 }), 0 },
        { "ATN without CE", Bytes().raw(nn(1, "a")).raw({ 0xF1, 0xC9, 0, 0, 52, 0 }), 4 },
    };
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.what);
        FileLayout bad = otherLinkerFile();
        bad.parts[1] = fault.part;
        ASSERT_EQ(readBytes(bad.bytes(), IE_READ_VIEWER | IE_READ_TOLERANT), IE_ERROR_READ);
        EXPECT_EQ(errorPosition(), bad.offsetOf(1) + fault.at);
    }
}

TEST(TolerantReading, SectionRangesFromTheirRecordsOrTheirContents)
{
    struct Case {
        const char* what;
        Bytes sectionPart;
        std::vector<SectionView> expected;
    };
    const Case cases[] = {
        { "sizes given win over contents",
            Bytes()
                .raw(st(2, "RDATA", { 0, 0, 'R' }))
                .raw(as(0xCC, 2, 0x20))
                .raw(as(0xD3, 2, 0xD0))
                .raw(st(4, "ROM", { 0, 0, 'C' }))
                .raw(as(0xCC, 4, 0))
                .raw(as(0xD3, 4, 0x10000))
                .raw(st(3, "EDATA", { 0, 0, 'E' }))
                .raw(as(0xCC, 3, 0)),
            { { "RDATA", 0x20, 0xD0 }, { "ROM", 0, 0x10000 }, { "EDATA", 0x100, 2 } } },
        { "records grouped after all sections, with SA",
            Bytes()
                .raw(st(2, "RDATA", { 0, 0, 'R' }))
                .raw(st(4, "ROM", { 0, 0, 'C' }))
                .raw(st(3, "EDATA", { 0, 0, 'E' }))
                .raw(Bytes().byte(0xE7).number(4).number(2).number(0x100))
                .raw(as(0xCC, 3, 0))
                .raw(as(0xCC, 4, 0))
                .raw(as(0xCC, 2, 0)),
            { { "RDATA", 0xE0, 0x10 }, { "ROM", 0, 0x504 }, { "EDATA", 0x100, 2 } } },
        { "no context numbers: module sections name no section",
            Bytes()
                .raw(st(2, "RDATA"))
                .raw(as(0xCC, 2, 0x20))
                .raw(st(4, "ROM"))
                .raw(as(0xCC, 4, 0))
                .raw(st(3, "EDATA"))
                .raw(as(0xCC, 3, 0x100)),
            { { "RDATA", 0x20, 0 }, { "ROM", 2, 0x502 }, { "EDATA", 0x100, 0 } } },
        { "one context shared by two sections names neither",
            Bytes()
                .raw(st(2, "RDATA", { 0, 0, 'C' }))
                .raw(as(0xCC, 2, 0x20))
                .raw(st(4, "ROM", { 0, 0, 'C' }))
                .raw(as(0xCC, 4, 0))
                .raw(st(3, "EDATA", { 0, 0, 'E' }))
                .raw(as(0xCC, 3, 0)),
            { { "RDATA", 0x20, 0 }, { "ROM", 2, 0x502 }, { "EDATA", 0x100, 2 } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FileLayout f = otherLinkerFile();
        f.parts[2] = c.sectionPart;
        ASSERT_EQ(readBytes(f.bytes(), IE_READ_VIEWER | IE_READ_TOLERANT), 0);
        EXPECT_EQ(sectionsRead(), c.expected);
    }
    FileLayout aligned = otherLinkerFile();
    aligned.parts[2] = cases[1].sectionPart;
    ASSERT_EQ(readBytes(aligned.bytes(), IE_READ_VIEWER | IE_READ_TOLERANT), 0);
    EXPECT_EQ(IE_getRoot()->sections->next->alignment, 2);

    // A module section whose index names a section goes by the index, not its context.
    FileLayout byIndex = otherLinkerFile();
    byIndex.parts[4] = asmModule("m.asm", moduleSection("x", 3, 0x200, { 'C' }, {}, 0x10));
    ASSERT_EQ(readBytes(byIndex.bytes(), IE_READ_VIEWER | IE_READ_TOLERANT), 0);
    ASSERT_NE(IE_getRoot()->modules->sections->section, nullptr);
    EXPECT_STREQ(IE_getRoot()->modules->sections->section->name, "EDATA");
    EXPECT_EQ(sectionsRead()[2], (SectionView { "EDATA", 0x200, 0x10 }));
}

TEST(TolerantReading, SectionPartFaults)
{
    const struct {
        const char* what;
        Bytes part;
        std::size_t at;
    } faults[] = {
        { "a section without an address",
            Bytes().raw(st(2, "A", {})).raw(as(0xCC, 2, 0)).raw(st(3, "B", {})).raw(as(0xD3, 3, 4)), 11 },
        { "SA for a section that is not there", Bytes().raw(st(2, "A", {})).raw(Bytes().byte(0xE7).number(5).number(1)),
            7 },
        { "AS-L for a section that is not there", Bytes().raw(st(2, "A", {})).raw(as(0xCC, 9, 0)), 7 },
        { "an address by expression", Bytes().raw(st(2, "A", {})).raw(as(0xCC, 2, 0)).raw({ 0xD2, 0xA5 }), 11 },
    };
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.what);
        FileLayout f = otherLinkerFile();
        f.parts[2] = fault.part;
        ASSERT_EQ(readBytes(f.bytes(), IE_READ_VIEWER | IE_READ_TOLERANT), IE_ERROR_READ);
        EXPECT_EQ(errorPosition(), f.offsetOf(2) + fault.at);
    }
}

TEST(TolerantReading, ExternalPartSkipsOtherRecordsAndNamesSymbolsByIndex)
{
    FileLayout f = otherLinkerFile();
    f.parts[3] = Bytes()
                     .raw({ 0xE5, 0x02 })
                     .raw(Bytes().byte(0xE8).number(0x40).name("_late"))
                     .raw(Bytes().byte(0xEA).number(4).name("note")) // a comment
                     .raw(global(0x41, "_main", 0x860, { 0, 19, 'C', 7, 8 }))
                     .raw({ 0xE5, 0x04 })
                     .raw(as(0xC9, 0x40, 0x1234))
                     .raw(Bytes().raw({ 0xF1, 0xC9 }).number(0x40).number(15))
                     .raw(Bytes().raw({ 0xE8 }).number(0x42).name("_bare"))
                     .raw(as(0xC9, 0x42, 7));
    ASSERT_EQ(readBytes(f.bytes(), IE_READ_VIEWER | IE_READ_TOLERANT), 0);
    const auto symbols = listOf(IE_getRoot()->symbols);
    ASSERT_EQ(symbols.size(), 3u);
    EXPECT_STREQ(symbols[0]->name, "_late");
    EXPECT_EQ(symbols[0]->value, 0x1234u);
    EXPECT_EQ(symbols[0]->kind, IE_KIND_LABEL);
    EXPECT_STREQ(symbols[1]->name, "_main");
    EXPECT_EQ(symbols[1]->attribute, 19);
    EXPECT_EQ(symbols[1]->extra, 'C');
    EXPECT_STREQ(symbols[2]->name, "_bare");
    EXPECT_EQ(symbols[2]->value, 7u);
    EXPECT_EQ(symbols[2]->kind, IE_KIND_LABEL) << "a name without a type is a label";
    EXPECT_EQ(symbols[1]->kind, IE_KIND_LABEL);
}

TEST(TolerantReading, ExternalPartFaults)
{
    const struct {
        const char* what;
        Bytes part;
        std::size_t at;
    } faults[] = {
        { "an external reference (NX)",
            Bytes().raw(global(0x33, "_a", 1)).raw(Bytes().byte(0xE9).number(0x34).name("_b")), 15 },
        { "a public name without a value",
            Bytes().raw(Bytes().byte(0xE8).number(0x33).name("_a")).raw(global(0x34, "_b", 1)), 0 },
        { "a value for a name that is not there", Bytes().raw(global(0x33, "_a", 1)).raw(as(0xC9, 0x35, 1)), 15 },
        { "attributes for a name that is not there", Bytes().raw(global(0x33, "_a", 1)).raw({ 0xF1, 0xC9, 0x35, 0 }),
            15 },
        { "a value by expression", Bytes().raw(global(0x33, "_a", 1)).raw({ 0xD2, 0x01 }), 15 },
    };
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.what);
        FileLayout f = otherLinkerFile();
        f.parts[3] = fault.part;
        ASSERT_EQ(readBytes(f.bytes(), IE_READ_VIEWER | IE_READ_TOLERANT), IE_ERROR_READ);
        EXPECT_EQ(errorPosition(), f.offsetOf(3) + fault.at);
    }
}

TEST(TolerantReading, DebugBlocksOfOtherTypesArePassedOverByNesting)
{
    const Bytes module = asmModule("m.asm", moduleSection("code", 4, 0x40, {}, {}, 4));
    const struct {
        const char* what;
        Bytes before;
    } cases[] = {
        { "4 at the top level", block(4, Bytes().number(0).number(0).number(0x40).raw(nn(1, "x"))) },
        { "6 at the top level", block(6, Bytes().number(0).number(0).number(0x40)) },
        { "11 at the top level",
            Bytes().raw({ 0xF8, 0x0B }).number(0).name("b").number(0).number(4).number(0).byte(0xF9).number(4) },
        { "a vendor type with nested blocks",
            block(0x20, Bytes().raw(block(0x21, block(0x22, nn(1, "deep")))).raw({ 0xF1, 0xCE, 1, 2, 3 })) },
        { "3 holding 5 and a vendor type", block(3, Bytes().raw(block(5, {})).raw(block(0x40, {}))) },
        { "2 with records inside", block(2, Bytes().raw({ 0xE2, 0xCE, 1, 2 })) },
        { "1 of another layout", block(1, Bytes().raw({ 0xF2, 0x08, 0xCE, 0x66, 0xE2, 0xCE, 0x66, 0x0B })) },
        { "10 holding another block",
            asmModule("n.asm", Bytes().raw(block(0x0C, nn(1, "z"))).raw(local(2, "lbl", { 15, 0, 0, 0 }, 9))) },
    };
    for (const int mask : { IE_READ_VIEWER, IE_READ_ALL }) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.what) + " mask " + std::to_string(mask));
            FileLayout f = otherLinkerFile();
            f.parts[4] = Bytes().raw(c.before).raw(module);
            ASSERT_EQ(readBytes(f.bytes(), mask | IE_READ_TOLERANT), 0);
            const auto modules = listOf(IE_getRoot()->modules);
            ASSERT_FALSE(modules.empty());
            IeModule* last = modules.back();
            EXPECT_STREQ(last->name, "m.asm");
            ASSERT_NE(last->sections, nullptr);
            EXPECT_EQ(last->sections->start, 0x40u);
            for (IeModule* m : modules)
                EXPECT_EQ(m->typeDefs, nullptr);
        }
    }

    // A file that ends, or a module that ends, inside a block is a fault.
    FileLayout cut = otherLinkerFile();
    cut.parts[4] = Bytes().raw({ 0xF8, 0x03, 0x00, 0x01, 'b', 0xF8, 0x04, 0x00, 0x01, 'f', 0x00, 0x00, 0x00, 0xE1 });
    ASSERT_EQ(readBytes(cut.bytes(), IE_READ_VIEWER | IE_READ_TOLERANT), IE_ERROR_READ);
    EXPECT_EQ(errorPosition(), cut.offsetOf(4) + 13);
}

TEST(TolerantReading, TypeBlocksOfTheKnownLayoutAreStillRead)
{
    FileLayout f = otherLinkerFile();
    Bytes types;
    types.raw({ 0xF8, 0x01 }).number(0).name("m").raw(nn(1, "word"));
    types.raw({ 0xF2 }).number(0x100).raw({ 0xCE }).number(0).byte('T').number(4);
    types.byte(0xF9);
    f.parts[4] = types;
    ASSERT_EQ(readBytes(f.bytes(), IE_READ_ALL | IE_READ_TOLERANT), 0);
    ASSERT_NE(IE_getRoot()->modules, nullptr);
    IeTypeDef* type = IE_getRoot()->modules->typeDefs;
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(type->index, 0x100);
    EXPECT_EQ(type->letter, 'T');
    EXPECT_STREQ(type->payload.alias->name, "word");
}

TEST(TolerantReading, DataAndTrailerPartsAreIgnoredButRelocationIsRefused)
{
    // Anything in the trailer, the AD extension or the module end is never looked at.
    FileLayout f = otherLinkerFile();
    f.parts[6] = Bytes().raw({ 0xE2, 0xC7, 0xBE, 0x80, 0xFF, 0xBF, 0xE9, 0xE4 });
    f.parts[0] = Bytes().raw({ 0x80, 0xE9 });
    ASSERT_EQ(readBytes(f.bytes(), IE_READ_VIEWER | IE_READ_TOLERANT), 0);
    EXPECT_EQ(sectionsRead().size(), 3u);

    // Relocation records in the data part refuse the file at the first of them.
    const struct {
        const char* what;
        Bytes part;
        std::size_t at;
    } faults[] = {
        { "LR", Bytes().raw({ 0xE5, 0x04 }).raw(as(0xD0, 4, 0)).raw({ 0xED, 0x01, 0xE4 }).raw({ 0xE4, 0x01, 0x02 }),
            9 },
        { "IR", Bytes().raw({ 0xE5, 0x04 }).raw({ 0xE3, 0xD2, 0x04 }).raw({ 0xE4, 0x01 }), 2 },
    };
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.what);
        FileLayout bad = otherLinkerFile();
        bad.parts[5] = fault.part;
        ASSERT_EQ(readBytes(bad.bytes(), IE_READ_VIEWER | IE_READ_TOLERANT), IE_ERROR_READ);
        EXPECT_EQ(errorPosition(), bad.offsetOf(5) + fault.at);
    }

    // The data part is walked only for section ranges, so without sections nothing refuses it.
    FileLayout symbolsOnly = otherLinkerFile();
    symbolsOnly.parts[5] = faults[0].part;
    ASSERT_EQ(readBytes(symbolsOnly.bytes(), IE_READ_EXTERNALS | IE_READ_TOLERANT), 0);
    EXPECT_EQ(symbolsRead().size(), 3u);
}

TEST(TolerantReading, RelocatableFilesAreRefusedAtTheirFirstRelocatableRecord)
{
    // Built by the test writer: a section without an address, then an NX.
    Ieee695Writer w;
    w.header("Alcor", "p");
    w.section({ .index = 1, .type = "CP", .name = "CODE", .size = 4 });
    const Mark section = w.sections().start();
    w.globalSymbol({ .name = "_a", .value = 1 });
    const Mark nx = w.externals().here();
    w.externals().byte(0xE9).number(40).name("_ext");
    ASSERT_EQ(readFile(w, IE_READ_VIEWER | IE_READ_TOLERANT), IE_ERROR_READ);
    EXPECT_EQ(errorPosition(), w.offsetOf(section));
    ASSERT_EQ(readFile(w, IE_READ_EXTERNALS | IE_READ_TOLERANT), IE_ERROR_READ);
    EXPECT_EQ(errorPosition(), w.offsetOf(nx));
    // Strict reading refuses the NX too, and takes the section as it is.
    ASSERT_EQ(readFile(w, IE_READ_VIEWER), IE_ERROR_READ);
    EXPECT_EQ(errorPosition(), w.offsetOf(nx));
}

// A file in the strict layout reads the same either way.
TEST(TolerantReading, StrictLayoutFilesReadTheSame)
{
    Ieee695Writer w;
    w.header("Alcor", "prog");
    auto& env = w.environment();
    env.attribute50({ 1, 2, 3, 4, 5, 6 });
    env.revision();
    env.debugString(dstr::M("main.c", "main"));
    env.debugString(dstr::U('a', "CODE", "", 'x'));
    env.debugString(dstr::Fs("main", "_main", 'G', 1));
    env.debugString(dstr::Fe("main", "", 0, 1, 0x20));
    env.debugString(dstr::Vd("count", "_count", 'G', { 1, 2, 3, 4, 5 }));
    env.debugString(dstr::Vt("count", 'G', 0x100));
    w.section({ .index = 1, .type = "CP", .name = "CODE", .start = 0x100, .size = 0x40, .alignment = 1 });
    w.section({ .index = 2, .type = "ASD", .name = "DATA", .start = 0x8000, .size = 0x10 });
    w.globalSymbol({ .name = "_main", .value = 0x100 });
    w.globalSymbol({ .name = "_count", .value = 0x8000, .kind = IE_KIND_EQU });
    w.debug().typeBlock("main").nn("word").type(ty::T(0x100, 4));
    w.asmModule("main")
        .moduleSection({ .sectionIndex = 1, .start = 0x100, .size = 0x20, .after90 = 0x12 })
        .localSymbol({ .name = "loop", .value = 0x104 })
        .end();
    w.debug().bb3("main").nested(4, "f", { 0, 0, 0x100 }).end().end();

    struct Tree {
        std::vector<SectionView> sections;
        std::map<std::string, uint32_t> symbols;
        std::vector<std::tuple<std::string, int32_t, uint32_t, uint32_t>> parts;
        std::vector<std::tuple<std::string, int32_t, uint32_t>> locals;
        std::vector<std::tuple<std::string, uint32_t, int32_t>> functions;
        std::vector<std::tuple<std::string, uint32_t>> variables;
        std::size_t typeDefs = 0, secUses = 0;
        bool operator==(const Tree&) const = default;
    };
    auto snapshot = [] {
        Tree t;
        t.sections = sectionsRead();
        t.symbols = symbolsRead();
        for (IeModule* m : listOf(IE_getRoot()->modules)) {
            for (IeModSection* p : listOf(m->sections))
                t.parts.emplace_back(str(p->section ? p->section->name : nullptr), p->sectionIndex, p->start, p->size);
            for (IeModSymbol* s : listOf(m->symbols))
                t.locals.emplace_back(str(s->name), s->kind, s->value);
            t.typeDefs += listOf(m->typeDefs).size();
            for (IeSource* s : listOf(m->sources)) {
                t.secUses += listOf(s->sectionUses).size();
                for (IeFnDef* f : listOf(s->functions))
                    t.functions.emplace_back(str(f->name), f->address, f->resolved);
                for (IeVaDef* v : listOf(s->variables))
                    t.variables.emplace_back(str(v->name), v->address);
            }
        }
        return t;
    };
    for (const int mask : { IE_READ_VIEWER, IE_READ_ALL }) {
        SCOPED_TRACE(mask);
        ASSERT_EQ(readFile(w, mask), 0);
        const Tree strict = snapshot();
        ASSERT_EQ(readFile(w, mask | IE_READ_TOLERANT), 0);
        EXPECT_EQ(snapshot(), strict);
        EXPECT_EQ(strict.parts.size(), 1u);
        EXPECT_EQ(strict.functions.size(), 1u);
    }
}

// ---------------------------------------------------------------- the other linker's samples

// What a linker map gives: the spaces, each module's segments and the global symbols.
struct LinkerMap {
    struct Range {
        char space;
        uint32_t start;
        uint32_t size;
        auto operator<=>(const Range&) const = default;
    };
    std::map<std::string, Range> spaces; // by name
    std::map<std::string, std::multiset<Range>> segments; // by module name
    std::map<std::string, Range> symbols; // with a space; size 0
    std::set<std::string> linkerDefined; // "(User Defined)", no space
    std::size_t symbolCount = 0; // the map's own count
};

std::string readText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

LinkerMap parseMap(const std::filesystem::path& path)
{
    static const std::regex space(R"(^(\S+)\s+([A-Z]):([0-9A-F]+)\s+[A-Z]:[0-9A-F]+\s+([0-9a-fA-F]+)h\s*$)");
    static const std::regex module(R"(^Module: (.*) \((File|Library): .*$)");
    static const std::regex segment(
        R"(^\s+Segment: (\S+)\s+([A-Z]):([0-9A-F]+)\s+[A-Z]:[0-9A-F]+\s+([0-9a-fA-F]+)h\s*$)");
    static const std::regex symbol(R"(^(\S+)\s+([A-Z]):([0-9A-F]+) \S+\s+\S+\s*$)");
    static const std::regex userDefined(R"(^(\S+)\s+[0-9A-F]{8} \(User Defined\)\s*$)");
    static const std::regex count(R"(^(\d+) external symbol\(s\)\.\s*$)");
    LinkerMap map;
    std::istringstream in(readText(path));
    std::string line, heading, currentModule;
    std::smatch m;
    auto hex = [](const std::string& text) { return static_cast<uint32_t>(std::stoul(text, nullptr, 16)); };
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() > 1 && line.back() == ':' && std::isupper(static_cast<unsigned char>(line[0]))
            && line.find("  ") == std::string::npos && line.rfind("Module:", 0) != 0) {
            heading = line;
            continue;
        }
        if (heading == "SPACE ALLOCATION:" && std::regex_match(line, m, space)) {
            map.spaces[m[1]] = { m[2].str()[0], hex(m[3]), hex(m[4]) };
        } else if (heading == "SEGMENTS WITHIN MODULES:" && std::regex_match(line, m, module)) {
            currentModule = m[1];
            map.segments[currentModule];
        } else if (heading == "SEGMENTS WITHIN MODULES:" && std::regex_match(line, m, segment)) {
            map.segments[currentModule].insert({ m[2].str()[0], hex(m[3]), hex(m[4]) });
        } else if (heading == "EXTERNAL DEFINITIONS:" && std::regex_match(line, m, symbol)) {
            map.symbols[m[1]] = { m[2].str()[0], hex(m[3]), 0 };
        } else if (heading == "EXTERNAL DEFINITIONS:" && std::regex_match(line, m, userDefined)) {
            map.linkerDefined.insert(m[1]);
        } else if (heading == "EXTERNAL DEFINITIONS:" && std::regex_match(line, m, count)) {
            map.symbolCount = std::stoul(m[1]);
        }
    }
    return map;
}

struct Sample {
    std::string name;
    std::filesystem::path file;
    LinkerMap map;
};

std::vector<Sample> samples()
{
    std::vector<Sample> found;
    for (const auto& entry : std::filesystem::directory_iterator(TESSALY_SAMPLES_DIR)) {
        if (entry.path().extension() != ".lod")
            continue;
        std::filesystem::path map = entry.path();
        map.replace_extension(".map");
        if (std::filesystem::exists(map))
            found.push_back({ entry.path().filename().string(), entry.path(), parseMap(map) });
    }
    std::sort(found.begin(), found.end(), [](const Sample& a, const Sample& b) { return a.name < b.name; });
    return found;
}

class OtherLinkerSamples : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::is_directory(TESSALY_SAMPLES_DIR))
            GTEST_SKIP() << "the sample folder " << TESSALY_SAMPLES_DIR << " is not there";
        m_samples = samples();
        ASSERT_FALSE(m_samples.empty()) << "no .lod file with a .map beside it in " << TESSALY_SAMPLES_DIR;
    }

    int read(const Sample& sample, int mask) { return IE_readIEEE(sample.file.string().c_str(), mask); }

    std::vector<Sample> m_samples;
};

TEST_F(OtherLinkerSamples, MapsAreParsed)
{
    for (const Sample& s : m_samples) {
        SCOPED_TRACE(s.name);
        EXPECT_EQ(s.map.spaces.size(), 3u);
        EXPECT_FALSE(s.map.segments.empty());
        EXPECT_EQ(s.map.symbols.size() + s.map.linkerDefined.size(), s.map.symbolCount);
    }
}

TEST_F(OtherLinkerSamples, StrictReadingStillRefusesThemAtOffsetZero)
{
    for (const Sample& s : m_samples) {
        SCOPED_TRACE(s.name);
        for (const int mask : { IE_READ_VIEWER, IE_READ_ALL }) {
            EXPECT_EQ(read(s, mask), 3);
            EXPECT_EQ(errorPosition(), 0u);
            EXPECT_EQ(std::string(IE_readError(IE_ERROR_READ)), s.file.string() + ", 00000000: File read error.\n");
        }
    }
}

TEST_F(OtherLinkerSamples, OpenTolerantlyWithEveryMask)
{
    for (const Sample& s : m_samples) {
        SCOPED_TRACE(s.name);
        for (const int mask : { IE_READ_VIEWER, IE_READ_ALL, IE_READ_EXTERNALS, IE_READ_SECTIONS, IE_READ_DEBUG_PART,
                 IE_READ_ENVIRONMENT_PART, 0 })
            EXPECT_EQ(read(s, mask | IE_READ_TOLERANT), 0) << "mask " << mask;
    }
}

TEST_F(OtherLinkerSamples, SectionsAgreeWithTheMapsSpaces)
{
    // EDATA: the C modules' data segments appear nowhere in the file (no module section, no
    // loaded bytes), so it reaches only as far as the segments of the modules the file describes.
    const struct {
        const char* name;
        bool whole;
    } spaces[] = { { "ROM", true }, { "RDATA", true }, { "EDATA", false } };
    for (const Sample& s : m_samples) {
        SCOPED_TRACE(s.name);
        ASSERT_EQ(read(s, IE_READ_VIEWER | IE_READ_TOLERANT), 0);
        std::set<std::string> described;
        for (IeModule* m : listOf(IE_getRoot()->modules))
            described.insert(str(m->name));
        for (const auto& space : spaces) {
            SCOPED_TRACE(space.name);
            IeSection* section = IE_getSecName(space.name);
            ASSERT_NE(section, nullptr);
            const LinkerMap::Range& expected = s.map.spaces.at(space.name);
            EXPECT_EQ(section->start, expected.start);
            if (space.whole) {
                EXPECT_EQ(section->size, expected.size);
                continue;
            }
            uint32_t end = expected.start;
            for (const auto& [module, ranges] : s.map.segments)
                if (described.count(module) || described.count("common\\" + module))
                    for (const LinkerMap::Range& r : ranges)
                        if (r.space == expected.space)
                            end = std::max(end, r.start + r.size);
            EXPECT_EQ(section->size, end - expected.start);
            EXPECT_LT(section->size, expected.size);
        }
    }
}

TEST_F(OtherLinkerSamples, ModuleSectionsAgreeWithTheMapsSegments)
{
    for (const Sample& s : m_samples) {
        SCOPED_TRACE(s.name);
        ASSERT_EQ(read(s, IE_READ_VIEWER | IE_READ_TOLERANT), 0);
        std::map<std::string, char> spaceOf;
        for (const auto& [name, range] : s.map.spaces)
            spaceOf[name] = range.space;
        const auto modules = listOf(IE_getRoot()->modules);
        EXPECT_GE(modules.size(), 10u);
        for (IeModule* module : modules) {
            const std::string name = str(module->name);
            SCOPED_TRACE(name);
            // The map drops a library module's "common\" folder now and then.
            auto found = s.map.segments.find(name);
            if (found == s.map.segments.end() && name.rfind("common\\", 0) == 0)
                found = s.map.segments.find(name.substr(7));
            ASSERT_NE(found, s.map.segments.end());
            std::multiset<LinkerMap::Range> read;
            for (IeModSection* part : listOf(module->sections)) {
                ASSERT_NE(part->section, nullptr);
                read.insert({ spaceOf.at(part->section->name), part->start, part->size });
            }
            EXPECT_EQ(read, found->second);
        }
    }
}

TEST_F(OtherLinkerSamples, GlobalSymbolsAgreeWithTheMap)
{
    for (const Sample& s : m_samples) {
        SCOPED_TRACE(s.name);
        ASSERT_EQ(read(s, IE_READ_VIEWER | IE_READ_TOLERANT), 0);
        const auto symbols = listOf(IE_getRoot()->symbols);
        // Symbols the linker defines itself ("User Defined") are not in the file.
        EXPECT_EQ(symbols.size(), s.map.symbols.size());
        std::set<std::string> seen;
        for (IeSymbol* symbol : symbols) {
            const std::string name = str(symbol->name);
            SCOPED_TRACE(name);
            ASSERT_EQ(s.map.symbols.count(name), 1u);
            EXPECT_EQ(symbol->value, s.map.symbols.at(name).start);
            EXPECT_EQ(symbol->extra, s.map.symbols.at(name).space); // the space letter
            seen.insert(name);
        }
        for (const char* name : { "_main", "_c_startup", "_exit", "_putch" }) {
            SCOPED_TRACE(name);
            EXPECT_TRUE(seen.count(name));
            ASSERT_NE(IE_getSymName(name), nullptr);
            EXPECT_EQ(IE_getSymName(name)->value, s.map.symbols.at(name).start);
        }
        for (const std::string& name : s.map.linkerDefined)
            EXPECT_FALSE(seen.count(name)) << name;
    }
}

} // namespace
} // namespace tessaly::testing
