// run_sort.hpp: sorting a table that arrives mostly in order, with std::sort's result.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace tessaly {

// Sorts table by less, leaving exactly what std::sort leaves. A table of a big program arrives
// as one long ascending run (the global labels, in address order) with the rest (the local
// ones) after it; std::sort of a million such entries was most of the tables' build. When the
// longest strictly ascending run holds at least half the table, only the rest is sorted and
// merged into it. With no two entries equivalent the sorted order is unique, so the merge gives
// what std::sort would; when any two are equivalent, std::sort (whose order among equivalent
// entries is its own) sorts the untouched table.
template <typename T, typename Less> void sortMostlySorted(std::vector<T>& table, Less less)
{
    const std::size_t n = table.size();
    std::size_t runStart = 0, runEnd = n == 0 ? 0 : 1;
    for (std::size_t start = 0; start < n;) {
        std::size_t end = start + 1;
        while (end < n && less(table[end - 1], table[end]))
            ++end;
        if (end - start > runEnd - runStart) {
            runStart = start;
            runEnd = end;
        }
        start = end;
    }
    if (runEnd - runStart == n)
        return;
    if (runEnd - runStart < n / 2) {
        std::sort(table.begin(), table.end(), less);
        return;
    }

    std::vector<T> rest;
    rest.reserve(n - (runEnd - runStart));
    rest.insert(rest.end(), table.begin(), table.begin() + static_cast<std::ptrdiff_t>(runStart));
    rest.insert(rest.end(), table.begin() + static_cast<std::ptrdiff_t>(runEnd), table.end());
    std::sort(rest.begin(), rest.end(), less);

    // Equivalent entries, within the rest or between it and the run, leave the order to std::sort.
    const auto equivalent = [&](const T& a, const T& b) { return !less(a, b) && !less(b, a); };
    bool unique = std::adjacent_find(rest.begin(), rest.end(), equivalent) == rest.end();
    for (std::size_t i = runStart, j = 0; unique && i < runEnd && j < rest.size();) {
        if (less(table[i], rest[j]))
            ++i;
        else if (less(rest[j], table[i]))
            ++j;
        else
            unique = false;
    }
    if (!unique) {
        std::sort(table.begin(), table.end(), less);
        return;
    }

    // The run to the front, then merged with the rest from the back.
    if (runStart != 0)
        std::move(table.begin() + static_cast<std::ptrdiff_t>(runStart),
            table.begin() + static_cast<std::ptrdiff_t>(runEnd), table.begin());
    std::size_t i = runEnd - runStart, j = rest.size(), k = n;
    while (j > 0) {
        if (i > 0 && less(rest[j - 1], table[i - 1]))
            table[--k] = std::move(table[--i]);
        else
            table[--k] = std::move(rest[--j]);
    }
}

} // namespace tessaly
