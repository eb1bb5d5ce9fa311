// seed_files_ieee695.cpp: the writer-built IEEE-695 seed programs.
#include "seed_files.hpp"
#include "support/ieee695_writer.hpp"

namespace tessaly::fuzz {

using namespace tessaly::testing;

namespace {

// Sections, globals, one C function with its address from a global, one assembler module.
std::vector<uint8_t> ieeeSmall(const std::string& cpu)
{
    Ieee695Writer w;
    w.header(cpu, "prog");
    w.section({ .index = 1, .type = "ASP", .name = "CODE", .start = 0x1000, .size = 0x100 });
    w.section({ .index = 2, .type = "ASD", .name = "DATA", .start = 0x2000, .size = 0x80 });
    w.section({ .index = 3, .type = "CR", .name = "EMPTY", .start = 0x2080, .size = 0 });
    w.globalSymbol({ .name = "main", .value = 0x1000 });
    w.globalSymbol({ .name = "_f", .value = 0x1010 });
    w.globalSymbol({ .name = "LIMIT", .value = 0x40, .kind = 17 });
    auto& env = w.environment();
    env.revision();
    env.debugString(dstr::M("main.c", "mod"));
    env.debugString(dstr::Fs("func", "_f", 'G', 1));
    env.debugString(dstr::Fe("func", "", 0, 0, 0x20));
    w.asmModule("mod")
        .moduleSection({ .sectionIndex = 1, .start = 0x1000, .size = 0x40, .kind = 1 })
        .moduleSection({ .sectionIndex = 2, .start = 0x2000, .size = 0x10, .kind = 2 })
        .localSymbol({ .name = "loop", .value = 0x1020 })
        .localSymbol({ .name = "COUNT", .value = 3, .kind = 17 })
        .end();
    return w.bytes();
}

// Every debug string kind, two modules with sources, and every type letter.
std::vector<uint8_t> ieeeDebugStrings()
{
    Ieee695Writer w;
    w.header("Dorado", "rich");
    w.section({ .index = 1, .type = "ASP", .name = "P", .start = 0x100, .size = 0x200, .alignment = 2 });
    w.section({ .index = 2, .type = "ASD", .name = "D", .start = 0x400, .size = 0x40 });
    w.globalSymbol({ .name = "_main", .value = 0x100 });
    w.globalSymbol({ .name = "_count", .value = 0x400 });
    w.globalSymbol({ .name = "_state$1", .value = 0x404, .kind = 15, .attribute = 1, .extra = 2 });
    auto& env = w.environment();
    env.attribute50({ 1, 2, 3, 4, 5, 6 });
    env.attribute51("tool");
    env.attribute52(7);
    env.attribute53(8);
    env.attribute54({ 1, 2, 3, 4 });
    env.debugString(dstr::M("main.c", "prog"));
    env.debugString(dstr::U('d', "D", "data", 'x'));
    env.debugString(dstr::Fs("main", "_main", 'G', 42));
    env.debugString(dstr::Fd("main", "", 0, { 1, 2, 3, 4 }));
    env.debugString(dstr::Sp(6));
    env.debugString(dstr::Sc("r1", "reg", 'c', 1, 2));
    env.debugString(dstr::Ss("tmp", "stk", 's', 3, 4));
    env.debugString(dstr::Fr("strlen", "string", 'G', { 9, 10, 11, 12 }));
    env.debugString(dstr::Vr("buffer", 'L', { 11, 12, 13, 14, 15 }));
    env.debugString(dstr::Vd("state", "_state$1", 'L', { 0, 0, 0, 0, 0 }));
    env.debugString(dstr::Fe("main", "", 0, 9, 0x30));
    env.debugString(dstr::Fp("puts", "stdio", 'G', { 5, 6, 7, 8 }));
    env.debugString(dstr::Ft("main", 'G', 0x101));
    env.debugString(dstr::Vd("count", "_count", 'G', { 1, 2, 3, 4, 5 }));
    env.debugString(dstr::Vd("local", "_count", 'S', { 1, 2, 3, 4, 5 }));
    env.debugString(dstr::Ve("errno", 'G', { 6, 7, 8, 9, 10 }));
    env.debugString(dstr::Vt("state", 'L', 0x102));
    env.debugString(dstr::Vt("count", 'G', 0x100));
    env.debugString(dstr::M("util.c", "lib"));
    env.debugString(dstr::Fs("helper", "_helper", 'S', 2));
    w.debug()
        .typeBlock("prog")
        .nn("color")
        .type(ty::N(0x100, { { "red", 0 }, { "green", 1 } }))
        .type(ty::P(0x101, 0x104))
        .nn("point")
        .type(ty::S(0x102, 4, { { "x", 0x100, 0 }, { "y", 3, 2 } }))
        .type(ty::U(0x103, 2, { { "raw", 0x999, 0 } }))
        .nn("word")
        .type(ty::T(0x104, 0x102))
        .type(ty::Z(0x105, 0x102, 9))
        .type(ty::g(0x106, 1, 3, 0x104))
        .type(ty::v(0x107))
        .type(ty::x(0x108, 0x101, { 0x102, 5 }))
        .type(ty::O(0x109, 0x109))
        .type(ty::other(0x10A, 'q', Bytes().number(1).number(2)))
        .end();
    w.asmModule("prog").moduleSection({ .sectionIndex = 1, .start = 0x100, .size = 0x80 }).end();
    w.asmModule("lib")
        .moduleSection({ .sectionIndex = 1, .start = 0x180, .size = 0x20, .after90 = 1 })
        .localSymbol({ .name = "_helper", .value = 0x180 })
        .end();
    return w.bytes();
}

// The block kinds the reader steps over, between blocks it reads.
std::vector<uint8_t> ieeeSkippedBlocks()
{
    Ieee695Writer w;
    w.header("Grus", "p");
    w.section({ .index = 1, .type = "ASP", .name = "CODE", .start = 0xFFFF0000u, .size = 0x20000 });
    auto& debug = w.debug();
    debug.bb2("two");
    debug.bb3("three")
        .nn("x")
        .atn({ 1, 2, 3 })
        .nested(4, "four", { 1, 2, 3 })
        .as(0xCC, { 1 })
        .end()
        .nested(6, "six", { 4, 5, 6 })
        .end()
        .end();
    debug.bb5("five").nested(5, "inner").nested(5, "deeper").end().end().end();
    debug.typeBlock("types").nn("t").type(ty::T(0x100, 3)).end();
    debug.asmModule("after", { .number = 1, .secondName = "x", .secondNumber = 2, .skippedName = "skip" })
        .moduleSection({ .sectionIndex = 1, .start = 0xFFFFFFF0u, .size = 0x40 })
        .localSymbol({ .name = "seen", .value = 0xFFFFFFFFu })
        .end();
    debug.asmModule("after").localSymbol({ .name = "again" }).end();
    return w.bytes();
}

} // namespace

std::vector<SeedFile> ieee695Seeds()
{
    return {
        { "ieee-small-alcor", ieeeSmall("Alcor") },
        { "ieee-small-grus", ieeeSmall("Grus") },
        { "ieee-small-other", ieeeSmall("Nimbus") },
        { "ieee-debug-strings", ieeeDebugStrings() },
        { "ieee-skipped-blocks", ieeeSkippedBlocks() },
    };
}

} // namespace tessaly::fuzz
