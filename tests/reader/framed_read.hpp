// framed_read.hpp: reading writer-built framed files through the public API in tests.
#pragma once

#include "orvik.h"
#include "support/framed_writer.hpp"
#include "support/temp_file.hpp"

#include <cstdio>
#include <string>
#include <vector>

namespace tessaly::testing::framed_test {

struct ReadResult {
    int code = 0;
    std::string path;
    std::string message; // IE_readError(code), taken while the path is known
};

inline ReadResult readFramed(const std::vector<uint8_t>& bytes, int mask = IE_READ_VIEWER)
{
    TempFile file(bytes);
    ReadResult result;
    result.path = file.pathString();
    result.code = IE_readIEEE(result.path.c_str(), mask);
    if (result.code != 0)
        result.message = IE_readError(result.code);
    return result;
}

inline ReadResult readFramed(const FramedWriter& writer, int mask = IE_READ_VIEWER)
{
    return readFramed(writer.bytes(), mask);
}

inline std::string readErrorAt(const ReadResult& result, std::size_t offset)
{
    char position[16];
    std::snprintf(position, sizeof position, "%08zx", offset);
    return result.path + ", " + position + ": File read error.\n";
}

template <typename T> std::vector<T*> listOf(T* head)
{
    std::vector<T*> items;
    for (T* item = head; item; item = item->next)
        items.push_back(item);
    return items;
}

inline std::string str(const char* text)
{
    return text ? text : "<null>";
}

// The first record and a header naming module "prog" on CPU "Cetus".
inline FramedWriter startFile()
{
    FramedWriter w;
    w.start({ .module = "prog", .cpu = "Cetus" });
    return w;
}

} // namespace tessaly::testing::framed_test
