// framed_example.cpp: the framed-record sample program of examples/.
#include "support/framed_writer.hpp"

#include <cstdint>
#include <vector>

using namespace tessaly::testing;

// The framed-record format: a small "Cetus-32" program with two modules and C debug records.
std::vector<uint8_t> cetusBlinky()
{
    FramedWriter w;
    w.start({ .module = "blinky", .cpu = "Cetus-32" });
    w.module("crt0");
    w.sectionPart({ .name = "VECTORS", .start = 0x0000, .size = 0x100, .alignment = 4, .flags = part::rom });
    w.sectionPart({ .name = "CODE", .start = 0x1000, .size = 0x180, .alignment = 2, .flags = part::program });
    w.globals({ GlobalEntry::label("_reset", 1, 0x00), GlobalEntry::label("_vectors", 0, 0x00),
        GlobalEntry::constant("STACK_SIZE", 0x400) });
    w.module("main");
    w.sectionPart({ .name = "CODE", .start = 0x1180, .size = 0x280, .alignment = 2, .flags = part::program });
    w.sectionPart({ .name = "DATA", .start = 0x8000, .size = 0x40, .alignment = 4, .flags = part::data });
    w.sectionPart({ .name = "BSS", .start = 0x8040, .size = 0x100, .alignment = 4, .flags = part::data });
    w.globals({ GlobalEntry::label("_main", 0, 0x00), GlobalEntry::label("_blink", 0, 0x60),
        GlobalEntry::label("_ticks", 1, 0x00), GlobalEntry::label("_leds", 2, 0x00) });
    w.moduleSelect(1);
    w.sourceFiles({ "src/main.c", "src/leds.c" });
    w.openBlock();
    w.variable({ .name = "ticks",
        .storage = kGlobal,
        .part = 1,
        .offset = 0x00,
        .linkName = "_ticks",
        .source = 0,
        .desc = { base::integer(4, 0x40) } });
    w.localLabel("wait_loop", 0, 0x40);
    w.localValue("LED_COUNT", 4);
    w.openFunctionBlock(0x60);
    w.function({ .name = "main",
        .storage = kGlobal,
        .part = 0,
        .offset = 0x00,
        .linkName = "_main",
        .source = 0,
        .desc = { .returns = base::integer(2) } });
    w.closeBlock();
    w.openFunctionBlock(0x40);
    w.function({ .name = "blink",
        .storage = kGlobal,
        .part = 0,
        .offset = 0x60,
        .linkName = "_blink",
        .source = 1,
        .desc = { .returns = base::none(), .params = { { 2, { base::integer(4, 0x40) } } } } });
    w.closeBlock();
    w.closeBlock();
    w.end();
    return w.bytes();
}
