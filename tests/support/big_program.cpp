// big_program.cpp: writes the generated programs record by record with the IEEE-695 and framed writers.
#include "support/big_program.hpp"

#include "support/ieee695_writer.hpp"

#include <algorithm>
#include <cstdio>

namespace tessaly::testing {

namespace {

std::string numbered(const char* prefix, uint32_t n)
{
    return prefix + std::to_string(n);
}

uint32_t moduleSectionKind(uint32_t section)
{
    return section % 3 ? 2u : 3u;
}

} // namespace

std::string bigSectionName(uint32_t section)
{
    return numbered("sect", section);
}
std::string bigGlobalLabelName(uint32_t label)
{
    return numbered("_label", label);
}
std::string bigLocalLabelName(uint32_t label)
{
    return numbered("local", label);
}

uint32_t bigGlobalLabelAddress(const BigProgramShape& shape, uint32_t label)
{
    // Evenly over the whole image and increasing, so that label order is address order.
    const BigLayout layout(shape);
    return static_cast<uint32_t>(uint64_t { label } * layout.span / std::max(shape.globalLabels, 1u))
        + layout.movedBy(label);
}

uint32_t bigSectionSize(const BigProgramShape& shape, uint32_t section)
{
    if (shape.resizedSections == 0)
        return kBigSectionSize;
    const uint32_t step = std::max(BigLayout(shape).sections / shape.resizedSections, 1u);
    const bool resized = section % step == 0 && section / step < shape.resizedSections;
    return resized ? kBigSectionSize - 0x10 : kBigSectionSize;
}

uint32_t bigFunctionLabel(const BigProgramShape& shape, uint32_t function)
{
    // Spread like the functions over the modules, so that a function's label lies in its module.
    if (shape.globalLabels == 0)
        return 0;
    return static_cast<uint32_t>(uint64_t { function } * shape.globalLabels / std::max(shape.functions, 1u));
}

std::vector<uint8_t> bigIeee695Program(const BigProgramShape& shape)
{
    const BigLayout layout(shape);
    Ieee695Writer w;
    w.header("Grus", "big");

    for (uint32_t s = 0; s < layout.sections; ++s)
        w.section({ .index = s + 1,
            .type = s % 3 ? "ASD" : "ASP",
            .name = bigSectionName(s),
            .start = s * kBigSectionSize,
            .size = bigSectionSize(shape, s) });

    for (uint32_t i = 0; i < shape.globalLabels; ++i)
        w.globalSymbol({ .name = bigGlobalLabelName(i),
            .value = bigGlobalLabelAddress(shape, i),
            .kind = 15,
            .attribute = 8,
            .extra = 1 });
    for (uint32_t i = 0; i < shape.globalEqus; ++i)
        w.globalSymbol({ .name = numbered("EQU_", i), .value = i, .kind = 17, .attribute = 9 });

    auto& env = w.environment();
    uint32_t function = 0;
    for (uint32_t m = 0; m < layout.modules && function < shape.functions; ++m) {
        for (uint32_t f = 0; f < layout.sourcesPerModule && function < shape.functions; ++f) {
            env.debugString(dstr::M(numbered("file", m * layout.sourcesPerModule + f) + ".c", numbered("module", m)));
            for (uint32_t k = 0; k < layout.functionsPerSource && function < shape.functions; ++k, ++function) {
                env.debugString(dstr::Fs(numbered("function", function),
                    bigGlobalLabelName(bigFunctionLabel(shape, function)), 'G', function));
                env.debugString(dstr::Fe(numbered("function", function), "", 0, 0, 0x40));
            }
        }
    }

    for (uint32_t m = 0; m < layout.modules; ++m) {
        AsmModuleBlock block = w.asmModule(numbered("module", m));
        for (uint32_t s = 0; s < layout.sectionsPerModule; ++s) {
            const uint32_t index = m * layout.sectionsPerModule + s;
            if (index >= layout.sections)
                break;
            block.moduleSection({ .sectionIndex = index + 1,
                .start = index * kBigSectionSize,
                .size = bigSectionSize(shape, index),
                .kind = moduleSectionKind(index) });
        }
        for (uint32_t l = 0; l < layout.localsPerModule; ++l)
            block.localSymbol({ .name = bigLocalLabelName(m * layout.localsPerModule + l),
                .value = layout.localAddress(m, l),
                .kind = 15,
                .attribute = 19,
                .extra1 = 1 });
        block.end();
    }
    return w.bytes();
}

std::string bigAssemblerSource(const BigProgramShape& shape)
{
    const BigLayout layout(shape);
    std::string text;
    text.reserve(size_t { shape.globalLabels + shape.localLabels } * 48);
    char line[96];
    for (uint32_t i = 0; i < shape.globalLabels; ++i) {
        const std::string name = bigGlobalLabelName(i);
        std::snprintf(line, sizeof line, "\t.globl %s\n\t.set %s, 0x%x\n", name.c_str(), name.c_str(),
            static_cast<unsigned>(bigGlobalLabelAddress(shape, i)));
        text += line;
    }
    for (uint32_t m = 0; m < layout.modules; ++m)
        for (uint32_t l = 0; l < layout.localsPerModule; ++l) {
            std::snprintf(line, sizeof line, "\t.set %s, 0x%x\n",
                bigLocalLabelName(m * layout.localsPerModule + l).c_str(),
                static_cast<unsigned>(layout.localAddress(m, l)));
            text += line;
        }
    return text;
}

} // namespace tessaly::testing
