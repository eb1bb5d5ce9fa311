// input_split.hpp: one fuzz input cut into the two files a target needs.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace tessaly::fuzz {

// A line no regions file or absolute file needs; the seeds and the dictionaries carry it.
inline constexpr std::string_view kInputSeparator = "\n----8<----\n";

struct InputParts {
    std::span<const uint8_t> first;
    std::span<const uint8_t> second; // empty when the input holds no separator
};

// The bytes before the first separator, and those after it.
inline InputParts splitInput(std::span<const uint8_t> input)
{
    const auto separator = std::search(input.begin(), input.end(), kInputSeparator.begin(), kInputSeparator.end(),
        [](uint8_t byte, char c) { return byte == static_cast<uint8_t>(c); });
    if (separator == input.end())
        return { input, {} };
    const auto cut = static_cast<std::size_t>(separator - input.begin());
    return { input.first(cut), input.subspan(cut + kInputSeparator.size()) };
}

} // namespace tessaly::fuzz
