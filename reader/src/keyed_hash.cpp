// keyed_hash.cpp: the process's hash seed.
#include "keyed_hash.hpp"

#include <chrono>
#include <cstdint>
#include <exception>
#include <random>

namespace orvik {

uint64_t processHashSeed()
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

} // namespace orvik
