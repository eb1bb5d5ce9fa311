// run_sort_test.cpp: the mostly-sorted table sort leaves what std::sort leaves, whatever the input.
#include "run_sort.hpp"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

// Ordered by key only; the tag tells apart entries of one key, so an order of equivalent
// entries other than std::sort's shows.
struct Entry {
    uint32_t key;
    uint32_t tag;
    bool operator==(const Entry&) const = default;
};

std::vector<Entry> ascending(uint32_t from, uint32_t count, uint32_t step)
{
    std::vector<Entry> entries;
    for (uint32_t i = 0; i < count; ++i)
        entries.push_back({ from + i * step, static_cast<uint32_t>(entries.size()) });
    return entries;
}

std::vector<Entry> concat(std::vector<Entry> a, const std::vector<Entry>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    for (uint32_t i = 0; i < a.size(); ++i)
        a[i].tag = i;
    return a;
}

std::vector<Entry> shuffled(std::vector<Entry> entries, unsigned seed)
{
    std::shuffle(entries.begin(), entries.end(), std::mt19937(seed));
    return entries;
}

TEST(SortMostlySorted, LeavesWhatStdSortLeaves)
{
    const std::vector<std::vector<Entry>> cases = {
        {},
        ascending(5, 1, 1),
        ascending(0, 1000, 3), // sorted already
        concat(ascending(0, 900, 4), shuffled(ascending(1, 100, 37), 1)), // a run and a rest
        concat(shuffled(ascending(1, 100, 37), 2), ascending(0, 900, 4)), // the run last
        concat(ascending(0, 900, 4), ascending(2, 100, 8)), // two runs, interleaving
        concat(ascending(0, 900, 4), ascending(8, 100, 8)), // the rest equals run entries
        concat(ascending(0, 900, 4), concat(ascending(1, 50, 4), ascending(1, 50, 4))), // equal in the rest
        concat(ascending(0, 300, 1), shuffled(ascending(0, 700, 1), 3)), // no long run
        shuffled(concat(ascending(0, 500, 1), ascending(0, 500, 1)), 4),
    };
    for (std::size_t c = 0; c < cases.size(); ++c) {
        const auto less = [](const Entry& a, const Entry& b) { return a.key < b.key; };
        std::vector<Entry> expected = cases[c];
        std::sort(expected.begin(), expected.end(), less);
        std::vector<Entry> actual = cases[c];
        tessaly::sortMostlySorted(actual, less);
        EXPECT_EQ(actual, expected) << "case " << c;
    }
}

} // namespace
