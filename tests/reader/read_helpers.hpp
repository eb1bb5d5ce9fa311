// read_helpers.hpp: reading writer-built files through the public API, and list walking.
#pragma once

#include "orvik.h"
#include "support/ieee695_writer.hpp"
#include "support/temp_file.hpp"

#include <string>
#include <vector>

namespace tessaly::testing {

inline int readBytes(const std::vector<uint8_t>& bytes, int mask = IE_READ_VIEWER)
{
    TempFile file(bytes);
    return IE_readIEEE(file.pathString().c_str(), mask);
}

inline int readFile(const Ieee695Writer& writer, int mask = IE_READ_VIEWER)
{
    return readBytes(writer.bytes(), mask);
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

} // namespace tessaly::testing
