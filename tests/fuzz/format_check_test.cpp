// format_check_test.cpp: the JSON and CSV checkers the fuzz targets trust: what they take and what they refuse.
#include "csv_check.hpp"
#include "json_check.hpp"

#include <gtest/gtest.h>
#include <string>

namespace tessaly::fuzz {
namespace {

TEST(JsonFault, TakesOnlyOneStrictValue)
{
    const struct {
        std::string text;
        bool valid;
    } cases[] = {
        { "{\"a\": [1, -0.5e+3, true, false, null, \"x\\u00e9\\ud83d\\ude00\"]}\n", true },
        { "  []  ", true },
        { "\"\xC3\xA9\xE2\x88\x92\xF0\x9F\x98\x80\"", true },
        { "", false },
        { "{} {}", false },
        { "[1,]", false },
        { "{\"a\" 1}", false },
        { "{1: 2}", false },
        { "01", false },
        { "1.", false },
        { "-", false },
        { "\"tab\there\"", false },
        { "\"\\x41\"", false },
        { "\"\\ud800\"", false },
        { "\"\\udc00\"", false },
        { "\"\xE9\"", false }, // Latin-1, not UTF-8
        { "\"\xC0\xAF\"", false }, // overlong
        { "\"\xED\xA0\x80\"", false }, // a surrogate
        { "\"open", false },
        { "nul", false },
        { std::string(300, '[') + std::string(300, ']'), false },
    };
    for (const auto& c : cases)
        EXPECT_EQ(!jsonFault(c.text).has_value(), c.valid) << c.text;
}

TEST(CsvFault, CountsRecordsOfTheRightWidth)
{
    const struct {
        std::string text;
        std::size_t fields;
        bool valid;
        std::size_t records;
    } cases[] = {
        { "a,b,c\r\n1,,3\r\n", 3, true, 2 },
        { "a,\"b,\"\"x\"\"\r\ny\",c\r\nd,e,f", 3, true, 2 },
        { "", 3, true, 0 },
        { "a,b\r\n", 3, false, 0 },
        { "a,b,c,d\r\n", 3, false, 0 },
        { "a,b,c\n", 3, false, 0 },
        { "a,b\"x,c\r\n", 3, false, 0 },
        { "a,\"b\"x,c\r\n", 3, false, 0 },
        { "a,\"b,c\r\n", 3, false, 0 },
    };
    for (const auto& c : cases) {
        std::size_t records = 99;
        EXPECT_EQ(!csvFault(c.text, c.fields, records).has_value(), c.valid) << c.text;
        if (c.valid) {
            EXPECT_EQ(records, c.records) << c.text;
        }
    }
}

} // namespace
} // namespace tessaly::fuzz
