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
        { "environment part without NN", IE_READ_VIEWER,
            [](Ieee695Writer& w) {
                w.header({ .cpu = "Alcor", .module = "p", .withEnvironment = false });
                w.environment({ .nn = false }).raw({ 0xF5 });
                return w.partOffset(1);
            },
            IE_ERROR_READ },
        { "ATN without its CE", IE_READ_VIEWER,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                auto& env = w.environment();
                const Mark at = env.here();
                env.raw({ 0xF1, 0xC9, 0, 0, 55 });
                return w.offsetOf(at);
            },
            IE_ERROR_READ },
        { "ATN attribute 56", IE_READ_VIEWER,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                AtnPos pos = w.environment().attribute(56);
                return w.offsetOf(pos.payload) - 1;
            },
            IE_ERROR_READ },
        { "long attribute number: its last byte", IE_READ_VIEWER,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                auto& env = w.environment();
                env.raw({ 0xF1, 0xCE, 0, 0 }).numberWidth(56, 2);
                return w.offsetOf(env.here()) - 1;
            },
            IE_ERROR_READ },
        { "debug string of an unknown kind", IE_READ_VIEWER,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                return w.offsetOf(w.environment().debugString(dstr::text("Qq")).text);
            },
            IE_ERROR_ILLEGAL_INFORMATION },
        { "U without a source", IE_READ_ALL,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                return w.offsetOf(stringAt(w.environment().debugString(dstr::U('a', "S", "", 'x')), 1));
            },
            IE_ERROR_NO_MODULE_INFO },
        { "Fd before any Fs", IE_READ_VIEWER,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                w.environment().debugString(dstr::M("m.c", "m"));
                return w.offsetOf(stringAt(w.environment().debugString(dstr::Fd("f", "", 0, { 1, 2, 3, 4 })), 1));
            },
            IE_ERROR_NO_FUNCTION_INFO },
        { "S without a function", IE_READ_ALL,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                w.environment().debugString(dstr::M("m.c", "m"));
                return w.offsetOf(stringAt(w.environment().debugString(dstr::text("Sz")), 1));
            },
            IE_ERROR_NO_FUNCTION_INFO },
        { "S of an unknown sub-kind", IE_READ_ALL,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                w.environment().debugString(dstr::M("m.c", "m"));
                w.environment().debugString(dstr::Fs("f", "_f", 'G', 1));
                return w.offsetOf(stringAt(w.environment().debugString(dstr::text("Sz")), 1));
            },
            IE_ERROR_STACK_INFO },
        { "F of an unknown sub-kind, even with its bits clear", IE_READ_ENVIRONMENT,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                return w.offsetOf(stringAt(w.environment().debugString(dstr::text("Fz")), 1));
            },
            IE_ERROR_FUNCTION_INFO },
        { "V of an unknown sub-kind", IE_READ_ENVIRONMENT,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                return w.offsetOf(stringAt(w.environment().debugString(dstr::text("Vq")), 1));
            },
            IE_ERROR_VARIABLE_INFO },
        { "invalid name length inside a debug string", IE_READ_VIEWER,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                Bytes text;
                text.text("M").byte(0xA0);
                return w.offsetOf(stringAt(w.environment().debugString(text), 1));
            },
            IE_ERROR_READ },
        { "section name length of 0x80", IE_READ_VIEWER,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                auto& part = w.sections();
                part.raw({ 0xE6, 1, 0xC1, 0xD3, 0xD0 });
                const Mark at = part.here();
                part.raw({ 0x80 });
                return w.offsetOf(at);
            },
            IE_ERROR_READ },
        { "number prefix 0x80 in a field read as a Number", IE_READ_VIEWER,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                auto& part = w.sections();
                part.raw({ 0xE6 });
                const Mark at = part.here();
                part.raw({ 0x80 });
                return w.offsetOf(at);
            },
            IE_ERROR_READ },
        { "external reference NX", IE_READ_VIEWER,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                w.globalSymbol({ .name = "a" });
                auto& part = w.externals();
                const Mark at = part.here();
                part.raw({ 0xE9, 1 }).name("ext");
                return w.offsetOf(at);
            },
            IE_ERROR_READ },
        { "NI without its attribute record", IE_READ_VIEWER,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                auto& part = w.externals();
                part.raw({ 0xE8, 32 }).name("a");
                const Mark at = part.here();
                part.raw({ 0xE2, 0xC9, 32, 1 });
                return w.offsetOf(at);
            },
            IE_ERROR_READ },
        { "NI without its value record", IE_READ_VIEWER,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                auto& part = w.externals();
                part.raw({ 0xE8, 32 }).name("a").raw({ 0xF1, 0xC9, 32, 15, 0, 0 });
                const Mark at = part.here();
                part.raw({ 0xE8 });
                return w.offsetOf(at);
            },
            IE_ERROR_READ },
        { "debug block of an unknown type", IE_READ_VIEWER,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                auto& debug = w.debug();
                debug.raw({ 0xF8 });
                const Mark at = debug.here();
                debug.raw({ 0x04, 0 });
                return w.offsetOf(at);
            },
            IE_ERROR_READ },
        { "type 2 block without its end", IE_READ_VIEWER,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                auto& debug = w.debug();
                debug.raw({ 0xF8, 0x02, 0 }).name("b");
                const Mark at = debug.here();
                debug.raw({ 0xE1 });
                return w.offsetOf(at);
            },
            IE_ERROR_READ },
        { "module section without F9", IE_READ_VIEWER,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                auto& debug = w.debug();
                debug.raw({ 0xF8, 0x0A, 0 }).name("m").name("").raw({ 0, 0xF8, 0x0B, 0 }).name("").raw({ 1, 1, 0x10 });
                const Mark at = debug.here();
                debug.raw({ 0xF8 });
                return w.offsetOf(at);
            },
            IE_ERROR_READ },
        { "local symbol whose attribute record lacks CE", IE_READ_VIEWER,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                auto& debug = w.debug();
                debug.raw({ 0xF8, 0x0A, 0 }).name("m").name("").raw({ 0, 0xF0, 32 }).name("x").raw({ 0xF1 });
                const Mark at = debug.here();
                debug.raw({ 0xC9 });
                return w.offsetOf(at);
            },
            IE_ERROR_READ },
        { "nested block type 5 inside type 3", IE_READ_VIEWER,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                auto& debug = w.debug();
                debug.raw({ 0xF8, 0x03, 0 }).name("m").raw({ 0xF8 });
                const Mark at = debug.here();
                debug.raw({ 0x05, 0 }).name("x");
                return w.offsetOf(at);
            },
            IE_ERROR_READ },
        { "file ends inside the section part", IE_READ_VIEWER,
            [](Ieee695Writer& w) {
                w.header("Alcor", "p");
                auto& part = w.sections();
                part.setTerminator(std::nullopt);
                part.raw({ 0xE6, 0x01, 0xC1 });
                return w.offsetOf(part.here());
            },
            IE_ERROR_FILE_END },
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
    EXPECT_EQ(readBytes(bytes), IE_ERROR_READ);
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
    EXPECT_EQ(readFile(w, IE_READ_VIEWER), 0);
}

} // namespace
} // namespace tessaly::testing
