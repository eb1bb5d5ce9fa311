// big_program_framed.cpp: the big program in the framed-record format (apart, as its writer's names clash with the
// IEEE-695 writer's).
#include "support/big_program.hpp"
#include "support/framed_writer.hpp"

namespace tessaly::testing {

namespace {

std::string numbered(const char* prefix, uint32_t n)
{
    return prefix + std::to_string(n);
}

} // namespace

std::vector<uint8_t> bigFramedProgram(const BigProgramShape& shape)
{
    const BigLayout layout(shape);
    FramedWriter w;
    w.start({ .module = "big", .cpu = "Grus" });

    // Module group: each module's section parts, then its global labels and its share of the
    // constants. Part numbers count within the module.
    uint32_t label = 0;
    for (uint32_t m = 0; m < layout.modules; ++m) {
        w.module(numbered("module", m));
        const uint32_t firstSection = m * layout.sectionsPerModule;
        const uint32_t parts
            = std::min(layout.sectionsPerModule, layout.sections - std::min(firstSection, layout.sections));
        for (uint32_t s = 0; s < parts; ++s) {
            const uint32_t index = firstSection + s;
            w.sectionPart({ .name = bigSectionName(index),
                .start = index * kBigSectionSize,
                .size = bigSectionSize(shape, index),
                .alignment = 2,
                .flags = index % 3 ? part::data : part::program });
        }
        std::vector<GlobalEntry> entries;
        for (; label < shape.globalLabels; ++label) {
            const uint32_t address = bigGlobalLabelAddress(shape, label);
            if (layout.moduleOf(address) != m || parts == 0)
                break;
            const uint32_t partNumber = std::min(address / kBigSectionSize - firstSection, parts - 1);
            entries.push_back(GlobalEntry::label(bigGlobalLabelName(label), static_cast<uint16_t>(partNumber),
                address - (firstSection + partNumber) * kBigSectionSize));
        }
        const uint32_t equBegin = static_cast<uint32_t>(uint64_t { m } * shape.globalEqus / layout.modules);
        const uint32_t equEnd = static_cast<uint32_t>(uint64_t { m + 1 } * shape.globalEqus / layout.modules);
        for (uint32_t e = equBegin; e < equEnd; ++e)
            entries.push_back(GlobalEntry::constant(numbered("EQU_", e), e));
        if (!entries.empty())
            w.globals(entries);
    }

    // Debug group: per module its source files, one function block per function, and its local labels.
    uint32_t function = 0;
    for (uint32_t m = 0; m < layout.modules; ++m) {
        const uint32_t firstSection = m * layout.sectionsPerModule;
        w.moduleSelect(static_cast<uint16_t>(m));
        std::vector<std::string> sources;
        for (uint32_t f = 0; f < layout.sourcesPerModule; ++f)
            sources.push_back(numbered("file", m * layout.sourcesPerModule + f) + ".c");
        w.sourceFiles(sources);
        w.openBlock();
        for (uint32_t f = 0; f < layout.sourcesPerModule && function < shape.functions; ++f) {
            for (uint32_t k = 0; k < layout.functionsPerSource && function < shape.functions; ++k, ++function) {
                const uint32_t linked = bigFunctionLabel(shape, function);
                const uint32_t address = bigGlobalLabelAddress(shape, linked);
                const uint32_t partNumber
                    = address / kBigSectionSize >= firstSection ? address / kBigSectionSize - firstSection : 0;
                w.openFunctionBlock(0x40);
                w.function({ .name = numbered("function", function),
                    .storage = kGlobal,
                    .part = static_cast<uint16_t>(partNumber),
                    .offset = address - (firstSection + partNumber) * kBigSectionSize,
                    .linkName = bigGlobalLabelName(linked),
                    .source = static_cast<uint16_t>(f) });
                w.closeBlock();
            }
        }
        for (uint32_t l = 0; l < layout.localsPerModule; ++l) {
            const uint32_t address = layout.localAddress(m, l);
            const uint32_t partNumber = address / kBigSectionSize - firstSection;
            w.localLabel(bigLocalLabelName(m * layout.localsPerModule + l), static_cast<uint16_t>(partNumber),
                address - (firstSection + partNumber) * kBigSectionSize);
        }
        w.closeBlock();
    }
    w.end();
    return w.bytes();
}

} // namespace tessaly::testing
