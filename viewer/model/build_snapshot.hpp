// build_snapshot.hpp: what a comparison of two builds needs from one read tree, in records of its own.
#pragma once

#include "map_model.hpp"
#include "orvik.h"
#include "section_tag.hpp"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// Every name is a view: into the live tree in a view, into the snapshot's own text in a snapshot.
// Either way a NUL follows it, so data() is a C string. A null name in the tree is "".

struct SnapshotSection {
    std::string_view name;
    uint32_t start = 0;
    uint32_t size = 0;
    SectionKind kind = SectionKind::Other;
};

struct SnapshotModuleSection {
    int32_t module = 0; // index into modules
    bool hasSection = false; // false when the part names no section of the file
    std::string_view section; // the owning section's name
    uint32_t start = 0;
    uint32_t size = 0;
};

struct SnapshotSymbol {
    std::string_view name;
    uint32_t value = 0;
    int32_t module = -1; // index into modules for a local symbol, -1 for a global one
};

struct SnapshotFunction {
    std::string_view name;
    int32_t source = 0; // index into sources
    uint32_t address = 0;
    uint32_t size = 0;
};

// Every section, module section, label, .EQU constant and listed C function of one build, each
// vector in the tree's list order (sections; modules and their parts; global symbols, then each
// module's; modules, their source files and their functions). Labels and constants are the kinds
// the map tables take (15 and 17); functions are those FunctionTable admits for the family.
// As it stands, the items of the live tree, valid as long as the tree.
struct BuildView {
    CpuFamily family = CpuNone;
    int32_t addressDigits = 6;
    std::vector<std::string_view> modules; // module names, in list order
    std::vector<std::string_view> sources; // source-file names, every module's in list order
    std::vector<SnapshotSection> sections;
    std::vector<SnapshotModuleSection> moduleSections;
    std::vector<SnapshotSymbol> labels;
    std::vector<SnapshotSymbol> equs;
    std::vector<SnapshotFunction> functions;
};

// The bytes of a snapshot's names, in blocks that never move, so that views into them survive
// the snapshot being moved. One block per name would cost an allocation and its overhead a name.
class NameText {
public:
    // A copy of name, NUL-terminated.
    std::string_view keep(std::string_view name);

private:
    std::vector<std::unique_ptr<char[]>> m_blocks;
    char* m_free = nullptr;
    std::size_t m_left = 0;
};

// A build that outlives its tree: the baseline of a comparison. Move-only: its names point into
// its own text.
struct BuildSnapshot : BuildView {
    BuildSnapshot() = default;
    BuildSnapshot(BuildSnapshot&&) noexcept = default;
    BuildSnapshot& operator=(BuildSnapshot&&) noexcept = default;
    BuildSnapshot(const BuildSnapshot&) = delete;
    BuildSnapshot& operator=(const BuildSnapshot&) = delete;

    NameText text;
};

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
TreeBuildView ViewBuild(const IeRoot* root, const BuildView* likely = nullptr);
// The same without the records, for a comparison that never meets the map tables.
BuildView ViewBuildItems(const IeRoot* root, const BuildView* likely = nullptr);

// Reads path with mask (as IE_readIEEE does), takes the snapshot and frees the tree, so that the
// next file can be read: the reader holds one tree per process, and map tables built on the tree
// before this call point into freed memory afterwards. Returns the reader's code; on a failure the
// snapshot is empty and the part-read tree is freed too.
int ReadBuildSnapshot(const std::string& path, int mask, BuildSnapshot& snapshot);

} // namespace tessaly
