// seed_files_framed.cpp: the writer-built framed-record seed programs.
#include "seed_files.hpp"
#include "support/framed_writer.hpp"

namespace tessaly::fuzz {

using namespace tessaly::testing;

namespace {

FramedWriter framedStart(const std::string& cpu)
{
    FramedWriter w;
    w.start({ .module = "prog", .cpu = cpu, .a = 1, .f = 1 });
    return w;
}

std::vector<uint8_t> framedSmall(const std::string& cpu)
{
    FramedWriter w = framedStart(cpu);
    w.module("main");
    w.sectionPart({ .name = "CODE", .start = 0x1000, .size = 0x200, .alignment = 2, .flags = part::program });
    w.sectionPart({ .name = "DATA", .start = 0x8000, .size = 0x40, .alignment = 4, .flags = part::data });
    w.globals({ GlobalEntry::label("_main", 0, 0x10), GlobalEntry::constant("LIMIT", 0x40),
        GlobalEntry::label("abs", kNoPart, 0x1234) });
    w.module("uart");
    w.sectionPart({ .name = "DATA", .start = 0x8040, .size = 0x10, .flags = part::data });
    w.sectionPart({ .name = "ROM", .start = 0x4000, .size = 0x10, .flags = part::rom });
    w.globals({ GlobalEntry::label("_putc", 1, 4) });
    w.end();
    return w.bytes();
}

// Definition blocks with every kind of definition and type description.
std::vector<uint8_t> framedDefinitions()
{
    FramedWriter w = framedStart("Eridan");
    w.module("m");
    w.sectionPart({ .name = "CODE", .start = 0x1000, .size = 0x100 });
    w.sectionPart({ .name = "DATA", .start = 0x8000, .size = 0x100, .flags = part::data });
    w.globals({ GlobalEntry::label("_add", 0, 0), GlobalEntry::label("_g", 1, 0) });
    w.skippedGroup();
    w.moduleSelect(0);
    w.sourceFiles({ "t.c", "u.h" });
    w.openBlock();
    w.variable({ .name = "g",
        .storage = kGlobal,
        .type = 1,
        .part = 1,
        .offset = 0,
        .linkName = "_g",
        .desc = { base::integer(4), { ctor::array({ { 4 }, { 2, true } }, 1) } } });
    w.variable({ .name = "ext", .storage = kReference, .type = 2, .refName = "x", .desc = { base::character() } });
    w.variable({ .name = "skipped", .storage = 9 });
    w.typedefDef("u16", 90, { base::integer(2, 0x40) });
    w.recordTypeDef(
        "color", 91, 2, { base::named(91, 2), { ctor::enumeration({ { "RED", 0 }, { "BLUE", 0x10000, false } }) } });
    const std::vector<StructMember> members = {
        { .name = "id", .number = 1, .offset = 0, .type = { base::integer(2) } },
        { .name = "next", .number = 2, .offset = 4, .type = { base::named(92), { ctor::pointer() } } },
        { .name = "bits", .number = 3, .bitField = true, .a = 1, .b = 2, .c = 3, .bitBase = base::named(90) },
    };
    w.recordTypeDef("node", 92, 0, { base::named(92, 12), { ctor::structure(members) } });
    w.recordTypeDef("word", 93, 1, { base::named(93, 4), { ctor::structure({ members[0] }) } });
    w.function({ .name = "add",
        .type = 70,
        .part = 0,
        .linkName = "_add",
        .desc = { .returns = base::integer(2),
            .params = { { 1, { base::integer(2) } }, { 2, { base::character(), { ctor::pointer() } } } } } });
    w.openFunctionBlock(0x40);
    w.variable(
        { .name = "counter", .storage = kStatic, .type = 3, .part = 1, .offset = 8, .desc = { base::named(90) } });
    w.localLabel("loop", 0, 0x10);
    w.localLabel("ignored", 0, 0x10, 5);
    w.localValue("SIZE", 0x1234);
    w.variable({ .name = "handler",
        .storage = kStatic,
        .type = 80,
        .desc
        = { base::none(), { ctor::pointer(), ctor::passedOver(), ctor::function({ { 1, { base::integer(4) } } }) } } });
    w.closeBlock();
    w.function({ .name = "stop",
        .storage = kStatic,
        .type = 71,
        .part = 0,
        .offset = 0x40,
        .desc = { .returns = base::none(), .pointerLevels = 1 } });
    w.function({ .name = "puts",
        .storage = kReference,
        .type = 72,
        .linkName = "_puts",
        .desc = { .returns = base::character() } });
    w.otherDefinition(12);
    w.closeBlock();
    w.record(framed::kAfterBlocks, { 0 });
    w.moduleSelect(0);
    w.sourceFiles({ "v.c" });
    w.openBlock();
    w.variable({ .name = "late", .storage = kStatic, .desc = { base::named(92) } });
    w.closeBlock();
    w.end();
    return w.bytes();
}

} // namespace

std::vector<SeedFile> framedSeeds()
{
    return {
        { "framed-small-fornax", framedSmall("Fornax") },
        { "framed-small-other", framedSmall("Cetus") },
        { "framed-definitions", framedDefinitions() },
    };
}

} // namespace tessaly::fuzz
