// match_text.cpp: plain and anchored wild-card matching of names for Find.
#include "right/match_text.hpp"

namespace tessaly {

namespace {

// Only the letters a-z fold; every other byte compares as it is.
char fold(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool sameChar(char a, char b, bool ignoreCase)
{
    return ignoreCase ? fold(a) == fold(b) : a == b;
}

bool isWild(char c)
{
    return c == '*' || c == '?' || c == '\\';
}

// One literal of the pattern at p: the character it stands for, how many pattern bytes it
// takes, and whether it is an escape of a wild-card character (compared without folding).
struct Literal {
    char c = 0;
    size_t width = 1;
    bool exact = false;
};

Literal literalAt(std::string_view pattern, size_t p)
{
    if (pattern[p] != '\\')
        return { pattern[p], 1, false };
    const char escaped = pattern[p + 1];
    return { escaped, 2, isWild(escaped) };
}

// A '\' that is the pattern's last character ends it.
bool patternEnds(std::string_view pattern, size_t p)
{
    return p >= pattern.size() || (pattern[p] == '\\' && p + 1 == pattern.size());
}

// The anchored glob on text from t0; the number of characters consumed, or -1 on failure.
int32_t glob(std::string_view text, size_t t0, std::string_view pattern, bool ignoreCase)
{
    size_t p = 0;
    size_t t = t0;
    // The nearest '*' the pattern has passed, or npos while there has been none.
    size_t star = std::string_view::npos;
    // Set once a literal after a '*' has been found: a later mismatch goes back to the star.
    bool anchored = false;

    // Step 3: at a '*' (p is just past it). Returns false when the glob fails; true with p and
    // t placed just after the anchor, or with p at the end when the rest of the text is taken.
    auto afterStar = [&]() -> bool {
        for (;;) {
            while (p < pattern.size() && pattern[p] == '*')
                ++p;
            if (patternEnds(pattern, p)) {
                t = text.size();
                p = pattern.size();
                return true;
            }
            if (pattern[p] != '?')
                break;
            if (t >= text.size())
                return false;
            ++t;
            ++p;
        }
        // Here an escaped character is compared with folding too.
        const Literal anchor = literalAt(pattern, p);
        while (t < text.size() && !sameChar(text[t], anchor.c, ignoreCase))
            ++t;
        if (t >= text.size())
            return false;
        ++t;
        p += anchor.width;
        anchored = true;
        return true;
    };

    for (;;) {
        if (patternEnds(pattern, p))
            return static_cast<int32_t>(t - t0);
        const char pc = pattern[p];
        if (pc == '*') {
            star = p;
            anchored = false;
            ++p;
            if (!afterStar())
                return -1;
            continue;
        }
        if (t >= text.size())
            return -1;
        if (pc == '?') {
            ++t;
            ++p;
            continue;
        }
        const Literal literal = literalAt(pattern, p);
        const bool same = literal.exact ? text[t] == literal.c : sameChar(text[t], literal.c, ignoreCase);
        if (same) {
            ++t;
            p += literal.width;
            continue;
        }
        if (!anchored)
            return -1;
        // Back to the star; the search for its anchor goes on after the mismatching character.
        p = star + 1;
        ++t;
        if (!afterStar())
            return -1;
    }
}

} // namespace

MatchResult MatchText(int flags, std::string_view text, std::string_view pattern)
{
    const bool ignoreCase = (flags & MatchIgnoreCase) != 0;
    if (text.empty() || pattern.empty())
        return {};
    if ((flags & MatchWildCard) == 0) {
        for (size_t s = 0; s + pattern.size() <= text.size(); ++s) {
            size_t i = 0;
            while (i < pattern.size() && sameChar(text[s + i], pattern[i], ignoreCase))
                ++i;
            if (i == pattern.size())
                return { true, static_cast<int32_t>(s), static_cast<int32_t>(pattern.size()) };
        }
        return {};
    }
    for (size_t s = 0; s <= text.size(); ++s) {
        const int32_t consumed = glob(text, s, pattern, ignoreCase);
        if (consumed >= 0)
            return { true, static_cast<int32_t>(s), consumed };
    }
    return {};
}

} // namespace tessaly
