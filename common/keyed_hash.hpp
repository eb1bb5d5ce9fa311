// keyed_hash.hpp: hashes of the numbers and names a file chooses, keyed by a seed each process
// draws. Header only: the reader and the viewer's model hash a file's names alike.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <random>
#include <string_view>
#include <unordered_map>

namespace keyed {

// Drawn on first use. A file cannot aim its numbers or names at one slot of a table whose hash
// it cannot predict; under a fixed hash it can, and every insertion then walks the whole pile.
inline uint64_t processSeed()
{
    static const uint64_t seed = [] {
        uint64_t drawn = 0;
        try {
            std::random_device device;
            drawn = (uint64_t { device() } << 32) ^ device();
        } catch (const std::exception&) {
            // no entropy source: the clock and the stack's address below still vary
        }
        drawn ^= static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        drawn ^= reinterpret_cast<std::uintptr_t>(&drawn);
        return drawn;
    }();
    return seed;
}

// The number with the seed, scrambled (splitmix64's finaliser): every bit of the result
// depends on every bit of both, so the top bits serve as a slot as well as the bottom ones.
inline uint64_t mixNumber(uint64_t value, uint64_t seed)
{
    uint64_t x = value ^ seed;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// The 128-bit product with its halves folded together, from 32-bit halves: for compilers
// without a 128-bit integer.
inline uint64_t foldedProductOfHalves(uint64_t a, uint64_t b)
{
    const uint64_t lowLow = (a & 0xFFFFFFFF) * (b & 0xFFFFFFFF);
    const uint64_t lowHigh = (a & 0xFFFFFFFF) * (b >> 32);
    const uint64_t highLow = (a >> 32) * (b & 0xFFFFFFFF);
    const uint64_t middle = (lowLow >> 32) + (lowHigh & 0xFFFFFFFF) + (highLow & 0xFFFFFFFF);
    const uint64_t high = (a >> 32) * (b >> 32) + (lowHigh >> 32) + (highLow >> 32) + (middle >> 32);
    return ((lowLow & 0xFFFFFFFF) | middle << 32) ^ high;
}

// The 128-bit product with its halves folded together. With a key in each factor no change of
// a word has a foreseeable effect on the result, as it has through a 64-bit multiply (whose
// top bit a flip of the factor's top bit merely flips).
inline uint64_t foldedProduct(uint64_t a, uint64_t b)
{
#if defined(__SIZEOF_INT128__)
    const __uint128_t product = __uint128_t { a } * b;
    return static_cast<uint64_t>(product) ^ static_cast<uint64_t>(product >> 64);
#else
    return foldedProductOfHalves(a, b);
#endif
}

// Two keys from the process's seed, one for each factor.
struct NameKey {
    uint64_t word = processSeed();
    uint64_t chain = mixNumber(word, 0x6A09E667F3BCC909ull);
};

struct IgnoreWords {
    void operator()(uint64_t, uint64_t) const { }
};

// A name's hash, sixteen bytes a folded product. seeWord(word, lanes) sees every word taken,
// and every byte of the name lies in one of them; lanes masks the bytes of the word that hold
// the name's.
template <typename SeeWord = IgnoreWords>
inline uint64_t nameHash(std::string_view name, const NameKey& key, SeeWord&& seeWord = {})
{
    constexpr uint64_t kAllLanes = ~uint64_t { 0 };
    auto load64 = [](const char* at) {
        uint64_t word;
        std::memcpy(&word, at, 8);
        return word;
    };
    auto load32 = [](const char* at) {
        uint32_t word;
        std::memcpy(&word, at, 4);
        return uint64_t { word };
    };
    const char* p = name.data();
    const std::size_t n = name.size();
    uint64_t hash = key.chain ^ n;
    auto step = [&](uint64_t first, uint64_t second) { hash = foldedProduct(first ^ key.word, second ^ hash); };
    auto stepWords = [&](const char* first, const char* second) {
        const uint64_t a = load64(first);
        const uint64_t b = load64(second);
        seeWord(a, kAllLanes);
        seeWord(b, kAllLanes);
        step(a, b);
    };
    if (n - 8 <= 8) {
        // Most names: the first and the last eight bytes, overlapping, without the loop's steps.
        stepWords(p, p + n - 8);
    } else if (n > 16) {
        std::size_t i = 0;
        for (; i + 16 <= n; i += 16)
            stepWords(p + i, p + i + 8);
        if (i < n)
            stepWords(p + n - 16, p + n - 8); // overlapping the step before
    } else if (n >= 4) {
        const uint64_t word = load32(p) | load32(p + n - 4) << 32;
        seeWord(word, kAllLanes);
        step(word, 0);
    } else if (n > 0) {
        const auto byte = [&](std::size_t i) { return uint64_t { static_cast<unsigned char>(p[i]) }; };
        const uint64_t word = byte(0) | byte(n / 2) << 8 | byte(n - 1) << 16;
        seeWord(word, 0xFFFFFF);
        step(word, 0);
    }
    return hash;
}

// For the standard maps keyed by a file's numbers, whose own hash of an integer is the
// integer itself.
struct NumberHash {
    uint64_t seed = processSeed();
    std::size_t operator()(int64_t value) const
    {
        return static_cast<std::size_t>(mixNumber(static_cast<uint64_t>(value), seed));
    }
};

// For the standard maps keyed by a file's names.
struct NameHash {
    NameKey key;
    std::size_t operator()(std::string_view name) const { return static_cast<std::size_t>(nameHash(name, key)); }
};

// The standard maps with those hashes.
template <typename Number, typename Value> using NumberMap = std::unordered_map<Number, Value, NumberHash>;
template <typename Name, typename Value> using NameMap = std::unordered_map<Name, Value, NameHash>;

} // namespace keyed
