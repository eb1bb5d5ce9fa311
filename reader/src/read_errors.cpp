// read_errors.cpp: unwinding a failed read, the error texts, and releasing the tree.
#include "c_edge.hpp"
#include "orvik.h"
#include "read_fault.hpp"
#include "reader_state.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace orvik {
namespace {

struct ErrorText {
    const char* message;
    bool withPath;
    bool withPosition;
};

const ErrorText kErrorTexts[] = {
    { "Can't Open File.", true, false },
    { "File is end.", true, false },
    { "File read error.", true, true },
    { "File read error.\nInspect Part: Illegal information.", true, true },
    { "Can't allocate Memorys.", false, false },
    { "File read error.\nInspect Part: No Module Info.", true, true },
    { "File read error.\nInspect Part: No function Information.", true, true },
    { "File read error.\nInspect Part: Function Information error.", true, true },
    { "File read error.\nInspect Part: Variable Information error.", true, true },
    { "File read error.\nInspect Part: Stack Information error.", true, true },
};

// Writes path + suffix into out, shortening the path rather than the message when the
// whole text would not fit.
void formatWithPath(char* out, std::size_t outSize, const char* path, const char* suffix)
{
    const std::size_t suffixLength = std::strlen(suffix);
    const std::size_t room = outSize - 1 > suffixLength ? outSize - 1 - suffixLength : 0;
    const std::size_t pathLength = std::min(std::strlen(path), room);
    std::memcpy(out, path, pathLength);
    const std::size_t suffixKept = std::min(suffixLength, outSize - 1 - pathLength);
    std::memcpy(out + pathLength, suffix, suffixKept);
    out[pathLength + suffixKept] = '\0';
}

} // namespace

void fail(int code, uint32_t position)
{
    readerState().errorPosition = position;
    throw ReadFault { code };
}

void failWithoutPosition(int code)
{
    throw ReadFault { code };
}

void failAtInput(int code)
{
    fail(code, readerState().input.offset());
}

} // namespace orvik

using orvik::readerState;

extern "C" const char* IE_readError(int code)
{
    auto& state = readerState();
    return orvik::sealed(
        [&]() -> const char* {
            if (code < IE_ERROR_CANT_OPEN || code > IE_ERROR_STACK_INFO)
                return state.messageBuffer;
            const auto& text = orvik::kErrorTexts[code - 1];
            char suffix[128];
            if (text.withPosition)
                std::snprintf(
                    suffix, sizeof suffix, ", %08x: %s\n", static_cast<unsigned>(state.errorPosition), text.message);
            else if (text.withPath)
                std::snprintf(suffix, sizeof suffix, ", %s\n", text.message);
            else
                std::snprintf(suffix, sizeof suffix, "%s\n", text.message);
            orvik::formatWithPath(
                state.messageBuffer, sizeof state.messageBuffer, text.withPath ? state.pathBuffer : "", suffix);
            return state.messageBuffer;
        },
        static_cast<const char*>(state.messageBuffer));
}

extern "C" int IE_freeIEEE(void)
{
    return orvik::sealed([] {
        readerState().freeTree();
        readerState().releaseSpareRuns();
        readerState().decode.releaseScratch();
        return 0;
    });
}
