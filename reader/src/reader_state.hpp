// reader_state.hpp: the reader's process-wide state, reset at the start of every read.
#pragma once

#include "input_file.hpp"
#include "list_tails.hpp"
#include "orvik.h"
#include "pool.hpp"
#include "wanted_names.hpp"

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace orvik {

constexpr std::size_t kHashSlots = 256;

// One of the two module-lookup cursors of the debug part.
struct ModuleLookupCursor {
    IeModule* next = nullptr;
    int matches = 0;
};

// Everything that only means something while a file is being decoded.
struct DecodeState {
    std::array<uint32_t, 8> partOffsets {};
    ModuleLookupCursor typeBlockCursor;
    ModuleLookupCursor asmBlockCursor;
    IeModule* currentModule = nullptr;
    IeSource* currentSource = nullptr;
    IeFnDef* currentFunction = nullptr;
    std::string lastTypeName; // the last NN name of a type-definition block
    // Link names of the global definitions, offered each global symbol as it is read when
    // offersGlobals; kept from read to read, released with the tree (releaseScratch).
    WantedNames globalNames;
    bool offersGlobals = false;

    ListTails<IeModule> modules;
    ListTails<IeSection> sections;
    // Every function and variable with its source file, in the order they were appended:
    // the name tables are built from these in the tree's order (buildNameHashes). Kept from
    // read to read like the wanted names.
    std::vector<std::pair<IeFnDef*, const IeSource*>> appendedFunctions;
    std::vector<std::pair<IeVaDef*, const IeSource*>> appendedVariables;
    // buildNameHashes' working arrays, kept for the same reason
    std::vector<uint32_t> treeOrder;
    std::vector<uint8_t> buckets;

    // The root's symbol list has the one parent: its tail needs no table (appendSymbol).
    IeSymbol* lastSymbol = nullptr;
    ListTails<IeSource> sources;
    ListTails<IeModSection> modSections;
    ListTails<IeModSymbol> modSymbols;
    ListTails<IeTypeDef> typeDefs;
    ListTails<IeTypeRef> typeRefs;
    ListTails<IeSecUse> secUses;
    ListTails<IeFnDef> functions;
    ListTails<IeVaDef> variables;
    ListTails<IeFnRef> fnRefs;
    ListTails<IeVaRef> vaRefs;
    ListTails<IeStackInfo> stackInfo;

    void reset();
    // Gives back the memory that reset() keeps for the next read.
    void releaseScratch();
};

struct ReaderState {
    IeRoot root {};
    char cpuNameBuffer[256] = {};
    char moduleNameBuffer[256] = {};

    Pool records;
    Pool names;
    Pool functionLinks;
    Pool variableLinks;

    std::array<IeHashLink, kHashSlots> functionTable {};
    std::array<IeHashLink, kHashSlots> variableTable {};
    IeHashLink* functionCursor = nullptr;
    IeHashLink* variableCursor = nullptr;

    // query cursors
    IeModule* moduleCursor = nullptr;
    IeSection* sectionCursor = nullptr;
    IeSymbol* symbolCursor = nullptr;
    IeSource* sourceCursor = nullptr;
    IeModule* currentModule = nullptr;
    IeModSection* modSectionCursor = nullptr;
    IeModSymbol* modSymbolCursor = nullptr;

    int mask = 0;
    uint32_t errorPosition = 0;
    char pathBuffer[1024] = {};
    char messageBuffer[512] = {};

    InputFile input;
    DecodeState decode;

    // Releases every record, name and hash link and empties the root's lists.
    void freeTree();
    // Gives back the huge runs freeTree() kept for the next tree (which did not take them up).
    void releaseSpareRuns();

    template <typename T> T* newRecord() { return records.create<T>(); }
    const char* storeName(std::string_view text) { return names.storeString(text); }
};

// The one reader state of the process; the library is used from one thread at a time.
extern ReaderState g_readerState;
inline ReaderState& readerState()
{
    return g_readerState;
}

} // namespace orvik
