// hang_guard.hpp: filler files for the hang guard tests, and the check that each read ends with a code.
#pragma once

#include "orvik.h"
#include "support/temp_file.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <gtest/gtest.h>
#include <initializer_list>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace tessaly::testing::hang_guard {

constexpr std::size_t kFillerBytes = 10u << 20;

// unit repeated up to kFillerBytes.
inline std::vector<uint8_t> filler(std::initializer_list<uint8_t> unit)
{
    std::vector<uint8_t> bytes;
    bytes.reserve(kFillerBytes + unit.size());
    while (bytes.size() < kFillerBytes)
        bytes.insert(bytes.end(), unit);
    return bytes;
}

// Inserts the filler right after the first occurrence of marker, a name only the test uses.
inline std::vector<uint8_t> fillAfter(
    std::vector<uint8_t> file, std::string_view marker, const std::vector<uint8_t>& fill)
{
    const auto at = std::search(file.begin(), file.end(), marker.begin(), marker.end(),
        [](uint8_t a, char b) { return a == static_cast<uint8_t>(b); });
    if (at == file.end())
        throw std::logic_error("marker not in file");
    file.insert(at + static_cast<std::ptrdiff_t>(marker.size()), fill.begin(), fill.end());
    return file;
}

// Bytes that are never a record code: small numbers, and long Numbers whose value bytes
// look like record codes, which the skip must step over whole.
inline std::vector<uint8_t> nonRecordFiller()
{
    return filler({ 0x10, 0x84, 0xE0, 0xF8, 0xF9, 0xE1, 0x7F, 0x81, 0xF1, 0x00 });
}

struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    int mask;
};

// Each read finishes (the CTest timeout is the bound) and returns 0 or an error code.
inline void expectEachEndsWithACode(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_GE(c.bytes.size(), kFillerBytes);
        TempFile file(c.bytes);
        const int code = IE_readIEEE(file.pathString().c_str(), c.mask);
        EXPECT_GE(code, 0);
        EXPECT_LE(code, IE_ERROR_STACK_INFO);
        IE_freeIEEE();
    }
}

} // namespace tessaly::testing::hang_guard
