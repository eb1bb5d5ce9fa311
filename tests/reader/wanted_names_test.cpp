// wanted_names_test.cpp: which offered names give a wanted link name its value.
#include "wanted_names.hpp"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>

namespace {

using namespace std::string_literals;

// A symbol's name is offered with the length it was read with and counts only as far as its
// first NUL, as it is stored; the hash finds the NUL, in each of its word loops' shapes.
TEST(WantedNames, AnOfferedNameCountsUpToItsFirstNul)
{
    struct Row {
        const char* wanted;
        std::string offered;
        bool found;
    };
    const Row rows[] = {
        { "a", "a\0"s, true }, // shorter than four bytes
        { "ab", "ab\0z"s, true }, // four to seven
        { "abcdefgh", "abcdefgh\0"s, true }, // the NUL in the last, overlapping word
        { "abcdefghijk", "abcdefghijk\0trailing"s, true }, // several words
        { "abcdefghijklmnopqrst", "abcdefghijklmnopqrst\0abcdefghijklmnopqrs"s, true }, // in the second step
        { "abcdefghijklmnopqrstuvwxyzABCDEFG", "abcdefghijklmnopqrstuvwxyzABCDEFG\0z"s,
            true }, // in the last, overlapping step
        { "abc", "abc\0abcdefgh"s, true },
        { "abcd", "abc\0d"s, false }, // cut at the NUL, the name is another
        { "abcdefghijkl", "abcdefghijkl"s, true }, // no NUL
        { "x\x80\x81y", "x\x80\x81y"s, true }, // bytes of 0x80 and above hold no NUL
        { "\x01\x81\x01\x81\x01\x81\x01\x81", "\x01\x81\x01\x81\x01\x81\x01\x81"s, true },
        { "x\x80", "x\x80\0y"s, true },
    };
    for (const Row& row : rows) {
        uint32_t address = 0;
        int32_t resolved = 0;
        orvik::WantedNames names({ { row.wanted, &address, &resolved } });
        names.offer(std::string_view(row.offered), 42);
        names.resolve();
        EXPECT_EQ(resolved == 1, row.found) << row.wanted;
        EXPECT_EQ(address, row.found ? 42u : 0u) << row.wanted;
    }
}

} // namespace
