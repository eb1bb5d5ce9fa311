// fuzz_check.hpp: the check that aborts on a broken promise, and reading names whole.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

// Aborts with the broken promise, so libFuzzer saves the input and the replay test fails.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);                   \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

namespace tessaly::fuzz {

// Lengths go here, where the optimiser cannot see them unused and drop the strlen.
inline volatile std::size_t g_touchedBytes = 0;

// Reading every byte of a name lets AddressSanitizer see one that is not terminated or that
// lies in released memory.
inline std::size_t touch(const char* text)
{
    const std::size_t length = text ? std::strlen(text) : 0;
    g_touchedBytes = g_touchedBytes + length;
    return length;
}

// Aborts with what is wrong with a written text (from jsonFault or csvFault), and the text.
inline void checkNoFault(const std::optional<std::string>& fault, const char* what, const std::string& text)
{
    if (fault) {
        std::fprintf(stderr, "fuzz check failed: %s: %s\n%.4000s\n", what, fault->c_str(), text.c_str());
        std::abort();
    }
}

} // namespace tessaly::fuzz
