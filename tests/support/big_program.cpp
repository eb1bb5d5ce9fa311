// big_program.cpp: writes the generated programs record by record with the IEEE-695 writer.
#include "support/big_program.hpp"

#include <algorithm>
#include <string>

#include "support/ieee695_writer.hpp"

namespace tessaly::testing {

namespace {

constexpr uint32_t kSectionSize = 0x800;

std::string numbered(const char* prefix, uint32_t n) { return prefix + std::to_string(n); }

}  // namespace

std::vector<uint8_t> bigIeee695Program(const BigProgramShape& shape)
{
    Ieee695Writer w;
    w.header("Grus", "big");
    const uint32_t modules = std::max(shape.modules, 1u);
    const uint32_t sections = std::max(shape.sections, 1u);
    const uint32_t span = sections * kSectionSize;

    for (uint32_t s = 0; s < sections; ++s)
        w.section({.index = s + 1, .type = s % 3 ? "ASD" : "ASP", .name = numbered("sect", s),
                   .start = s * kSectionSize, .size = kSectionSize});

    // Labels are spread evenly over the whole image; every function's link name is one of them.
    const uint32_t stride = std::max(span / std::max(shape.globalLabels, 1u), 1u);
    for (uint32_t i = 0; i < shape.globalLabels; ++i)
        w.globalSymbol({.name = numbered("_label", i), .value = (i * stride) % span, .kind = 15, .attribute = 8, .extra = 1});
    for (uint32_t i = 0; i < shape.globalEqus; ++i)
        w.globalSymbol({.name = numbered("EQU_", i), .value = i, .kind = 17, .attribute = 9});

    auto& env = w.environment();
    const uint32_t sourcesPerModule = std::max(shape.sourceFiles / modules, 1u);
    const uint32_t functionsPerSource = std::max(shape.functions / std::max(shape.sourceFiles, 1u), 1u);
    uint32_t function = 0;
    for (uint32_t m = 0; m < modules && function < shape.functions; ++m) {
        for (uint32_t f = 0; f < sourcesPerModule && function < shape.functions; ++f) {
            env.debugString(dstr::M(numbered("file", m * sourcesPerModule + f) + ".c", numbered("module", m)));
            for (uint32_t k = 0; k < functionsPerSource && function < shape.functions; ++k, ++function) {
                const uint32_t label = shape.globalLabels ? (function * 7) % shape.globalLabels : 0;
                env.debugString(dstr::Fs(numbered("function", function), numbered("_label", label), 'G', function));
                env.debugString(dstr::Fe(numbered("function", function), "", 0, 0, 0x40));
            }
        }
    }

    const uint32_t sectionsPerModule = std::max(sections / modules, 1u);
    const uint32_t localsPerModule = shape.localLabels / modules;
    for (uint32_t m = 0; m < modules; ++m) {
        AsmModuleBlock block = w.asmModule(numbered("module", m));
        for (uint32_t s = 0; s < sectionsPerModule; ++s) {
            const uint32_t index = m * sectionsPerModule + s;
            if (index >= sections)
                break;
            block.moduleSection({.sectionIndex = index + 1, .start = index * kSectionSize, .size = kSectionSize,
                                 .kind = index % 3 ? 2u : 3u});
        }
        for (uint32_t l = 0; l < localsPerModule; ++l) {
            const uint32_t n = m * localsPerModule + l;
            block.localSymbol({.name = numbered("local", n), .value = (n * stride) % span, .kind = 15, .attribute = 19,
                               .extra1 = 1});
        }
        block.end();
    }
    return w.bytes();
}

}  // namespace tessaly::testing
