// read_entry.cpp: IE_readIEEE, the one place where a read starts, fails and ends.
#include "c_edge.hpp"
#include "decoders.hpp"
#include "name_hash.hpp"
#include "orvik.h"
#include "read_fault.hpp"
#include "reader_state.hpp"

#include <cstring>
#include <new>

using namespace orvik;

namespace {

void copyPath(ReaderState& state, const char* path)
{
    // A longer path is cut to the buffer; the file itself is still opened by its full name.
    std::strncpy(state.pathBuffer, path ? path : "", sizeof state.pathBuffer - 1);
    state.pathBuffer[sizeof state.pathBuffer - 1] = '\0';
}

// The read itself: refusals return their code, faults leave by exception.
int readFile(ReaderState& state, const char* path, int mask)
{
    copyPath(state, path);
    if (!path || !state.input.open(path))
        return IE_ERROR_CANT_OPEN;

    state.root.revision = "Rev.N";
    state.root.version = "V.2.10.00";
    state.mask = mask;

    uint8_t first = 0;
    if (!state.input.tryByte(first))
        return IE_ERROR_FILE_END;
    if (first != 0xE0 && first != 0x80) {
        state.errorPosition = 0;
        return IE_ERROR_READ;
    }

    state.input.seek(0);
    state.freeTree();
    if (first == 0xE0) {
        decodeIeee695((mask & IE_READ_TOLERANT) ? Ieee695Policy::tolerant() : Ieee695Policy::strict());
        resolveSectionUses();
        resolveAddresses();
    } else {
        decodeFramed();
    }
    state.currentModule = state.root.modules;
    buildNameHashes();
    return 0;
}

} // namespace

extern "C" int IE_readIEEE(const char* path, int mask)
{
    ReaderState& state = readerState();
    int result = 0;
    try {
        result = readFile(state, path, mask);
    } catch (const ReadFault& fault) {
        result = fault.code;
    } catch (const std::bad_alloc&) {
        result = IE_ERROR_NO_MEMORY;
    } catch (...) {
        // Nothing else should be thrown; if it is, the read failed where the input stood.
        state.errorPosition = state.input.offset();
        result = IE_ERROR_READ;
    }
    state.decode.reset();
    // The huge runs of the tree this one replaced that it did not take up: a big program read
    // after a bigger one keeps no more memory than its own tree.
    state.releaseSpareRuns();
    state.input.close();
    return result;
}

extern "C" IeRoot* IE_getRoot(void)
{
    ReaderState& state = readerState();
    return sealed(
        [&] {
            IeRoot& root = state.root;
            state.moduleCursor = root.modules;
            state.sectionCursor = root.sections;
            state.symbolCursor = root.symbols;
            state.sourceCursor = root.modules ? root.modules->sources : nullptr;
            return &root;
        },
        &state.root);
}
