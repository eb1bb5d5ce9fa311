// map_model.hpp: the process-wide map model, its five sorted tables and the operations that build them.
#pragma once

#include "orvik.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tessaly {

struct BuildBaseline;

enum CpuFamily : int32_t {
    CpuNone,
    CpuAlcor,
    CpuBellis,
    CpuCarina,
    CpuDorado,
    CpuEridan,
    CpuFornax,
    CpuGrus,
    CpuOther,
};

// "CpuAlcor" and so on: the enumerator's own name, for dumps and messages.
const char* CpuFamilyName(CpuFamily family);

// What a CPU name decides: the family, the top of its address space and the digits of an address.
struct CpuFamilyInfo {
    tessaly::CpuFamily family = CpuOther;
    uint32_t maxAddress = 0xFFFFFFu;
    int32_t addressDigits = 6;
};
// The family table's row for an exact CPU name; CpuOther's values for any other name or null.
CpuFamilyInfo LookUpCpuFamily(const char* cpuName);

enum ImageMode : int32_t {
    SectionListImage = 0,
    MemorySizeImage = 1,
};

enum RangeFlag : int32_t {
    RangeNormal = 0,
    RangeOverlap = 1, // starts below the end of an earlier entry
    RangeOutside = 2, // lies wholly or partly above MaxAddress, or wraps past the 32-bit top
};

// Indexes into MapModel::NameWidths.
enum NameWidthIndex : int {
    NameWidthModule = 0, // modules that own at least one module section
    NameWidthSection = 1,
    NameWidthFunctionFile = 2, // source file of a listed C function
    NameWidthFunction = 3,
    NameWidthEqu = 4,
    NameWidthLabel = 5,
    NameWidthCount = 6,
};

// A free area is a record of the model's own with the shape of the tree record it stands
// beside (an IeSection in SectionTable, an IeModSection in ModuleSectionTable), so consumers
// treat both alike. Only start and size are set; name and section are null.
template <typename TreeRecord> using FreeArea = TreeRecord;

struct SectionEntry {
    const IeSection* record = nullptr; // a tree section or a FreeArea<IeSection>
    int32_t globalLabelCount = 0;
    int32_t localLabelCount = 0;
    int32_t firstLabel = -1;
    int32_t globalEquCount = 0;
    int32_t localEquCount = 0;
    int32_t firstEqu = -1;
    int32_t functionCount = 0;
    int32_t firstFunction = -1;
    int32_t moduleSectionCount = 0;
    int32_t startLine = -1; // written by the right pane
    int32_t lineCount = 0; // written by the right pane
    RangeFlag rangeFlag = RangeNormal;
};

struct ModuleSectionEntry {
    const IeModSection* record = nullptr; // a tree module section or a FreeArea<IeModSection>
    int32_t globalLabelCount = 0;
    int32_t localLabelCount = 0;
    int32_t firstLabel = -1;
    int32_t globalEquCount = 0;
    int32_t localEquCount = 0;
    int32_t firstEqu = -1;
    int32_t firstFunction = -1;
    int32_t functionCount = 0;
    int32_t startLine = -1; // written by the right pane
    int32_t lineCount = 0; // written by the right pane
    RangeFlag rangeFlag = RangeNormal;
};

struct SymbolEntry {
    int32_t scope = 'G'; // 'G': symbol.global (IeSymbol); 'L': symbol.local (IeModSymbol)
    union {
        const IeSymbol* global;
        const IeModSymbol* local;
    } symbol = { nullptr };
    int32_t line = -1; // written by the right pane
    // Copies of the record's value and name: the two records keep the value in different
    // fields, and the sort of a million labels should not chase a pointer per comparison.
    uint32_t value = 0;
    const char* name = nullptr;
};

struct FunctionEntry {
    const IeFnDef* function = nullptr;
    int32_t line = -1; // written by the right pane
    uint32_t address = 0; // copy of function->address, the sort key
};

// The state the panes, the frame and the dialogs share. One instance per process (mapModel()),
// tests make their own.
struct MapModel {
    MapModel() = default;
    MapModel(const MapModel&) = delete;
    MapModel& operator=(const MapModel&) = delete;

    bool FileLoaded = false;
    std::string LoadedPath;

    tessaly::CpuFamily CpuFamily = CpuNone;
    uint32_t MaxAddress = 0;
    int32_t AddressDigits = 0;
    std::array<int32_t, NameWidthCount> NameWidths = {};

    // SectionTable holds SectionCount sections and SectionFreeAreaCount free areas, sorted
    // together; ModuleSectionTable likewise.
    std::vector<SectionEntry> SectionTable;
    int32_t SectionCount = 0;
    int32_t SectionFreeAreaCount = 0;
    std::vector<ModuleSectionEntry> ModuleSectionTable;
    int32_t ModuleSectionCount = 0;
    int32_t ModuleSectionFreeAreaCount = 0;
    std::vector<SymbolEntry> LabelTable;
    int32_t LabelCount = 0;
    int32_t GlobalLabelCount = 0;
    int32_t LocalLabelCount = 0;
    std::vector<SymbolEntry> EquTable;
    int32_t EquCount = 0;
    int32_t GlobalEquCount = 0;
    int32_t LocalEquCount = 0;
    std::vector<FunctionEntry> FunctionTable;
    int32_t FunctionCount = 0;

    // The records the free-area entries point at; sized once per build, so they never move.
    std::vector<FreeArea<IeSection>> SectionFreeAreas;
    std::vector<FreeArea<IeModSection>> ModuleSectionFreeAreas;

    uint32_t RangeStart = 0;
    uint32_t RangeEnd = 0;

    tessaly::ImageMode ImageMode = SectionListImage;
    bool ShowLocalInformation = false;
    bool ShowEquList = false;
    bool ShowFunctionList = false;
    bool OmitZeroSizeSections = true;

    bool TablesChanged = false;
    bool ListRebuildPending = false;

    // While comparing: the baseline build and its changes over the tables above; null otherwise.
    std::shared_ptr<BuildBaseline> Baseline;

    bool isFreeArea(const SectionEntry& entry) const { return contains(SectionFreeAreas, entry.record); }
    bool isFreeArea(const ModuleSectionEntry& entry) const { return contains(ModuleSectionFreeAreas, entry.record); }

private:
    template <typename Record> static bool contains(const std::vector<Record>& records, const Record* record)
    {
        // std::less gives a total order even for pointers into different objects.
        const std::less<const Record*> less;
        return !records.empty() && !less(record, records.data()) && less(record, records.data() + records.size());
    }
};

// The process-wide instance.
MapModel& mapModel();

// Sets CpuFamily, MaxAddress and AddressDigits from the root's CPU name, clears NameWidths
// and builds the tables. The no-root forms read the root through IE_getRoot.
void DetectCpuFamily(MapModel& model, const IeRoot* root);
void DetectCpuFamily(MapModel& model);
void DetectCpuFamily();

// Rebuilds all five tables from the tree, replacing the previous ones. Expects CpuFamily and
// MaxAddress set and NameWidths cleared (DetectCpuFamily does both).
void BuildMapTables(MapModel& model, const IeRoot* root);
void BuildMapTables(const IeRoot* root);

// Whether FunctionTable lists a definition: every one for the "Grus" family, else only those with
// a name and a linker symbol name.
bool AdmittedToFunctionTable(CpuFamily family, const IeFnDef& function);

// The orders the tables are sorted by (strict weak orderings, for std::sort).
bool SectionOrderLess(const SectionEntry& a, const SectionEntry& b);
bool ModuleSectionOrderLess(const ModuleSectionEntry& a, const ModuleSectionEntry& b);
bool SymbolOrderLess(const SymbolEntry& a, const SymbolEntry& b);
bool FunctionOrderLess(const FunctionEntry& a, const FunctionEntry& b);

// Whether a function is counted for the section and module section that hold its address: it
// has a name and its address is resolved. The others stay in FunctionTable between them.
inline bool FunctionIsCounted(const FunctionEntry& entry)
{
    return entry.function->name && entry.function->resolved != 0;
}

} // namespace tessaly
