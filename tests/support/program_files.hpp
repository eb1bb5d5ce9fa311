// program_files.hpp: small writer-built absolute files for the document and dump tests.
#pragma once

#include "support/ieee695_writer.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace tessaly::testing {

// A program of the given CPU with two sections, module "<p>mod" contributing a part of the
// first, global labels "<p>main" and "<p>_f", an .EQU "<p>LIMIT", a local label "<p>loop" and
// one C function "<p>func" (link name "<p>_f") in source "<p>main.c". Every name starts with
// the prefix, so two programs differ in their name widths.
inline std::vector<uint8_t> smallProgram(const std::string& cpu, const std::string& p = "")
{
    Ieee695Writer w;
    w.header(cpu, "prog");
    w.section({ .index = 1, .type = "ASP", .name = p + "CODE", .start = 0x1000, .size = 0x100 });
    w.section({ .index = 2, .type = "ASD", .name = p + "DATA", .start = 0x2000, .size = 0x80 });
    w.globalSymbol({ .name = p + "main", .value = 0x1000 });
    w.globalSymbol({ .name = p + "_f", .value = 0x1010 });
    w.globalSymbol({ .name = p + "LIMIT", .value = 0x40, .kind = 17 });
    auto& env = w.environment();
    env.debugString(dstr::M(p + "main.c", p + "mod"));
    env.debugString(dstr::Fs(p + "func", p + "_f", 'G', 1));
    env.debugString(dstr::Fe(p + "func", "", 0, 0, 0x20));
    w.asmModule(p + "mod")
        .moduleSection({ .sectionIndex = 1, .start = 0x1000, .size = 0x40, .kind = 1 })
        .localSymbol({ .name = p + "loop", .value = 0x1020 })
        .end();
    return w.bytes();
}

// Two builds of one "Carina" program for the comparison tests. From the old build to the new one
// CODE grows by 0x1a2, DATA shrinks by 0x10, section OLDSEC and label _gone go, _main moves from
// 001000 to 001004 and _fresh appears. C function main (at _main) moves with it; idle (at _idle,
// 001080) grows from 0x10 to 0x18 bytes where it stands. The function and its source file may be
// given other names, for lines of another width.
inline std::vector<uint8_t> comparedBuild(
    bool newer, const std::string& function = "main", const std::string& source = "main.c")
{
    Ieee695Writer w;
    w.header("Carina", "prog");
    w.section({ .index = 1, .type = "ASP", .name = "CODE", .start = 0x1000, .size = newer ? 0x2a2u : 0x100u });
    w.section({ .index = 2, .type = "ASD", .name = "DATA", .start = 0x2000, .size = newer ? 0x70u : 0x80u });
    if (!newer)
        w.section({ .index = 3, .type = "ASD", .name = "OLDSEC", .start = 0x3000, .size = 0x10 });
    w.globalSymbol({ .name = "_main", .value = newer ? 0x1004u : 0x1000u });
    w.globalSymbol({ .name = newer ? "_fresh" : "_gone", .value = newer ? 0x1100u : 0x3000u });
    w.globalSymbol({ .name = "_idle", .value = 0x1080 });
    auto& env = w.environment();
    env.debugString(dstr::M(source, "prog"));
    env.debugString(dstr::Fs(function, "_main", 'G', 1));
    env.debugString(dstr::Fe(function, "", 0, 0, 0x20));
    env.debugString(dstr::Fs("idle", "_idle", 'G', 2));
    env.debugString(dstr::Fe("idle", "", 0, 0, newer ? 0x18u : 0x10u));
    return w.bytes();
}

} // namespace tessaly::testing
