// reader_state.cpp: the single instance of the reader's state and its release.
#include "reader_state.hpp"

#include <initializer_list>

namespace orvik {

ReaderState g_readerState;

void DecodeState::reset()
{
    partOffsets.fill(0);
    typeBlockCursor = {};
    asmBlockCursor = {};
    currentModule = nullptr;
    currentSource = nullptr;
    currentFunction = nullptr;
    lastTypeName.clear();
    offersGlobals = false;
    modules.clear();
    sections.clear();
    lastSymbol = nullptr;
    appendedFunctions.clear();
    appendedVariables.clear();
    sources.clear();
    modSections.clear();
    modSymbols.clear();
    typeDefs.clear();
    typeRefs.clear();
    secUses.clear();
    functions.clear();
    variables.clear();
    fnRefs.clear();
    vaRefs.clear();
    stackInfo.clear();
}

void DecodeState::releaseScratch()
{
    globalNames.release();
    appendedFunctions = {};
    appendedVariables = {};
    treeOrder = {};
    buckets = {};
}

void ReaderState::releaseSpareRuns()
{
    for (Pool* pool : { &records, &names, &functionLinks, &variableLinks })
        pool->releaseSpareRuns();
}

void ReaderState::freeTree()
{
    records.release();
    names.release();
    functionLinks.release();
    variableLinks.release();
    functionTable.fill(IeHashLink {});
    variableTable.fill(IeHashLink {});
    functionCursor = nullptr;
    variableCursor = nullptr;
    root.modules = nullptr;
    root.sections = nullptr;
    root.symbols = nullptr;
    // Cursors into the released tree would dangle; the next walk starts afresh.
    moduleCursor = nullptr;
    sectionCursor = nullptr;
    symbolCursor = nullptr;
    sourceCursor = nullptr;
    currentModule = nullptr;
    modSectionCursor = nullptr;
    modSymbolCursor = nullptr;
    decode.reset();
}

} // namespace orvik
