// big_program.hpp: generated programs the size of large firmware images, for benchmarks.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace tessaly::testing {

struct BigProgramShape {
    uint32_t globalLabels = 900'000;
    uint32_t localLabels = 100'000;
    uint32_t globalEqus = 100'000;
    uint32_t functions = 50'000;
    uint32_t sourceFiles = 2'000;
    uint32_t sections = 5'000;
    uint32_t modules = 200;
    // A later build of the same program, to compare with: every movedLabelStride-th label, global
    // and local (and a function whose link name it is), lies 2 bytes higher, and resizedSections
    // sections, spread evenly, with their module sections, are 0x10 bytes shorter. 0: none.
    uint32_t movedLabelStride = 0;
    uint32_t resizedSections = 0;
};

// Where the generator puts things, shared by both formats so that the two files describe the
// same program: sections of kBigSectionSize laid end to end from address 0, each module owning
// an equal run of them, global labels at increasing addresses over the whole image and local
// labels spread over their own module's sections.
inline constexpr uint32_t kBigSectionSize = 0x800;

// The arithmetic of that layout; every count is at least 1 so that no shape divides by zero.
struct BigLayout {
    uint32_t modules, sections, sectionsPerModule, span, moduleSpan;
    uint32_t sourcesPerModule, functionsPerSource, localsPerModule, movedLabelStride;

    explicit BigLayout(const BigProgramShape& shape)
        : modules(std::max(shape.modules, 1u))
        , sections(std::max(shape.sections, 1u))
        , sectionsPerModule(std::max(sections / modules, 1u))
        , span(sections * kBigSectionSize)
        , moduleSpan(sectionsPerModule * kBigSectionSize)
        , sourcesPerModule(std::max(shape.sourceFiles / modules, 1u))
        , functionsPerSource(std::max(shape.functions / std::max(shape.sourceFiles, 1u), 1u))
        , localsPerModule(shape.localLabels / modules)
        , movedLabelStride(shape.movedLabelStride)
    {
    }

    // The module that owns an address; the last one takes what the even split leaves over.
    uint32_t moduleOf(uint32_t address) const { return std::min(address / moduleSpan, modules - 1); }
    uint32_t moduleStart(uint32_t m) const { return m * moduleSpan; }
    uint32_t localAddress(uint32_t m, uint32_t l) const
    {
        return moduleStart(m) + static_cast<uint32_t>(uint64_t { l } * moduleSpan / std::max(localsPerModule, 1u)) + 1
            + movedBy(m * localsPerModule + l);
    }
    // How far a label (numbered like its name) lies from where the first build has it.
    uint32_t movedBy(uint32_t label) const { return movedLabelStride && label % movedLabelStride == 0 ? 2 : 0; }
};

std::string bigSectionName(uint32_t section);
std::string bigGlobalLabelName(uint32_t label);
std::string bigLocalLabelName(uint32_t label);
uint32_t bigGlobalLabelAddress(const BigProgramShape& shape, uint32_t label);
// kBigSectionSize, less 0x10 for a resized section.
uint32_t bigSectionSize(const BigProgramShape& shape, uint32_t section);
// The global label whose address a function takes.
uint32_t bigFunctionLabel(const BigProgramShape& shape, uint32_t function);

// An IEEE-695 absolute file for the "Grus" family: sections, module sections, labels, .EQU
// constants, and C functions in source files whose link names are among the labels.
std::vector<uint8_t> bigIeee695Program(const BigProgramShape& shape);

// The same program in the framed-record format.
std::vector<uint8_t> bigFramedProgram(const BigProgramShape& shape);

// An assembler source (GNU as syntax) defining the same labels at the same addresses, global
// ones with .globl, for comparing with tools that read ELF objects.
std::string bigAssemblerSource(const BigProgramShape& shape);

} // namespace tessaly::testing
