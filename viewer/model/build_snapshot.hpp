// build_snapshot.hpp: what a comparison of two builds needs from one read tree, in records of its own.
#pragma once

#include "map_model.hpp"
#include "orvik.h"
#include "section_tag.hpp"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// The records hold names as Name: std::string in a snapshot that outlives its tree,
// std::string_view into the tree in a BuildView. A null name in the tree is "".

template <typename Name> struct SnapshotSection {
    Name name {};
    uint32_t start = 0;
    uint32_t size = 0;
    SectionKind kind = SectionKind::Other;
};

template <typename Name> struct SnapshotModuleSection {
    int32_t module = 0; // index into modules
    bool hasSection = false; // false when the part names no section of the file
    Name section {}; // the owning section's name
    uint32_t start = 0;
    uint32_t size = 0;
};

template <typename Name> struct SnapshotSymbol {
    Name name {};
    uint32_t value = 0;
    int32_t module = -1; // index into modules for a local symbol, -1 for a global one
};

template <typename Name> struct SnapshotFunction {
    Name name {};
    int32_t source = 0; // index into sources
    uint32_t address = 0;
    uint32_t size = 0;
};

// Every section, module section, label, .EQU constant and listed C function of one build, each
// vector in the tree's list order (sections; modules and their parts; global symbols, then each
// module's; modules, their source files and their functions). Labels and constants are the kinds
// the map tables take (15 and 17); functions are those FunctionTable admits for the family.
template <typename Name> struct BasicBuildSnapshot {
    CpuFamily family = CpuNone;
    int32_t addressDigits = 6;
    std::vector<Name> modules; // module names, in list order
    std::vector<Name> sources; // source-file names, every module's in list order
    std::vector<SnapshotSection<Name>> sections;
    std::vector<SnapshotModuleSection<Name>> moduleSections;
    std::vector<SnapshotSymbol<Name>> labels;
    std::vector<SnapshotSymbol<Name>> equs;
    std::vector<SnapshotFunction<Name>> functions;
};

// A build that outlives its tree: the baseline of a comparison.
using BuildSnapshot = BasicBuildSnapshot<std::string>;

// The same items as views into the live tree. Valid as long as the tree.
using BuildView = BasicBuildSnapshot<std::string_view>;

// A view with the record each item came from (same index), so that the map tables built on that
// tree can find them.
struct TreeBuildView : BuildView {
    std::vector<const IeSection*> sectionRecords;
    std::vector<const IeModSection*> moduleSectionRecords;
    std::vector<const void*> labelRecords; // IeSymbol or IeModSymbol
    std::vector<const void*> equRecords;
    std::vector<const IeFnDef*> functionRecords;
};

// Copies the build under root (an empty snapshot for null).
BuildSnapshot TakeBuildSnapshot(const IeRoot* root);
// Views the build under root. Given likely, the build it is to be compared with, the vectors are
// sized like that one's rather than by counting the tree first.
TreeBuildView ViewBuild(const IeRoot* root, const BuildSnapshot* likely = nullptr);
// The same without the records, for a comparison that never meets the map tables.
BuildView ViewBuildItems(const IeRoot* root, const BuildSnapshot* likely = nullptr);

// Reads path with mask (as IE_readIEEE does), takes the snapshot and frees the tree, so that the
// next file can be read: the reader holds one tree per process, and map tables built on the tree
// before this call point into freed memory afterwards. Returns the reader's code; on a failure the
// snapshot is empty and the part-read tree is freed too.
int ReadBuildSnapshot(const std::string& path, int mask, BuildSnapshot& snapshot);

} // namespace tessaly
