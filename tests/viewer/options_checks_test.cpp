// options_checks_test.cpp: ParseHexField, the options dialog's OK checks in order, dialog units to pixels and base
// units fitted to the controls' texts.
#include "shell/dialog_units.hpp"
#include "shell/options_checks.hpp"

#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace tessaly;

TEST(ParseHexField, ReadsPagesAndRejectsOtherCharacters)
{
    using namespace std::string_view_literals;
    struct Case {
        const char* label;
        std::string_view text;
        std::optional<uint32_t> page;
    };
    const Case cases[] = {
        { "the opening Start text of a 20-bit file", "   0", 0u },
        { "the opening End text of a 20-bit file", " FFF", 0xFFFu },
        { "blank between the digits", "1 0", 0x10u },
        { "tab between the digits", "1\t0", 0x10u },
        { "lower case", "ffe", 0xFFEu },
        { "mixed case", "aBc", 0xABCu },
        { "empty", "", 0u },
        { "blanks only", "    ", 0u },
        { "0x prefix", "0x10", std::nullopt },
        { "minus", "-1", std::nullopt },
        { "letter beyond F", "FG", std::nullopt },
        { "trailing garbage", "12.", std::nullopt },
        { "a NUL ends the text", "12\0zz"sv, 0x12u },
        { "eight digits", "FFFFFFFF", 0xFFFFFFFFu },
        { "digits beyond the eighth push the first out", "123456789", 0x23456789u },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(ParseHexField(c.text), c.page);
    }
}

TEST(CheckOptionsRange, ChecksInOrderWithTheFourMessages)
{
    constexpr uint32_t k20 = 0xFFFFFu; // Alcor
    constexpr uint32_t k24 = 0xFFFFFFu;
    constexpr uint32_t k32 = 0xFFFFFFFFu;
    struct Case {
        const char* label;
        bool loaded;
        int32_t choice;
        uint32_t max;
        const char* start;
        const char* end;
        const char* message; // null: closes with OK
        uint32_t startPage;
        uint32_t endPage;
    };
    const Case cases[] = {
        { "opening texts of a 20-bit file", true, 0, k20, "   0", " FFF", nullptr, 0, 0xFFF },
        { "blank inside a number", true, 0, k20, "1 0", "FF", nullptr, 0x10, 0xFF },
        { "0x in Start", true, 0, k20, "0x10", "FFF", kInvalidStartAddress, 7, 9 },
        { "0x in End", true, 0, k20, "10", "0x10", kInvalidEndAddress, 7, 9 },
        { "Alcor: Start FFF is over", true, 0, k20, "FFF", "FFF", kOverAddress, 7, 9 },
        { "Alcor: Start FFE, End FFF", true, 0, k20, "FFE", "FFF", nullptr, 0xFFE, 0xFFF },
        { "Alcor: End 1000 is over", true, 0, k20, "0", "1000", kOverAddress, 7, 9 },
        { "24-bit bounds", true, 0, k24, "FFFE", "FFFF", nullptr, 0xFFFE, 0xFFFF },
        { "24-bit start over", true, 0, k24, "FFFF", "FFFF", kOverAddress, 7, 9 },
        { "32-bit bounds", true, 0, k32, "FFFFFE", "FFFFFF", nullptr, 0xFFFFFE, 0xFFFFFF },
        { "32-bit end over", true, 0, k32, "0", "1000000", kOverAddress, 7, 9 },
        { "Start > End", true, 0, k20, "200", "100", kStartAboveEnd, 7, 9 },
        { "one page", true, 0, k20, "100", "100", nullptr, 0x100, 0x100 },
        { "End checked only after Start: bad Start wins", true, 0, k20, "x", "y", kInvalidStartAddress, 7, 9 },
        { "End checked only after Start: Start over wins", true, 0, k20, "FFF", "y", kOverAddress, 7, 9 },
        { "Start passes, then End is invalid", true, 0, k20, "1", "y", kInvalidEndAddress, 7, 9 },
        { "End over before Start > End", true, 0, k20, "FFE", "1000", kOverAddress, 7, 9 },
        { "Section List: greyed fields unchecked", true, 1, k20, "junk", "0x", nullptr, 7, 9 },
        { "no choice: unchecked", true, -1, k20, "junk", "0x", nullptr, 7, 9 },
        { "no file: unchecked", false, 0, k20, "junk", "0x", nullptr, 7, 9 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const OptionsCheckResult result = CheckOptionsRange(c.loaded, c.choice, c.max, c.start, c.end, 7, 9);
        if (c.message == nullptr) {
            EXPECT_EQ(result.message, nullptr);
        } else {
            ASSERT_NE(result.message, nullptr);
            EXPECT_STREQ(result.message, c.message);
        }
        EXPECT_EQ(result.startPage, c.startPage);
        EXPECT_EQ(result.endPage, c.endPage);
    }
}

TEST(CheckOptionsRange, MessagesAreExact)
{
    EXPECT_STREQ(kInvalidStartAddress, "Invalid Start Address");
    EXPECT_STREQ(kOverAddress, "Over Address");
    EXPECT_STREQ(kInvalidEndAddress, "Invalid End Address");
    EXPECT_STREQ(kStartAboveEnd, "Start > End");
}

TEST(DialogUnits, ScaleByTheFontsBaseUnits)
{
    struct Case {
        const char* label;
        UnitRect units;
        DialogBaseUnits base;
        UnitRect pixels;
    };
    const Case cases[] = {
        { "base 4 x 8 is one pixel a unit", { 36, 106, 50, 14 }, { 4, 8 }, { 36, 106, 50, 14 } },
        { "base 6 x 12", { 36, 106, 50, 14 }, { 6, 12 }, { 54, 159, 75, 21 } },
        { "rounded to the nearest pixel", { 1, 1, 3, 3 }, { 6, 12 }, { 2, 2, 5, 5 } },
        { "template 191 x 127 at 7 x 15", { 0, 0, 191, 127 }, { 7, 15 }, { 0, 0, 334, 238 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(MapDialogRect(c.units, c.base), c.pixels);
    }
}

TEST(DialogUnits, BaseUnitsFromTheAlphabet)
{
    struct Case {
        int32_t alphabet;
        int32_t height;
        DialogBaseUnits expected;
    };
    // The average of the 52 letters, rounded: 312 / 52 = 6; 338 / 52 = 6.5 -> 7; 337 / 52 -> 6.
    const Case cases[] = { { 312, 12, { 6, 12 } }, { 338, 15, { 7, 15 } }, { 337, 15, { 6, 15 } }, { 0, 0, { 1, 1 } } };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.alphabet));
        const DialogBaseUnits base = BaseUnitsFromFont(c.alphabet, c.height);
        EXPECT_EQ(base.x, c.expected.x);
        EXPECT_EQ(base.y, c.expected.y);
    }
}

TEST(DialogUnits, BaseUnitsWidenUntilEveryTextFits)
{
    struct Case {
        const char* label;
        DialogBaseUnits font;
        std::vector<ControlNeed> needs;
        DialogBaseUnits expected;
    };
    const Case cases[] = {
        { "texts that fit keep the font's units", { 6, 15 }, { { { 30, 9, 31, 8 }, 40, 15 } }, { 6, 15 } },
        // 31 units hold 62 pixels from 8 a base width on: 31 x 8 / 4 = 62.
        { "a wide label widens the base", { 6, 15 }, { { { 30, 9, 31, 8 }, 62, 15 } }, { 8, 15 } },
        // 3 units are 4.5 pixels at 6, rounded to 5; 5.25 at 7, also 5; 6 at 8.
        { "rounding to the nearest pixel counts", { 6, 15 }, { { { 0, 0, 3, 8 }, 6, 0 } }, { 8, 15 } },
        { "the widest need wins", { 6, 15 },
            { { { 0, 0, 31, 8 }, 62, 0 }, { { 0, 0, 50, 10 }, 120, 0 }, { { 0, 0, 10, 10 }, 10, 0 } }, { 10, 15 } },
        { "a tall check box raises the height", { 6, 15 }, { { { 0, 0, 50, 10 }, 10, 21 } }, { 6, 17 } },
        { "a control without a size is left out", { 6, 15 }, { { { 11, 17, 0, 0 }, 32, 32 } }, { 6, 15 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const DialogBaseUnits base = FitBaseUnits(c.font, c.needs);
        EXPECT_EQ(base.x, c.expected.x);
        EXPECT_EQ(base.y, c.expected.y);
    }
}

} // namespace
