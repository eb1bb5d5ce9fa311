// seed_files_split.cpp: the two-file seeds: regions files with the programs they budget, and pairs of builds.
#include "input_split.hpp"
#include "seed_files.hpp"
#include "support/ieee695_writer.hpp"

#include <string>
#include <vector>

namespace tessaly::fuzz {

using namespace tessaly::testing;

namespace {

// What one build of the program changes from the first one.
struct Variant {
    uint32_t codeStart = 0x1000;
    uint32_t codeSize = 0x100;
    bool dataSection = true;
    bool extraLabel = false;
    uint32_t limit = 0x40; // the .EQU constant's value
    uint32_t functionSize = 0x20;
    std::string module = "mod";
    bool twoLoops = false; // a second local label of the same name, so the n-th rule matters
};

// Two sections and an empty one, globals, a constant, a C function and an assembler module.
std::vector<uint8_t> program(const std::string& cpu, const Variant& v)
{
    Ieee695Writer w;
    w.header(cpu, "prog");
    w.section({ .index = 1, .type = "ASP", .name = "CODE", .start = v.codeStart, .size = v.codeSize });
    if (v.dataSection)
        w.section({ .index = 2, .type = "ASD", .name = "DATA", .start = 0x2000, .size = 0x80 });
    w.section({ .index = 3, .type = "CR", .name = "EMPTY", .start = 0x2080, .size = 0 });
    w.globalSymbol({ .name = "main", .value = v.codeStart });
    w.globalSymbol({ .name = "_f", .value = v.codeStart + 0x10 });
    if (v.extraLabel)
        w.globalSymbol({ .name = "added", .value = v.codeStart + 0x30 });
    w.globalSymbol({ .name = "LIMIT", .value = v.limit, .kind = 17 });
    auto& env = w.environment();
    env.debugString(dstr::M("main.c", v.module));
    env.debugString(dstr::Fs("func", "_f", 'G', 1));
    env.debugString(dstr::Fe("func", "", 0, 0, v.functionSize));
    auto module = w.asmModule(v.module);
    module.moduleSection({ .sectionIndex = 1, .start = v.codeStart, .size = v.codeSize / 2, .kind = 1 });
    if (v.dataSection)
        module.moduleSection({ .sectionIndex = 2, .start = 0x2000, .size = 0x10, .kind = 2 });
    module.localSymbol({ .name = "loop", .value = v.codeStart + 0x20 });
    if (v.twoLoops)
        module.localSymbol({ .name = "loop", .value = v.codeStart + 0x28 });
    module.end();
    return w.bytes();
}

std::vector<uint8_t> joined(const std::vector<uint8_t>& first, const std::vector<uint8_t>& second)
{
    std::vector<uint8_t> bytes = first;
    bytes.insert(bytes.end(), kInputSeparator.begin(), kInputSeparator.end());
    bytes.insert(bytes.end(), second.begin(), second.end());
    return bytes;
}

std::vector<uint8_t> textBytes(const std::string& text)
{
    return { text.begin(), text.end() };
}

} // namespace

std::vector<SeedFile> regionsSeeds()
{
    struct Text {
        const char* name;
        const char* text;
    };
    // Good files in each number form, and one bad file per kind of message.
    const Text texts[] = {
        { "good", "ROM 0x000000 32K 90 100\nRAM 0x8000 0x1000 80\n" },
        { "good-comments", "# target memories\r\n\r\nCODE 0x1000 0x100 # code\r\n  DATA\t8192\t128 50 75\r\n" },
        { "good-mega", "ALL 0 16M\n" },
        { "good-tight", "CODE 0x1000 0x80 90\nDATA 0x2000 0x40\n" },
        { "good-whole", "ALL 0x0 4096M\n" },
        { "bad-overlap", "A 0x1000 0x200\nB 0x1100 0x10\n" },
        { "bad-duplicate", "A 0x1000 0x10\nA 0x2000 0x10\n" },
        { "bad-numbers", "A 010 0x10\nB 0x 1K\nC 0x10 zero\nD 0x20 0\n" },
        { "bad-percent", "A 0 1K 101\nB 2K 1K 90 80\nC 4K 1K 50 60 70\n" },
        { "bad-fields", "lonely\nname@ 0 1K\nA 0\n" },
        { "bad-space", "HIGH 0xFFFFFFFF 2\nFAR 0x100000000 1\n" },
        { "bad-long", "NAME_LONGER_THAN_SIXTY_FOUR_CHARACTERS_IS_REFUSED_BY_THE_PARSER_OF_REGIONS 0 1\n" },
        { "empty", "" },
    };
    std::vector<SeedFile> seeds;
    const std::vector<uint8_t> tree = program("Alcor", {});
    const std::vector<uint8_t> wide = program("Nimbus", { .codeStart = 0x7FF0, .codeSize = 0x40 });
    for (const Text& text : texts) {
        seeds.push_back({ std::string("regions-") + text.name, joined(textBytes(text.text), tree) });
        seeds.push_back({ std::string("regions-") + text.name + "-wide", joined(textBytes(text.text), wide) });
    }
    // A regions file alone, and one with a file that does not read.
    seeds.push_back({ "regions-without-tree", textBytes(texts[0].text) });
    seeds.push_back({ "regions-bad-tree", joined(textBytes(texts[0].text), { 0xE0, 0x01 }) });
    return seeds;
}

std::vector<SeedFile> compareSeeds()
{
    const Variant base {};
    const struct {
        const char* name;
        Variant variant;
    } changes[] = {
        { "same", base },
        { "moved", { .codeStart = 0x3000 } },
        { "resized", { .codeSize = 0x180 } },
        { "removed", { .dataSection = false } },
        { "added", { .extraLabel = true } },
        { "constant", { .limit = 0x80 } },
        { "function", { .functionSize = 0x40 } },
        { "module", { .module = "other" } },
        { "ranks", { .twoLoops = true } },
    };
    std::vector<SeedFile> seeds;
    const std::vector<uint8_t> old = program("Alcor", base);
    for (const auto& change : changes) {
        const std::vector<uint8_t> changed = program("Alcor", change.variant);
        seeds.push_back({ std::string("compare-") + change.name, joined(old, changed) });
        seeds.push_back({ std::string("compare-") + change.name + "-back", joined(changed, old) });
    }
    // Builds of other families and other programs, and an old file that does not read.
    seeds.push_back({ "compare-family", joined(old, program("Grus", base)) });
    const std::vector<SeedFile> others = ieee695Seeds();
    for (std::size_t i = 0; i + 1 < others.size(); ++i)
        seeds.push_back({ "compare-" + others[i].name, joined(others[i].bytes, others[i + 1].bytes) });
    seeds.push_back({ "compare-bad-old", joined({ 0xE0, 0x01 }, old) });
    return seeds;
}

} // namespace tessaly::fuzz
