// match_text.hpp: MatchText, the name matching of Find: plain or anchored wild-card, with optional case folding.
#pragma once

#include <cstdint>
#include <string_view>

namespace tessaly {

// Bits of MatchText's flag word.
enum MatchFlag : int {
    MatchIgnoreCase = 1, // fold a-z to A-Z before comparing
    MatchWildCard = 2, // '*', '?' and '\' escapes in the pattern
};

struct MatchResult {
    bool found = false;
    int32_t offset = -1; // within the text
    int32_t length = 0; // text characters the match covers
    friend bool operator==(const MatchResult&, const MatchResult&) = default;
};

// The first match of the pattern in the text. Plain: the first offset where the whole pattern
// equals the text. Wild card: the first offset from which the anchored glob succeeds, the
// length being what the glob consumed. An empty text or an empty pattern never matches.
MatchResult MatchText(int flags, std::string_view text, std::string_view pattern);

} // namespace tessaly
