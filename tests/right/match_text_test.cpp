// match_text_test.cpp: MatchText, plain and wild card: the anchored glob, its backtracking, escapes and case folding.
#include "right/match_text.hpp"

#include <gtest/gtest.h>

namespace {

using tessaly::MatchIgnoreCase;
using tessaly::MatchResult;
using tessaly::MatchText;
using tessaly::MatchWildCard;

struct Case {
    const char* label;
    int flags;
    const char* text;
    const char* pattern;
    MatchResult expected;
};

constexpr MatchResult kNone { false, -1, 0 };
constexpr MatchResult at(int32_t offset, int32_t length)
{
    return { true, offset, length };
}

void check(const Case* begin, const Case* end)
{
    for (const Case* c = begin; c != end; ++c) {
        SCOPED_TRACE(c->label);
        EXPECT_EQ(MatchText(c->flags, c->text, c->pattern), c->expected);
    }
}

TEST(MatchText, PlainFindsTheFirstOffset)
{
    const Case cases[] = {
        { "at the start", 0, "data_seg", "data", at(0, 4) },
        { "inside", 0, "my_data", "data", at(3, 4) },
        { "first of two", 0, "abab", "ab", at(0, 2) },
        { "case differs, match case", 0, "DATA", "data", kNone },
        { "case folded", MatchIgnoreCase, "DATA", "data", at(0, 4) },
        { "mixed case folded", MatchIgnoreCase, "MyData", "DATA", at(2, 4) },
        { "longer than the text", 0, "ab", "abc", kNone },
        { "at the very end", 0, "xyz", "z", at(2, 1) },
        { "wild-card characters are plain", 0, "a*b?c", "*b?", at(1, 3) },
        { "backslash is plain", 0, "a\\b", "\\b", at(1, 2) },
        { "empty text never matches", 0, "", "a", kNone },
        { "only a-z fold", MatchIgnoreCase, "[", "{", kNone },
        { "digits are not folded", MatchIgnoreCase, "x1", "X1", at(0, 2) },
    };
    check(std::begin(cases), std::end(cases));
}

TEST(MatchText, WildCardExamples)
{
    const int w = MatchWildCard;
    const int wi = MatchWildCard | MatchIgnoreCase;
    const Case cases[] = {
        { "*init takes the whole name", w, "sys_init", "*init", at(0, 8) },
        { "in?t from the i", w, "sys_init", "in?t", at(4, 4) },
        { "a* from the first a to the end", w, "my_data_x", "a*", at(4, 5) },
        { "escaped star is a literal star", w, "ptr*x", "\\*", at(3, 1) },
        { "escaped star needs a star", w, "ptrx", "\\*", kNone },
        { "*ab in aab: backtracking skips the first a", w, "aab", "*ab", at(1, 2) },
        { "case folded wild card", wi, "SYS_INIT", "*init", at(0, 8) },
        { "case kept wild card", w, "SYS_INIT", "*init", kNone },
        { "empty text never matches", w, "", "*", kNone },
        { "a lone star takes everything", w, "abc", "*", at(0, 3) },
        { "several stars act as one", w, "abc", "a***c", at(0, 3) },
        { "? fails at the end of the text", w, "ab", "ab?", kNone },
        { "? after a star takes one character", w, "abcd", "*?d", at(0, 4) },
        { "star then ? at the end of the text", w, "a", "a*?", kNone },
        { "the pattern ends: the rest of the text is not consumed", w, "initial", "init", at(0, 4) },
        { "no anchor in the text", w, "abc", "*z", kNone },
    };
    check(std::begin(cases), std::end(cases));
}

TEST(MatchText, EscapeRules)
{
    const int w = MatchWildCard;
    const int wi = MatchWildCard | MatchIgnoreCase;
    const Case cases[] = {
        { "escaped ?", w, "a?b", "\\?", at(1, 1) },
        { "escaped ? is not any character", w, "ab", "a\\?", kNone },
        { "escaped backslash", w, "a\\b", "\\\\b", at(1, 2) },
        { "escaped plain letter", w, "xay", "\\a", at(1, 1) },
        { "escaped plain letter folds", wi, "XAY", "\\a", at(1, 1) },
        { "escaped star compares exactly, also folded", wi, "a*", "a\\*", at(0, 2) },
        { "trailing backslash ends the pattern", w, "abc", "b\\", at(1, 1) },
        { "trailing backslash after a star", w, "xabc", "a*\\", at(1, 3) },
        // After a star the anchor, escaped or not, is searched with folding.
        { "escaped anchor after a star folds", wi, "xxA", "*\\a", at(0, 3) },
        { "escaped anchor after a star, case kept", w, "xxA", "*\\a", kNone },
    };
    check(std::begin(cases), std::end(cases));
}

TEST(MatchText, BacktrackingResumesAfterTheMismatch)
{
    const int w = MatchWildCard;
    const Case cases[] = {
        // From offset 0: anchor a(0), b~a(1) mismatch -> resume at 2, no a left. From 1: a b.
        { "aab", w, "aab", "*ab", at(1, 2) },
        // The anchor is found again after a mismatch further on.
        { "second anchor", w, "axab", "*ab", at(0, 4) },
        // The characters between the anchor and the mismatch are not looked at again. From 0:
        // anchor a(0), a(1), b~a(2): resume at 3, anchor a(3), a~b(4): resume at 5, fail. From 1
        // likewise; from 2: a a b. A glob that retried from the anchor would match at 0.
        { "skips the examined run", w, "aaaab", "*aab", at(2, 3) },
        // From 0: anchor a(0), b(1), c~b(2): resume at 3 and find a b c there.
        { "the anchor is searched again after the mismatch", w, "abbabc", "*abc", at(0, 6) },
        { "a literal meeting the end fails", w, "xa", "*ab", kNone },
        { "a ? after an anchor never mismatches", w, "abx", "*a?x", at(0, 3) },
        { "a ? after an anchor meeting the end fails", w, "xa", "*a?", kNone },
    };
    check(std::begin(cases), std::end(cases));
}

} // namespace
