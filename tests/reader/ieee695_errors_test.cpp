// ieee695_errors_test.cpp: every structural fault gives its code at the offset of its byte.
#include "read_helpers.hpp"
#include "reader_state.hpp"

#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace tessaly::testing {
namespace {

struct FaultCase {
    std::string what;
    int mask;
    // Builds the file and returns the offset at which the fault must be reported.
    std::function<std::size_t(Ieee695Writer&)> build;
    int code;
};

Mark stringAt(const AtnPos& pos, std::size_t byte)
{
    return pos.text + byte;
}

std::vector<FaultCase> faultCases()
{
    return {
        { "environment part without NN", kViewerMask,
            [](Ieee695Writer& w) {
                w.header({ .cpu = "Alcor", .module = "p", .withEnvironment = false });
                w.environment({ .nn = false }).raw({ 0xF5 });
                return w.partOffset(1);
            },
            3 },
        { "ATN without its CE", kViewerMask,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                auto& env = w.environment();
                const Mark at = env.here();
                env.raw({ 0xF1, 0xC9, 0, 0, 55 });
                return w.offsetOf(at);
            },
            3 },
        { "ATN attribute 56", kViewerMask,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                AtnPos pos = w.environment().attribute(56);
                return w.offsetOf(pos.payload) - 1;
            },
            3 },
        { "long attribute number: its last byte", kViewerMask,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                auto& env = w.environment();
                env.raw({ 0xF1, 0xCE, 0, 0 }).numberWidth(56, 2);
                return w.offsetOf(env.here()) - 1;
            },
            3 },
        { "debug string of an unknown kind", kViewerMask,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                return w.offsetOf(w.environment().debugString(dstr::text("Qq")).text);
            },
            4 },
        { "U without a source", kEverything,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                return w.offsetOf(stringAt(w.environment().debugString(dstr::U('a', "S", "", 'x')), 1));
            },
            6 },
        { "Fd before any Fs", kViewerMask,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                w.environment().debugString(dstr::M("m.c", "m"));
                return w.offsetOf(stringAt(w.environment().debugString(dstr::Fd("f", "", 0, { 1, 2, 3, 4 })), 1));
            },
            7 },
        { "S without a function", kEverything,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                w.environment().debugString(dstr::M("m.c", "m"));
                return w.offsetOf(stringAt(w.environment().debugString(dstr::text("Sz")), 1));
            },
            7 },
        { "S of an unknown sub-kind", kEverything,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                w.environment().debugString(dstr::M("m.c", "m"));
                w.environment().debugString(dstr::Fs("f", "_f", 'G', 1));
                return w.offsetOf(stringAt(w.environment().debugString(dstr::text("Sz")), 1));
            },
            10 },
        { "F of an unknown sub-kind, even with its bits clear", 0x0080,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                return w.offsetOf(stringAt(w.environment().debugString(dstr::text("Fz")), 1));
            },
            8 },
        { "V of an unknown sub-kind", 0x0080,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                return w.offsetOf(stringAt(w.environment().debugString(dstr::text("Vq")), 1));
            },
            9 },
        { "invalid name length inside a debug string", kViewerMask,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                Bytes text;
                text.text("M").byte(0xA0);
                return w.offsetOf(stringAt(w.environment().debugString(text), 1));
            },
            3 },
        { "section name length of 0x80", kViewerMask,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                auto& part = w.sections();
                part.raw({ 0xE6, 1, 0xC1, 0xD3, 0xD0 });
                const Mark at = part.here();
                part.raw({ 0x80 });
                return w.offsetOf(at);
            },
            3 },
        { "number prefix 0x80 in a field read as a Number", kViewerMask,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                auto& part = w.sections();
                part.raw({ 0xE6 });
                const Mark at = part.here();
                part.raw({ 0x80 });
                return w.offsetOf(at);
            },
            3 },
        { "external reference NX", kViewerMask,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                w.globalSymbol({ .name = "a" });
                auto& part = w.externals();
                const Mark at = part.here();
                part.raw({ 0xE9, 1 }).name("ext");
                return w.offsetOf(at);
            },
            3 },
        { "NI without its attribute record", kViewerMask,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                auto& part = w.externals();
                part.raw({ 0xE8, 32 }).name("a");
                const Mark at = part.here();
                part.raw({ 0xE2, 0xC9, 32, 1 });
                return w.offsetOf(at);
            },
            3 },
        { "NI without its value record", kViewerMask,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                auto& part = w.externals();
                part.raw({ 0xE8, 32 }).name("a").raw({ 0xF1, 0xC9, 32, 15, 0, 0 });
                const Mark at = part.here();
                part.raw({ 0xE8 });
                return w.offsetOf(at);
            },
            3 },
        { "debug block of an unknown type", kViewerMask,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                auto& debug = w.debug();
                debug.raw({ 0xF8 });
                const Mark at = debug.here();
                debug.raw({ 0x04, 0 });
                return w.offsetOf(at);
            },
            3 },
        { "type 2 block without its end", kViewerMask,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                auto& debug = w.debug();
                debug.raw({ 0xF8, 0x02, 0 }).name("b");
                const Mark at = debug.here();
                debug.raw({ 0xE1 });
                return w.offsetOf(at);
            },
            3 },
        { "module section without F9", kViewerMask,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                auto& debug = w.debug();
                debug.raw({ 0xF8, 0x0A, 0 }).name("m").name("").raw({ 0, 0xF8, 0x0B, 0 }).name("").raw({ 1, 1, 0x10 });
                const Mark at = debug.here();
                debug.raw({ 0xF8 });
                return w.offsetOf(at);
            },
            3 },
        { "local symbol whose attribute record lacks CE", kViewerMask,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                auto& debug = w.debug();
                debug.raw({ 0xF8, 0x0A, 0 }).name("m").name("").raw({ 0, 0xF0, 32 }).name("x").raw({ 0xF1 });
                const Mark at = debug.here();
                debug.raw({ 0xC9 });
                return w.offsetOf(at);
            },
            3 },
        { "nested block type 5 inside type 3", kViewerMask,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                auto& debug = w.debug();
                debug.raw({ 0xF8, 0x03, 0 }).name("m").raw({ 0xF8 });
                const Mark at = debug.here();
                debug.raw({ 0x05, 0 }).name("x");
                return w.offsetOf(at);
            },
            3 },
        { "file ends inside the section part", kViewerMask,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                auto& part = w.sections();
                part.setTerminator(std::nullopt);
                part.raw({ 0xE6, 0x01, 0xC1 });
                return w.offsetOf(part.here());
            },
            2 },
    };
}

TEST(Ieee695Faults, EachFaultHasItsCodeAndPosition)
{
    for (const FaultCase& fault : faultCases()) {
        SCOPED_TRACE(fault.what);
        Ieee695Writer w;
        std::size_t expected = fault.build(w);
        EXPECT_EQ(readFile(w, fault.mask), fault.code);
        EXPECT_EQ(orvik::readerState().errorPosition, expected);
    }
}

TEST(Ieee695Faults, AnInvalidNameLengthInTheHeaderIsCode3AtItsByte)
{
    Ieee695Writer w;
    w.header("x", "p");
    std::vector<uint8_t> bytes = w.bytes();
    bytes[1] = 0x90; // the processor name's length byte
    EXPECT_EQ(readBytes(bytes), 3);
    EXPECT_EQ(orvik::readerState().errorPosition, 1u);
}

TEST(Ieee695Faults, SkippedNumbersAndStringsAcceptThe0x80Prefix)
{
    Ieee695Writer w;
    w.header("Alcor", "p");
    auto& part = w.sections();
    part.raw({ 0xE6, 1, 0xC3, 0xD0, 1, 'X', 0xE7, 0x80, 0x02 });
    ASSERT_EQ(readFile(w), 0);
    EXPECT_EQ(IE_getRoot()->sections->alignment, 2);
}

TEST(Ieee695Faults, AStackStringOfUnknownSubKindPassesWhileItsBitIsClear)
{
    Ieee695Writer w;
    w.header("Alcor", "p");
    w.environment().debugString(dstr::text("Sz"));
    EXPECT_EQ(readFile(w, kViewerMask), 0);
}

} // namespace
} // namespace tessaly::testing
