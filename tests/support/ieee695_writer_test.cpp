// Tests of the IEEE-695 test-file writer: field encodings, record layouts and part offsets.
#include "support/ieee695_writer.hpp"
#include "support/temp_file.hpp"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace tessaly::testing {
namespace {

using ByteVector = std::vector<uint8_t>;

ByteVector concat(std::initializer_list<ByteVector> pieces)
{
    ByteVector out;
    for (const ByteVector& p : pieces)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

ByteVector chars(const std::string& s)
{
    return { s.begin(), s.end() };
}

// An independent decoder of the header's ASW records, so the writer's offsets are
// checked against the bytes rather than against its own bookkeeping.
class HeaderScan {
public:
    explicit HeaderScan(const ByteVector& file)
        : m_file(file)
    {
    }

    std::map<uint32_t, uint32_t> asw()
    {
        m_pos = 1;
        skipName();
        skipName();
        m_pos += 4;
        std::map<uint32_t, uint32_t> result;
        while (m_file.at(m_pos) == 0xE2 && m_file.at(m_pos + 1) == 0xD7) {
            m_pos += 2;
            const uint32_t index = number();
            result[index] = number();
        }
        return result;
    }

private:
    uint32_t number()
    {
        const uint8_t b = m_file.at(m_pos++);
        if (b < 0x80)
            return b;
        uint32_t v = 0;
        for (int i = 0; i < (b & 0x0F); ++i)
            v = (v << 8) | m_file.at(m_pos++);
        return v;
    }
    void skipName()
    {
        const uint8_t b = m_file.at(m_pos++);
        std::size_t n = b;
        if (b == 0xDE)
            n = m_file.at(m_pos++);
        else if (b == 0xDF) {
            n = std::size_t { m_file.at(m_pos) } << 8 | m_file.at(m_pos + 1);
            m_pos += 2;
        }
        m_pos += n;
    }

    const ByteVector& m_file;
    std::size_t m_pos = 0;
};

// ---------------------------------------------------------------- encodings

TEST(Ieee695WriterEncoding, NumberUsesShortestForm)
{
    struct Case {
        uint32_t value;
        ByteVector bytes;
    };
    const Case cases[] = {
        { 0x00, { 0x00 } },
        { 0x7F, { 0x7F } },
        { 0x80, { 0x81, 0x80 } },
        { 0xFF, { 0x81, 0xFF } },
        { 0x100, { 0x82, 0x01, 0x00 } },
        { 0xFFFF, { 0x82, 0xFF, 0xFF } },
        { 0x10000, { 0x83, 0x01, 0x00, 0x00 } },
        { 0x1000000, { 0x84, 0x01, 0x00, 0x00, 0x00 } },
        { 0xFFFFFFFF, { 0x84, 0xFF, 0xFF, 0xFF, 0xFF } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(Bytes().number(c.value).data(), c.bytes);
    }
}

TEST(Ieee695WriterEncoding, NumberWithForcedWidth)
{
    struct Case {
        uint32_t value;
        int width;
        ByteVector bytes;
    };
    const Case cases[] = {
        { 0x05, 0, { 0x05 } },
        { 0x05, 1, { 0x81, 0x05 } },
        { 0x05, 4, { 0x84, 0x00, 0x00, 0x00, 0x05 } },
        { 0x7F, 2, { 0x82, 0x00, 0x7F } },
        { 0x1234, 3, { 0x83, 0x00, 0x12, 0x34 } },
        { 0xFFFFFFFF, 4, { 0x84, 0xFF, 0xFF, 0xFF, 0xFF } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.value << " width " << c.width);
        EXPECT_EQ(Bytes().numberWidth(c.value, c.width).data(), c.bytes);
    }
}

TEST(Ieee695WriterEncoding, NumberWidthThatCannotHoldTheValueIsRefused)
{
    Bytes b;
    EXPECT_THROW(b.numberWidth(0x80, 0), std::invalid_argument);
    EXPECT_THROW(b.numberWidth(0x100, 1), std::invalid_argument);
    EXPECT_THROW(b.numberWidth(0x1000000, 3), std::invalid_argument);
    EXPECT_THROW(b.numberWidth(1, 5), std::invalid_argument);
    EXPECT_EQ(b.size(), 0u);
}

TEST(Ieee695WriterEncoding, NameLengthForms)
{
    struct Case {
        std::size_t length;
        NameForm form;
        ByteVector prefix;
    };
    const Case cases[] = {
        { 0, NameForm::Shortest, { 0x00 } },
        { 1, NameForm::Shortest, { 0x01 } },
        { 127, NameForm::Shortest, { 0x7F } },
        { 128, NameForm::Shortest, { 0xDE, 0x80 } },
        { 255, NameForm::Shortest, { 0xDE, 0xFF } },
        { 256, NameForm::Shortest, { 0xDF, 0x01, 0x00 } },
        { 300, NameForm::Shortest, { 0xDF, 0x01, 0x2C } },
        { 2, NameForm::Byte, { 0xDE, 0x02 } },
        { 0, NameForm::Byte, { 0xDE, 0x00 } },
        { 2, NameForm::Word, { 0xDF, 0x00, 0x02 } },
        { 128, NameForm::Word, { 0xDF, 0x00, 0x80 } },
        { 5, NameForm::Short, { 0x05 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "length " << c.length << " form " << static_cast<int>(c.form));
        const std::string text(c.length, 'n');
        EXPECT_EQ(Bytes().name(text, c.form).data(), concat({ c.prefix, chars(text) }));
    }
}

TEST(Ieee695WriterEncoding, NameTooLongForForcedFormIsRefused)
{
    Bytes b;
    EXPECT_THROW(b.name(std::string(128, 'a'), NameForm::Short), std::length_error);
    EXPECT_THROW(b.name(std::string(256, 'a'), NameForm::Byte), std::length_error);
    EXPECT_THROW(b.name(std::string(65536, 'a')), std::length_error);
    EXPECT_EQ(b.size(), 0u);
}

// ---------------------------------------------------------------- header

TEST(Ieee695WriterHeader, HeaderBytesWithoutParts)
{
    Ieee695Writer w;
    w.header({ .cpu = "Z80", .module = "prog", .withEnvironment = false });
    const ByteVector expected
        = concat({ { 0xE0, 0x03 }, chars("Z80"), { 0x04 }, chars("prog"), { 0xEC, 0x08, 0x04, 0xCC }, { 0xE1, 0x00 } });
    EXPECT_EQ(w.bytes(), expected);
    EXPECT_EQ(w.adOffset(), 10u);
    EXPECT_EQ(w.headerEndOffset(), 14u);
}

// Each case grows the environment part so the later offsets need wider Numbers,
// which moves every part again.
TEST(Ieee695WriterHeader, AswOffsetsPointAtThePartsFirstBytes)
{
    for (std::size_t filler :
        { std::size_t { 0 }, std::size_t { 200 }, std::size_t { 30000 }, std::size_t { 90000 } }) {
        SCOPED_TRACE(filler);
        Ieee695Writer w;
        w.header("Z80", "prog");
        EnvironmentPart& env = w.environment();
        for (std::size_t left = filler; left > 0; left -= std::min<std::size_t>(left, 30000))
            env.attribute51(std::string(std::min<std::size_t>(left, 30000), 'c'));
        w.section({ .index = 1, .type = "ASD", .name = "CODE", .start = 0x100, .size = 0x40 });
        w.globalSymbol({ .name = "main", .value = 0x100 });
        w.asmModule("m1").moduleSection({ .sectionIndex = 1, .start = 0x100, .size = 0x40 });

        const ByteVector file = w.bytes();
        const std::map<uint32_t, uint32_t> asw = HeaderScan(file).asw();
        ASSERT_EQ(asw.size(), 4u);
        const std::map<uint32_t, uint8_t> firstByte = { { 1, 0xF0 }, { 2, 0xE6 }, { 3, 0xE8 }, { 4, 0xF8 } };
        for (const auto& [index, code] : firstByte) {
            SCOPED_TRACE(index);
            EXPECT_EQ(asw.at(index), w.partOffset(index));
            ASSERT_LT(asw.at(index), file.size());
            EXPECT_EQ(file[asw.at(index)], code);
        }
        EXPECT_EQ(asw.at(1), w.headerEndOffset() + 2);
    }
}

TEST(Ieee695WriterHeader, AswControl)
{
    Ieee695Writer w;
    w.header({ .cpu = "Z80", .module = "prog", .offsetWidth = 4, .withEnvironment = false });
    w.section({ .index = 1, .name = "CODE" });
    w.globalSymbol({ .name = "main" });
    w.omitAsw(3).overrideAsw(2, 0x1234).extraAsw(9, 0x55);

    const ByteVector file = w.bytes();
    const std::map<uint32_t, uint32_t> expected = { { 2, 0x1234 }, { 9, 0x55 } };
    EXPECT_EQ(HeaderScan(file).asw(), expected);
    // Forced width: the override is written as 84 00 00 12 34.
    const std::size_t aswAt = w.adOffset() + 4;
    const ByteVector record(
        file.begin() + static_cast<std::ptrdiff_t>(aswAt), file.begin() + static_cast<std::ptrdiff_t>(aswAt + 8));
    EXPECT_EQ(record, (ByteVector { 0xE2, 0xD7, 0x02, 0x84, 0x00, 0x00, 0x12, 0x34 }));
}

TEST(Ieee695WriterHeader, PartsFollowInCreationOrderWithRawSegmentsBetween)
{
    Ieee695Writer w;
    w.header({ .cpu = "C", .module = "m", .withEnvironment = false });
    DebugPart& debug = w.debug();
    RawSegment& gap = w.rawSegment({ 0xAA, 0xBB });
    EnvironmentPart& env = w.environment();

    EXPECT_EQ(w.offsetOf(debug.start()), w.headerEndOffset() + 2);
    EXPECT_EQ(w.offsetOf(gap.start()), w.offsetOf(debug.start()) + 1); // only the terminator
    EXPECT_EQ(w.offsetOf(env.start()), w.offsetOf(gap.start()) + 2);
    EXPECT_EQ(w.bytes().at(w.offsetOf(env.start())), 0xF0);
}

// ---------------------------------------------------------------- environment

TEST(Ieee695WriterEnvironment, DebugStringRecordBytes)
{
    Ieee695Writer w;
    w.header({ .cpu = "C", .module = "m", .withEnvironment = false });
    EnvironmentPart& env = w.environment({ .nnIndex = 32, .nnName = "env" });
    const AtnPos fs = env.debugString(dstr::Fs("main", "_main", 'G', 3));

    const ByteVector nn = concat({ { 0xF0, 0x20, 0x03 }, chars("env") });
    const ByteVector atn = concat({ { 0xF1, 0xCE, 0x00, 0x00, 0x37, 0x0F, 'F', 's', 0x04 }, chars("main"), { 0x05 },
        chars("_main"), { 'G', 0x03 } });
    const ByteVector file = w.bytes();
    const std::size_t start = w.partOffset(1);
    EXPECT_EQ(ByteVector(file.begin() + static_cast<std::ptrdiff_t>(start), file.end()), concat({ nn, atn, { 0xE1 } }));
    EXPECT_EQ(w.offsetOf(fs.record), start + nn.size());
    EXPECT_EQ(w.offsetOf(fs.attribute), start + nn.size() + 4);
    EXPECT_EQ(w.offsetOf(fs.payload), start + nn.size() + 5);
    EXPECT_EQ(file.at(w.offsetOf(fs.text)), 'F');
    EXPECT_EQ(file.at(w.offsetOf(fs.text + 1)), 's');
}

TEST(Ieee695WriterEnvironment, DebugStringLayouts)
{
    struct Case {
        const char* label;
        Bytes string;
        ByteVector bytes;
    };
    const Case cases[] = {
        { "M", dstr::M("a.c", "mod"), concat({ { 'M', 3 }, chars("a.c"), { 3 }, chars("mod") }) },
        { "Uc", dstr::U('c', "CODE", "", 'X'), concat({ { 'U', 'c', 4 }, chars("CODE"), { 0, 'X' } }) },
        { "Sp", dstr::Sp(0x80), { 'S', 'p', 0x81, 0x80 } },
        { "Sc", dstr::Sc("a", "b", 'L', 1, 2), { 'S', 'c', 1, 'a', 1, 'b', 'L', 1, 2 } },
        { "Ss", dstr::Ss("", "", 'L', 0, 0x100), { 'S', 's', 0, 0, 'L', 0, 0x82, 0x01, 0x00 } },
        { "Fd", dstr::Fd("f", "", 0x7E, { 1, 2, 3, 4 }), { 'F', 'd', 1, 'f', 0, 0x7E, 1, 2, 3, 4 } },
        { "Fe", dstr::Fe("f", "", 0, 5, 0x20), { 'F', 'e', 1, 'f', 0, 0, 5, 0x20 } },
        { "Fp", dstr::Fp("f", "g", 'X', { 1, 2, 3, 4 }), { 'F', 'p', 1, 'f', 1, 'g', 'X', 1, 2, 3, 4 } },
        { "Fr", dstr::Fr("f", "g", 'X', { 1, 2, 3, 4 }), { 'F', 'r', 1, 'f', 1, 'g', 'X', 1, 2, 3, 4 } },
        { "Ft", dstr::Ft("f", 'G', 0x101), { 'F', 't', 1, 'f', 'G', 0x82, 0x01, 0x01 } },
        { "Vt", dstr::Vt("v", 'L', 4), { 'V', 't', 1, 'v', 'L', 4 } },
        { "Vd", dstr::Vd("v", "_v", 'S', { 1, 2, 3, 4, 5 }), { 'V', 'd', 1, 'v', 2, '_', 'v', 'S', 1, 2, 3, 4, 5 } },
        { "Ve", dstr::Ve("v", 'G', { 1, 2, 3, 4, 5 }), { 'V', 'e', 1, 'v', 'G', 1, 2, 3, 4, 5 } },
        { "Vr", dstr::Vr("v", 'G', { 1, 2, 3, 4, 5 }), { 'V', 'r', 1, 'v', 'G', 1, 2, 3, 4, 5 } },
        { "REV.F", dstr::revision(), chars("REV.F") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.string.data(), c.bytes);
    }
}

TEST(Ieee695WriterEnvironment, OtherAttributes)
{
    Ieee695Writer w;
    w.header({ .cpu = "C", .module = "m", .withEnvironment = false });
    EnvironmentPart& env = w.environment({ .nn = false });
    env.attribute50({ 1, 2, 3, 4, 5, 6 });
    env.attribute51("cmd");
    env.attribute52(7);
    env.attribute53(0x90);
    env.attribute54({ 1, 2, 3, 4 });
    const AtnPos odd = env.attribute(56);
    env.setTerminator(std::nullopt);

    const ByteVector expected = concat({ { 0xF1, 0xCE, 0, 0, 50, 1, 2, 3, 4, 5, 6 }, { 0xF1, 0xCE, 0, 0, 51, 3 },
        chars("cmd"), { 0xF1, 0xCE, 0, 0, 52, 7 }, { 0xF1, 0xCE, 0, 0, 53, 0x81, 0x90 },
        { 0xF1, 0xCE, 0, 0, 54, 1, 2, 3, 4 }, { 0xF1, 0xCE, 0, 0, 56 } });
    const ByteVector file = w.bytes();
    EXPECT_EQ(ByteVector(file.begin() + static_cast<std::ptrdiff_t>(w.partOffset(1)), file.end()), expected);
    EXPECT_EQ(w.offsetOf(odd.payload), file.size());
}

// ---------------------------------------------------------------- sections and symbols

TEST(Ieee695WriterSections, SectionRecordBytes)
{
    Ieee695Writer w;
    w.header("C", "m");
    w.section({ .index = 1, .type = "ASD", .name = "CODE", .start = 0x100, .size = 0x40 });
    const Mark second = w.section({ .index = 2, .type = "CP", .name = "", .alignment = 2 });

    const ByteVector expected = concat({ { 0xE6, 0x01, 0xC1, 0xD3, 0xC4, 0x04 }, chars("CODE"),
        { 0xE2, 0xCC, 0x01, 0x82, 0x01, 0x00, 0xE2, 0xD3, 0x01, 0x40 },
        { 0xE6, 0x02, 0xC3, 0xD0, 0x00, 0xE7, 0x02, 0x02 }, { 0xE1 } });
    const ByteVector file = w.bytes();
    EXPECT_EQ(ByteVector(file.begin() + static_cast<std::ptrdiff_t>(w.partOffset(2)), file.end()), expected);
    EXPECT_EQ(w.offsetOf(second), w.partOffset(2) + 20);
}

TEST(Ieee695WriterSymbols, GlobalSymbolRecordBytes)
{
    Ieee695Writer w;
    w.header("C", "m");
    const GlobalSymbolPos first = w.globalSymbol({ .name = "main", .value = 0x1234 });
    w.globalSymbol({ .name = "K", .value = 5, .kind = 17, .attribute = 1, .extra = 2 });

    const ByteVector expected = concat(
        { { 0xE8, 0x20, 0x04 }, chars("main"), { 0xF1, 0xC9, 0x20, 15, 0, 0, 0xE2, 0xC9, 0x20, 0x82, 0x12, 0x34 },
            { 0xE8, 0x21, 0x01, 'K', 0xF1, 0xC9, 0x21, 17, 1, 2, 0xE2, 0xC9, 0x21, 5 }, { 0xE1 } });
    const ByteVector file = w.bytes();
    const std::size_t start = w.partOffset(3);
    EXPECT_EQ(ByteVector(file.begin() + static_cast<std::ptrdiff_t>(start), file.end()), expected);
    EXPECT_EQ(w.offsetOf(first.record), start);
    EXPECT_EQ(w.offsetOf(first.ati), start + 7);
    EXPECT_EQ(w.offsetOf(first.asi), start + 13);
}

// ---------------------------------------------------------------- debug part

ByteVector debugPartOf(const Ieee695Writer& w)
{
    const ByteVector file = w.bytes();
    return { file.begin() + static_cast<std::ptrdiff_t>(w.partOffset(4)), file.end() };
}

TEST(Ieee695WriterDebug, AssemblerModuleWithModuleSectionAndLocalSymbol)
{
    Ieee695Writer w;
    w.header("C", "m");
    Mark bb11;
    Mark local;
    w.asmModule("m1")
        .moduleSection({ .sectionIndex = 1, .start = 0x100, .size = 0x40, .kind = 3 }, &bb11)
        .localSymbol({ .name = "loop", .value = 0x104, .kind = 15, .attribute = 1, .extra1 = 2, .extra2 = 3 }, &local);

    const ByteVector bb10 = { 0xF8, 0x0A, 0x00, 0x02, 'm', '1', 0x00, 0x00 };
    const ByteVector section = { 0xF8, 0x0B, 0x00, 0x00, 0x03, 0x01, 0x82, 0x01, 0x00, 0xF9, 0x40 };
    const ByteVector symbol = concat({ { 0xF0, 0x20, 0x04 }, chars("loop"), { 0xF1, 0xCE, 0x20, 15, 1, 2, 3 },
        { 0xE2, 0xCE, 0x20, 0x82, 0x01, 0x04 } });
    EXPECT_EQ(debugPartOf(w), concat({ bb10, section, symbol, { 0xF9, 0xE1 } }));
    EXPECT_EQ(w.offsetOf(bb11), w.partOffset(4) + bb10.size());
    EXPECT_EQ(w.offsetOf(local), w.partOffset(4) + bb10.size() + section.size());
}

TEST(Ieee695WriterDebug, AssemblerModuleOptions)
{
    Ieee695Writer w;
    w.header("C", "m");
    w.asmModule("m", { .number = 1, .secondName = "f", .secondNumber = 2, .skippedName = "tool" })
        .moduleSection({ .sectionIndex = 2, .name = "S", .number = 4, .after90 = 0x33 });
    w.asmModule("n").end();

    EXPECT_EQ(debugPartOf(w),
        concat({ { 0xF8, 0x0A, 1, 1, 'm', 1, 'f', 2, 4 }, chars("tool"),
            { 0xF8, 0x0B, 4, 1, 'S', 0, 2, 0, 0x90, 0x33, 0xF9, 0 }, { 0xF9 }, { 0xF8, 0x0A, 0, 1, 'n', 0, 0, 0xF9 },
            { 0xE1 } }));
}

TEST(Ieee695WriterDebug, TypeBlockBytes)
{
    Ieee695Writer w;
    w.header("C", "m");
    w.debug()
        .typeBlock("mod")
        .nn("colour")
        .type(ty::N(0x100, { { "red", 0 }, { "blue", 1 } }))
        .type(ty::O(0x101, 0x100))
        .type(ty::S(0x102, 4, { { "a", 3, 0 }, { "b", 0x101, 2 } }))
        .type(ty::Z(0x103, 3, 9))
        .type(ty::v(0x104))
        .type(ty::x(0x105, 3, { 1, 0x101 }));
    w.debug().bb2("two");

    const ByteVector expected = concat({
        { 0xF8, 0x01, 0x00, 0x03 },
        chars("mod"),
        { 0xF0, 0x00, 0x06 },
        chars("colour"),
        { 0xF2, 0x82, 0x01, 0x00, 0xCE, 0x00, 'N', 0x00, 0x00, 0x03 },
        chars("red"),
        { 0x00, 0x04 },
        chars("blue"),
        { 0x01 },
        { 0xF2, 0x82, 0x01, 0x01, 0xCE, 0x00, 'O', 0x82, 0x01, 0x00 },
        { 0xF2, 0x82, 0x01, 0x02, 0xCE, 0x00, 'S', 0x04, 0x01, 'a', 0x03, 0x00, 0x01, 'b', 0x82, 0x01, 0x01, 0x02 },
        { 0xF2, 0x82, 0x01, 0x03, 0xCE, 0x00, 'Z', 0x03, 0x09 },
        { 0xF2, 0x82, 0x01, 0x04, 0xCE, 0x00, 'v' },
        { 0xF2, 0x82, 0x01, 0x05, 0xCE, 0x00, 'x', 0, 0, 0, 0x03, 0x02, 0x01, 0x82, 0x01, 0x01, 0x00 },
        { 0xF9 },
        { 0xF8, 0x02, 0x00, 0x03 },
        chars("two"),
        { 0xF9, 0xE1 },
    });
    EXPECT_EQ(debugPartOf(w), expected);
}

TEST(Ieee695WriterDebug, NestingBlocksCloseInnermostFirst)
{
    Ieee695Writer w;
    w.header("C", "m");
    NestingBlock outer = w.debug().bb3("mod");
    outer.nested(4, "f", { 0, 0, 0x100 }).atn({ 1, 2 }).as(0xD3, { 0x90 });
    EXPECT_EQ(outer.depth(), 2);
    outer.end(0x120);
    EXPECT_EQ(outer.depth(), 1);
    w.debug().bb5("src").nested(5, "inner"); // both left open: closed at layout

    EXPECT_EQ(debugPartOf(w),
        concat(
            { { 0xF8, 0x03, 0x00, 0x03 }, chars("mod"), { 0xF8, 0x04, 0x00, 0x01, 'f', 0x00, 0x00, 0x82, 0x01, 0x00 },
                { 0xF1, 0xCE, 0x01, 0x02, 0xE2, 0xD3, 0x81, 0x90 }, { 0xF9, 0x82, 0x01, 0x20 }, { 0xF9, 0x00 },
                { 0xF8, 0x05, 0x00, 0x03 }, chars("src"), { 0xF8, 0x05, 0x00, 0x05 }, chars("inner"),
                { 0xF9, 0x00, 0xF9, 0x00 }, { 0xE1 } }));
}

TEST(Ieee695WriterDebug, ClosedBlockHandleIsRefused)
{
    Ieee695Writer w;
    AsmModuleBlock first = w.asmModule("a");
    w.asmModule("b");
    EXPECT_THROW(first.localSymbol({ .name = "x" }), std::logic_error);
    NestingBlock block = w.debug().bb3("c");
    block.end();
    EXPECT_THROW(block.nn("late"), std::logic_error);
}

TEST(Ieee695WriterDebug, TerminatorCanBeLeftOut)
{
    Ieee695Writer w;
    w.header("C", "m");
    w.debug().setTerminator(std::nullopt);
    w.debug().bb2("x");
    EXPECT_EQ(debugPartOf(w), (ByteVector { 0xF8, 0x02, 0x00, 0x01, 'x', 0xF9 }));
    EXPECT_EQ(w.offsetOf(w.debug().terminatorMark()), w.bytes().size());
}

// ---------------------------------------------------------------- files

ByteVector readAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

TEST(TempFileTest, HoldsTheBytesUntilDestroyed)
{
    const ByteVector bytes = { 0xE0, 0x00, 0xFF, 0x1A };
    std::filesystem::path path;
    {
        TempFile file(bytes);
        path = file.path();
        EXPECT_EQ(readAll(path), bytes);
        TempFile other(bytes);
        EXPECT_NE(other.path(), path);
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(TempFileTest, MovedFromFileIsNotRemovedTwice)
{
    TempFile first(ByteVector { 1, 2, 3 });
    const std::filesystem::path path = first.path();
    TempFile second(std::move(first));
    EXPECT_EQ(second.path(), path);
    EXPECT_TRUE(std::filesystem::exists(path));
}

TEST(Ieee695WriterFile, WriteToStoresTheSameBytes)
{
    Ieee695Writer w;
    w.header("Z80", "prog");
    w.environment().revision();
    TempFile file(ByteVector {});
    w.writeTo(file.path());
    EXPECT_EQ(readAll(file.path()), w.bytes());
}

} // namespace
} // namespace tessaly::testing
