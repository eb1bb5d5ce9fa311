// Tests of orvik-dump: argument parsing, the JSON and text writers, and the program's exit statuses.
#include "json_writer.hpp"
#include "map_model.hpp"
#include "options.hpp"
#include "orvik.h"
#include "support/ieee695_writer.hpp"
#include "support/run_program.hpp"
#include "support/temp_file.hpp"
#include "tables_dump.hpp"
#include "tree_json.hpp"
#include "tree_text.hpp"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <variant>
#include <vector>

namespace {

using namespace tessaly::dump;
using namespace tessaly::testing;

// ---------------------------------------------------------------- a small JSON reader

// Just enough JSON to check the writer's output by structure: objects keep their key
// order, numbers are integers (the tree holds no others).
struct Json {
    enum class Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    long long number = 0;
    std::string text;
    std::vector<Json> items;
    // Keys and values of an object, in order (two lists: a pair of an incomplete type is
    // refused by some standard libraries).
    std::vector<std::string> memberNames;
    std::vector<Json> memberValues;

    bool isNull() const { return kind == Kind::Null; }
    const Json& operator[](std::string_view key) const;
    const Json& operator[](std::size_t i) const;
    std::vector<std::string> keys() const;
    std::size_t size() const;
};

const Json& Json::operator[](std::string_view key) const
{
    if (kind != Kind::Object)
        throw std::runtime_error("not an object, looking for " + std::string(key));
    for (std::size_t i = 0; i < memberNames.size(); ++i)
        if (memberNames[i] == key)
            return memberValues[i];
    throw std::runtime_error("no key " + std::string(key));
}

const Json& Json::operator[](std::size_t i) const
{
    if (kind != Kind::Array)
        throw std::runtime_error("not an array");
    return items.at(i);
}

std::vector<std::string> Json::keys() const
{
    return memberNames;
}

std::size_t Json::size() const
{
    return kind == Kind::Array ? items.size() : memberNames.size();
}

class JsonParser {
public:
    explicit JsonParser(std::string_view text)
        : m_text(text)
    {
    }

    Json parseDocument()
    {
        Json value = parseValue();
        skipSpace();
        if (m_pos != m_text.size())
            fail("trailing characters");
        return value;
    }

private:
    [[noreturn]] void fail(const std::string& what) const
    {
        throw std::runtime_error("JSON: " + what + " at " + std::to_string(m_pos));
    }

    void skipSpace()
    {
        while (m_pos < m_text.size()
            && (m_text[m_pos] == ' ' || m_text[m_pos] == '\n' || m_text[m_pos] == '\t' || m_text[m_pos] == '\r'))
            ++m_pos;
    }

    char peek()
    {
        skipSpace();
        if (m_pos >= m_text.size())
            fail("unexpected end");
        return m_text[m_pos];
    }

    void expect(char c)
    {
        if (peek() != c)
            fail(std::string("expected ") + c);
        ++m_pos;
    }

    bool literal(std::string_view word)
    {
        if (m_text.substr(m_pos, word.size()) != word)
            return false;
        m_pos += word.size();
        return true;
    }

    Json parseValue()
    {
        Json value;
        const char c = peek();
        if (c == '{') {
            value.kind = Json::Kind::Object;
            ++m_pos;
            if (peek() == '}') {
                ++m_pos;
                return value;
            }
            for (;;) {
                if (peek() != '"')
                    fail("expected a key");
                std::string key = parseString();
                expect(':');
                value.memberNames.push_back(std::move(key));
                value.memberValues.push_back(parseValue());
                if (peek() == ',') {
                    ++m_pos;
                    continue;
                }
                expect('}');
                return value;
            }
        }
        if (c == '[') {
            value.kind = Json::Kind::Array;
            ++m_pos;
            if (peek() == ']') {
                ++m_pos;
                return value;
            }
            for (;;) {
                value.items.push_back(parseValue());
                if (peek() == ',') {
                    ++m_pos;
                    continue;
                }
                expect(']');
                return value;
            }
        }
        if (c == '"') {
            value.kind = Json::Kind::String;
            value.text = parseString();
            return value;
        }
        if (literal("null"))
            return value;
        if (literal("true") || literal("false")) {
            value.kind = Json::Kind::Bool;
            value.boolean = m_text.substr(m_pos - 4, 4) == "true";
            return value;
        }
        value.kind = Json::Kind::Number;
        const std::size_t start = m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == '-')
            ++m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9')
            ++m_pos;
        if (m_pos == start || (m_pos == start + 1 && m_text[start] == '-'))
            fail("expected a value");
        value.number = std::stoll(std::string(m_text.substr(start, m_pos - start)));
        return value;
    }

    std::string parseString()
    {
        expect('"');
        std::string out;
        for (;;) {
            if (m_pos >= m_text.size())
                fail("unterminated string");
            const char c = m_text[m_pos++];
            if (c == '"')
                return out;
            if (static_cast<unsigned char>(c) < 0x20)
                fail("raw control character in string");
            if (c != '\\') {
                out.push_back(c);
                continue;
            }
            const char e = m_text.at(m_pos++);
            switch (e) {
            case '"':
                out.push_back('"');
                break;
            case '\\':
                out.push_back('\\');
                break;
            case '/':
                out.push_back('/');
                break;
            case 'b':
                out.push_back('\b');
                break;
            case 'f':
                out.push_back('\f');
                break;
            case 'n':
                out.push_back('\n');
                break;
            case 'r':
                out.push_back('\r');
                break;
            case 't':
                out.push_back('\t');
                break;
            case 'u': {
                const unsigned code
                    = static_cast<unsigned>(std::stoul(std::string(m_text.substr(m_pos, 4)), nullptr, 16));
                m_pos += 4;
                if (code >= 0x800)
                    fail("escape beyond what the writer produces");
                if (code < 0x80) {
                    out.push_back(static_cast<char>(code));
                } else {
                    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
                    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
                }
                break;
            }
            default:
                fail("bad escape");
            }
        }
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

Json parseJson(const std::string& text)
{
    return JsonParser(text).parseDocument();
}

// ---------------------------------------------------------------- files and dumps

// Reads the writer's file with the given mask; the tree stays valid until the next read.
class TreeFile {
public:
    TreeFile(const Ieee695Writer& writer, int mask)
        : m_file(writer.bytes())
    {
        m_code = IE_readIEEE(m_file.pathString().c_str(), mask);
    }
    int code() const { return m_code; }
    std::string path() const { return m_file.pathString(); }

private:
    TempFile m_file;
    int m_code = 0;
};

std::string jsonOf(const IeRoot* root)
{
    std::ostringstream out;
    writeTreeJson(root, out);
    return out.str();
}

std::string textOf(const IeRoot* root)
{
    std::ostringstream out;
    writeTreeText(root, out);
    return out.str();
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool hasLine(const std::string& text, const std::string& line)
{
    for (const std::string& candidate : linesOf(text))
        if (candidate == line)
            return true;
    return false;
}

// One section, one global symbol and one assembler module with a part and a local symbol.
void writeSmallFile(Ieee695Writer& w)
{
    w.header("CPU", "prog");
    w.environment().revision();
    w.section({ .index = 1, .type = "ASP", .name = "P", .start = 0x1000, .size = 0x100, .alignment = 2 });
    w.globalSymbol({ .name = "_main", .value = 0x1000 });
    w.asmModule("prog")
        .moduleSection({ .sectionIndex = 1, .start = 0x1000, .size = 0x20, .kind = 3 })
        .localSymbol({ .name = "loop", .value = 0x1004, .attribute = 1, .extra1 = 2, .extra2 = 3 });
}

// Everything the tree can hold: sections, globals, two modules with sources, functions,
// variables, references, stack information, module sections and type definitions.
void writeFullFile(Ieee695Writer& w)
{
    w.header("CPU-X", "prog");
    EnvironmentPart& env = w.environment();
    env.revision();
    env.debugString(dstr::M("main.c", "main"));
    env.debugString(dstr::U('c', "P", "code", 'X'));
    env.debugString(dstr::U('d', "NOPE", "", '\0'));
    env.debugString(dstr::Fs("main", "_main", 'G', 1));
    env.debugString(dstr::Fd("main", "", 0, { 1, 2, 3, 4 }));
    env.debugString(dstr::Sp(8));
    env.debugString(dstr::Sc("r6", "fp", 'R', 5, 6));
    env.debugString(dstr::Fr("sub", "", 'G', { 7, 8, 9, 10 }));
    env.debugString(dstr::Vr("n", 'L', { 1, 2, 3, 4, 5 }));
    env.debugString(dstr::Vd("n", "n_static", 'L', { 11, 12, 13, 14, 15 }));
    env.debugString(dstr::Ft("main", 'G', 0x101));
    env.debugString(dstr::Vt("n", 'L', 4));
    env.debugString(dstr::Fe("main", "", 0, 5, 0x20));
    env.debugString(dstr::Vd("count", "_count", 'G', { 0, 0, 0, 0, 0 }));
    env.debugString(dstr::Vt("count", 'G', 0x100));
    env.debugString(dstr::Ve("ext", 'G', { 1, 1, 1, 1, 1 }));
    env.debugString(dstr::Fp("proto", "p2", 'G', { 2, 2, 2, 2 }));
    env.debugString(dstr::Fs("helper", "_helper", 'S', 2));
    env.debugString(dstr::M("util.c", "util"));
    env.debugString(dstr::Vt("flag", 'G', 0x101));

    w.section({ .index = 1, .type = "ASP", .name = "P", .start = 0x1000, .size = 0x200, .alignment = 2 });
    w.section({ .index = 2, .type = "ASD", .name = "D", .start = 0xFF8000, .size = 0x40 });
    w.section({ .index = 3, .type = "CR", .name = "C", .start = 0x2000, .size = 0x10 });

    w.globalSymbol({ .name = "_main", .value = 0x1000 });
    w.globalSymbol({ .name = "_count", .value = 0xFF8000 });
    w.globalSymbol({ .name = "BUFSIZE", .value = 0x40, .kind = IE_KIND_EQU });

    w.asmModule("main")
        .moduleSection({ .sectionIndex = 1, .start = 0x1000, .size = 0x100, .kind = 3 })
        .moduleSection({ .sectionIndex = 9, .start = 0x3000, .size = 0x8, .kind = 4 })
        .localSymbol({ .name = "_helper", .value = 0x1080 })
        .localSymbol({ .name = "n_static", .value = 0xFF8010 });

    w.debug()
        .typeBlock("main")
        .nn("pair")
        .type(ty::S(0x100, 8, { { "x", 0x103, 0 }, { "y", 4, 4 } }))
        .type(ty::x(0x101, 4, { 0x100, 1 }))
        .nn("colour")
        .type(ty::N(0x102, { { "red", 0 }, { "blue", 1 } }))
        .nn("int_t")
        .type(ty::T(0x103, 4))
        .type(ty::P(0x104, 0x100))
        .type(ty::Z(0x105, 0x103, 9))
        .type(ty::g(0x106, 1, 2, 0x102))
        .type(ty::v(0x107))
        .nn("either")
        .type(ty::U(0x108, 4, { { "a", 0x104, 0 } }))
        .type(ty::O(0x109, 0x999));
    w.debug().typeBlock("util").nn("word").type(ty::T(0x100, 4)).type(ty::T(0x101, 0x100));
}

// ---------------------------------------------------------------- argument parsing

std::variant<DumpOptions, UsageError> parse(std::vector<std::string_view> args)
{
    return parseArguments(args);
}

TEST(OrvikDumpArguments, AcceptedCommandLines)
{
    struct Case {
        std::vector<std::string_view> args;
        OutputFormat format;
        int mask;
        std::string path;
    };
    const Case cases[] = {
        { { "a.abs" }, OutputFormat::Text, IE_READ_VIEWER, "a.abs" },
        { { "--tree", "a.abs" }, OutputFormat::Text, IE_READ_VIEWER, "a.abs" },
        { { "--json", "a.abs" }, OutputFormat::Json, IE_READ_VIEWER, "a.abs" },
        { { "a.abs", "--json", "--tree" }, OutputFormat::Json, IE_READ_VIEWER, "a.abs" },
        { { "--mask", "31", "a.abs" }, OutputFormat::Text, 31, "a.abs" },
        { { "--mask", "0xFFFF", "a.abs" }, OutputFormat::Text, 0xFFFF, "a.abs" },
        { { "--mask", "0x0", "a.abs" }, OutputFormat::Text, 0, "a.abs" },
        { { "--mask=0x1", "--json", "a.abs" }, OutputFormat::Json, 1, "a.abs" },
        { { "--mask", "0xffffffff", "a.abs" }, OutputFormat::Text, -1, "a.abs" },
        { { "--", "--json" }, OutputFormat::Text, IE_READ_VIEWER, "--json" },
        { { "-" }, OutputFormat::Text, IE_READ_VIEWER, "-" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + " " + std::to_string(c.args.size()) + " args");
        const auto result = parse(c.args);
        ASSERT_TRUE(std::holds_alternative<DumpOptions>(result)) << std::get<UsageError>(result).message;
        const auto& options = std::get<DumpOptions>(result);
        EXPECT_FALSE(options.help);
        EXPECT_EQ(options.mode, DumpMode::Tree);
        EXPECT_EQ(options.format, c.format);
        EXPECT_EQ(options.mask, c.mask);
        EXPECT_EQ(options.path, c.path);
    }
}

TEST(OrvikDumpArguments, DiffTakesTwoFiles)
{
    struct Case {
        std::vector<std::string_view> args;
        OutputFormat format;
        bool all;
        bool tolerant;
    };
    const Case cases[] = {
        { { "--diff", "old", "new" }, OutputFormat::Text, false, false },
        { { "old", "--diff", "--all", "new" }, OutputFormat::Text, true, false },
        { { "--diff", "--json", "old", "new", "--tolerant" }, OutputFormat::Json, false, true },
        { { "--csv", "--csv", "--diff", "old", "new" }, OutputFormat::Csv, false, false },
        { { "--tables", "--diff", "old", "--", "new" }, OutputFormat::Text, false, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const auto result = parse(c.args);
        ASSERT_TRUE(std::holds_alternative<DumpOptions>(result)) << std::get<UsageError>(result).message;
        const auto& options = std::get<DumpOptions>(result);
        EXPECT_EQ(options.mode, DumpMode::Diff);
        EXPECT_EQ(options.path, "old");
        EXPECT_EQ(options.newPath, "new");
        EXPECT_EQ(options.format, c.format);
        EXPECT_EQ(options.all, c.all);
        EXPECT_EQ(options.tolerant, c.tolerant);
        EXPECT_EQ(options.mask, IE_READ_VIEWER);
    }
}

TEST(OrvikDumpArguments, TolerantIsAFlagBesideTheMask)
{
    struct Case {
        std::vector<std::string_view> args;
        bool tolerant;
        int mask;
    };
    const Case cases[] = {
        { { "a.abs" }, false, IE_READ_VIEWER },
        { { "--tolerant", "a.abs" }, true, IE_READ_VIEWER },
        { { "a.abs", "--tolerant" }, true, IE_READ_VIEWER },
        { { "--tolerant", "--mask", "0x1", "a.abs" }, true, 0x1 },
        { { "--", "--tolerant" }, false, IE_READ_VIEWER },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const auto result = parse(c.args);
        ASSERT_TRUE(std::holds_alternative<DumpOptions>(result));
        EXPECT_EQ(std::get<DumpOptions>(result).tolerant, c.tolerant);
        EXPECT_EQ(std::get<DumpOptions>(result).mask, c.mask);
    }
}

TEST(OrvikDumpArguments, RegionsNamesItsFile)
{
    const std::pair<std::vector<std::string_view>, std::string> cases[] = {
        { { "a.abs" }, "" },
        { { "--regions", "r.regions", "a.abs" }, "r.regions" },
        { { "a.abs", "--json", "--regions=r.regions" }, "r.regions" },
        { { "--regions", "--json", "a.abs" }, "--json" },
    };
    for (const auto& [args, regionsPath] : cases) {
        SCOPED_TRACE(::testing::PrintToString(args));
        const auto result = parse(args);
        ASSERT_TRUE(std::holds_alternative<DumpOptions>(result));
        EXPECT_EQ(std::get<DumpOptions>(result).regionsPath, regionsPath);
        EXPECT_EQ(std::get<DumpOptions>(result).path, "a.abs");
    }
}

TEST(OrvikDumpArguments, HelpStopsParsing)
{
    for (const std::vector<std::string_view>& args :
        { std::vector<std::string_view> { "--help" }, { "-h" }, { "--json", "--help", "x", "y" } }) {
        const auto result = parse(args);
        ASSERT_TRUE(std::holds_alternative<DumpOptions>(result));
        EXPECT_TRUE(std::get<DumpOptions>(result).help);
    }
}

TEST(OrvikDumpArguments, UsageErrors)
{
    struct Case {
        std::vector<std::string_view> args;
        std::string message;
    };
    const Case cases[] = {
        { {}, "no file given" },
        { { "--json" }, "no file given" },
        { { "a", "b" }, "more than one file given" },
        { { "--trees", "a" }, "unknown option '--trees'" },
        { { "-x", "a" }, "unknown option '-x'" },
        { { "a", "--mask" }, "--mask needs a value" },
        { { "--mask", "zz", "a" }, "invalid mask 'zz'" },
        { { "--mask", "0x", "a" }, "invalid mask '0x'" },
        { { "--mask", "-1", "a" }, "invalid mask '-1'" },
        { { "--mask", "+1", "a" }, "invalid mask '+1'" },
        { { "--mask", "12abc", "a" }, "invalid mask '12abc'" },
        { { "--mask", "0x100000000", "a" }, "invalid mask '0x100000000'" },
        { { "--mask=", "a" }, "invalid mask ''" },
        { { "a", "--regions" }, "--regions needs a file" },
        { { "--regions=", "a" }, "--regions needs a file" },
        { { "--diff", "a" }, "--diff needs two files, OLD and NEW" },
        { { "--diff", "a", "b", "c" }, "more than two files given" },
        { { "--csv", "a" }, "--csv needs --diff" },
        { { "--all", "a", "b" }, "--all needs --diff" },
        { { "--diff", "--json", "--csv", "a", "b" }, "--json and --csv exclude each other" },
        { { "--diff", "--regions", "r", "a", "b" }, "--regions and --diff exclude each other" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const auto result = parse(c.args);
        ASSERT_TRUE(std::holds_alternative<UsageError>(result));
        EXPECT_EQ(std::get<UsageError>(result).message, c.message);
    }
}

// ---------------------------------------------------------------- JSON strings

TEST(OrvikDumpJsonString, Escaping)
{
    struct Case {
        std::string bytes;
        std::string json;
    };
    const Case cases[] = {
        { "", R"("")" },
        { "main", R"("main")" },
        { "a\"b\\c/", R"("a\"b\\c/")" },
        { "\n\t\r\b\f", R"("\n\t\r\b\f")" },
        { std::string("\x00\x01\x1f", 3), R"("\u0000\u0001\u001f")" },
        { "\x7f\x80\x9f", R"("\u007f\u0080\u009f")" },
        { "\xa0\xe9\xff", "\"\xc2\xa0\xc3\xa9\xc3\xbf\"" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        std::ostringstream out;
        writeJsonString(out, c.bytes);
        EXPECT_EQ(out.str(), c.json);
    }
}

TEST(OrvikDumpJsonString, CharacterFields)
{
    struct Case {
        int32_t value;
        std::string json;
    };
    const Case cases[]
        = { { 'G', R"("G")" }, { 0, "null" }, { '\n', R"("\n")" }, { 0xE9, "\"\xc3\xa9\"" }, { 0x1234, "4660" } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        std::ostringstream out;
        JsonWriter(out).character(c.value);
        EXPECT_EQ(out.str(), c.json);
    }
}

// ---------------------------------------------------------------- tree writers

TEST(OrvikDumpTree, SmallFileJsonIsExact)
{
    Ieee695Writer w;
    writeSmallFile(w);
    TreeFile file(w, IE_READ_VIEWER);
    ASSERT_EQ(file.code(), 0);

    EXPECT_EQ(jsonOf(IE_getRoot()), R"({
  "cpuName": "CPU",
  "moduleName": "prog",
  "revision": "Rev.N",
  "version": "V.2.10.00",
  "sections": [
    {
      "index": 1,
      "name": "P",
      "type": 12702672,
      "alignment": 2,
      "size": 256,
      "start": 4096
    }
  ],
  "symbols": [
    {
      "name": "_main",
      "kind": 15,
      "attribute": 0,
      "extra": 0,
      "value": 4096
    }
  ],
  "modules": [
    {
      "name": "prog",
      "sources": [],
      "typeDefs": [],
      "sections": [
        {
          "kind": 3,
          "sectionIndex": 1,
          "start": 4096,
          "size": 32,
          "section": 0
        }
      ],
      "symbols": [
        {
          "name": "loop",
          "kind": 15,
          "attribute": 1,
          "extra1": 2,
          "extra2": 3,
          "value": 4100
        }
      ],
      "typeRefs": []
    }
  ]
}
)");
}

TEST(OrvikDumpTree, SmallFileTextIsExact)
{
    Ieee695Writer w;
    writeSmallFile(w);
    TreeFile file(w, IE_READ_VIEWER);
    ASSERT_EQ(file.code(), 0);

    EXPECT_EQ(textOf(IE_getRoot()),
        "root cpuName=\"CPU\" moduleName=\"prog\" revision=\"Rev.N\" version=\"V.2.10.00\"\n"
        "  section #0 index=1 name=\"P\" type=0xc1d3d0(ASP) alignment=2 size=0x00000100 start=0x00001000\n"
        "  symbol #0 name=\"_main\" kind=15 attribute=0 extra=0 value=0x00001000\n"
        "  module #0 name=\"prog\"\n"
        "    modSection #0 kind=3 sectionIndex=1 start=0x00001000 size=0x00000020 section=#0\n"
        "    modSymbol #0 name=\"loop\" kind=15 attribute=1 extra1=2 extra2=3 value=0x00001004\n");
}

TEST(OrvikDumpTree, NullRoot)
{
    EXPECT_EQ(jsonOf(nullptr), "null\n");
    EXPECT_EQ(textOf(nullptr), "null\n");
}

class OrvikDumpFullTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeFullFile(m_writer);
        m_file = std::make_unique<TreeFile>(m_writer, IE_READ_ALL);
        ASSERT_EQ(m_file->code(), 0) << IE_readError(m_file->code());
        m_json = jsonOf(IE_getRoot());
        m_text = textOf(IE_getRoot());
        ASSERT_NO_THROW(m_tree = parseJson(m_json)) << m_json;
    }

    Ieee695Writer m_writer;
    std::unique_ptr<TreeFile> m_file;
    std::string m_json;
    std::string m_text;
    Json m_tree;
};

TEST_F(OrvikDumpFullTree, ObjectsHaveTheirFieldsInOrder)
{
    using Keys = std::vector<std::string>;
    const Json& main = m_tree["modules"][0];
    const Json& source = main["sources"][0];
    const Json& function = source["functions"][0];
    struct Case {
        const char* label;
        const Json* object;
        Keys keys;
    };
    const Case cases[] = {
        { "root", &m_tree, { "cpuName", "moduleName", "revision", "version", "sections", "symbols", "modules" } },
        { "section", &m_tree["sections"][0], { "index", "name", "type", "alignment", "size", "start" } },
        { "symbol", &m_tree["symbols"][0], { "name", "kind", "attribute", "extra", "value" } },
        { "module", &main, { "name", "sources", "typeDefs", "sections", "symbols", "typeRefs" } },
        { "modSection", &main["sections"][0], { "kind", "sectionIndex", "start", "size", "section" } },
        { "modSymbol", &main["symbols"][0], { "name", "kind", "attribute", "extra1", "extra2", "value" } },
        { "typeRef", &main["typeRefs"][0], { "kind", "name", "letter", "typeIndex", "function", "typeDef" } },
        { "source", &source, { "name", "sectionUses", "functions", "fnRefs", "variables", "vaRefs" } },
        { "secUse", &source["sectionUses"][0],
            { "subKind", "sectionName", "name2", "letter", "resolved", "start", "size" } },
        { "function", &function,
            { "number", "name", "linkName", "scope", "info1", "info2", "info3", "info4", "endInfo", "size", "resolved",
                "address", "typeRef", "stackInfo", "fnRefs", "vaRefs" } },
        { "variable", &source["variables"][0],
            { "name", "linkName", "scope", "info1", "info2", "info3", "info4", "info5", "resolved", "address",
                "function", "typeRef" } },
        { "fnRef", &source["fnRefs"][0], { "name", "name2", "letter", "info1", "info2", "info3", "info4", "typeRef" } },
        { "vaRef", &source["vaRefs"][0], { "name", "letter", "info1", "info2", "info3", "info4", "info5", "typeRef" } },
        { "stackInfo", &function["stackInfo"][0], { "subKind", "payload" } },
        { "stackValue", &function["stackInfo"][0]["payload"], { "value" } },
        { "stackItem", &function["stackInfo"][1]["payload"], { "name", "name2", "letter", "info1", "info2" } },
        { "typeDef", &main["typeDefs"][0], { "index", "letter", "payload" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.object->keys(), c.keys);
    }
}

TEST_F(OrvikDumpFullTree, TypeDefinitionPayloadsByLetter)
{
    using Keys = std::vector<std::string>;
    const Json& typeDefs = m_tree["modules"][0]["typeDefs"];
    ASSERT_EQ(typeDefs.size(), 10u);
    struct Case {
        std::size_t position;
        std::string letter;
        Keys keys; // empty: the payload is null
    };
    const Case cases[] = {
        { 0, "S", { "name", "size", "members" } },
        { 1, "x", { "returnType", "paramCount", "resolvedReturn", "params" } },
        { 2, "N", { "name", "items" } },
        { 3, "T", { "name", "type", "resolvedType" } },
        { 4, "P", { "target", "resolvedTarget" } },
        { 5, "Z", { "elementType", "bound", "resolvedElement" } },
        { 6, "g", { "info1", "info2", "baseType", "resolvedBase" } },
        { 7, "v", {} },
        { 8, "U", { "name", "size", "members" } },
        { 9, "O", { "target", "resolvedTarget" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.letter);
        const Json& type = typeDefs[c.position];
        EXPECT_EQ(type["index"].number, 0x100 + static_cast<long long>(c.position));
        EXPECT_EQ(type["letter"].text, c.letter);
        if (c.keys.empty()) {
            EXPECT_TRUE(type["payload"].isNull());
        } else {
            EXPECT_EQ(type["payload"].keys(), c.keys);
        }
    }

    const Json& pair = typeDefs[0]["payload"];
    EXPECT_EQ(pair["name"].text, "pair");
    EXPECT_EQ(pair["size"].number, 8);
    ASSERT_EQ(pair["members"].size(), 2u);
    EXPECT_EQ(pair["members"][0].keys(), (Keys { "name", "type", "offset", "resolvedType" }));
    EXPECT_EQ(pair["members"][0]["resolvedType"].number, 3); // 0x103 int_t
    EXPECT_TRUE(pair["members"][1]["resolvedType"].isNull()); // built-in 4

    const Json& function = typeDefs[1]["payload"];
    EXPECT_EQ(function["paramCount"].number, 2);
    EXPECT_TRUE(function["resolvedReturn"].isNull());
    ASSERT_EQ(function["params"].size(), 2u);
    EXPECT_EQ(function["params"][0].keys(), (Keys { "type", "resolvedType" }));
    EXPECT_EQ(function["params"][0]["resolvedType"].number, 0);
    EXPECT_TRUE(function["params"][1]["resolvedType"].isNull());

    const Json& colour = typeDefs[2]["payload"];
    EXPECT_EQ(colour["name"].text, "colour");
    ASSERT_EQ(colour["items"].size(), 2u);
    EXPECT_EQ(colour["items"][1].keys(), (Keys { "name", "value" }));
    EXPECT_EQ(colour["items"][1]["name"].text, "blue");
    EXPECT_EQ(colour["items"][1]["value"].number, 1);

    EXPECT_EQ(typeDefs[4]["payload"]["resolvedTarget"].number, 0);
    EXPECT_EQ(typeDefs[5]["payload"]["resolvedElement"].number, 3);
    EXPECT_EQ(typeDefs[6]["payload"]["resolvedBase"].number, 2);
    EXPECT_EQ(typeDefs[8]["payload"]["members"][0]["resolvedType"].number, 4);
    EXPECT_TRUE(typeDefs[9]["payload"]["resolvedTarget"].isNull()); // 0x999 is not defined
}

TEST_F(OrvikDumpFullTree, PointersBecomePositionsInTheirLists)
{
    const Json& main = m_tree["modules"][0];
    const Json& util = m_tree["modules"][1];
    ASSERT_EQ(m_tree["modules"].size(), 2u);
    EXPECT_EQ(main["name"].text, "main");
    EXPECT_EQ(util["name"].text, "util");

    // Module parts point into the root's sections; index 9 names no section.
    EXPECT_EQ(main["sections"][0]["section"].number, 0);
    EXPECT_TRUE(main["sections"][1]["section"].isNull());

    // Type references and the functions and variables that use them.
    const Json& refs = main["typeRefs"];
    ASSERT_EQ(refs.size(), 3u);
    EXPECT_EQ(refs[0]["name"].text, "main");
    EXPECT_EQ(refs[0]["typeDef"].number, 1);
    EXPECT_EQ(refs[1]["name"].text, "n");
    EXPECT_TRUE(refs[1]["typeDef"].isNull()); // built-in 4
    EXPECT_EQ(refs[1]["function"].text, "main");
    EXPECT_EQ(refs[2]["name"].text, "count");
    EXPECT_EQ(refs[2]["typeDef"].number, 0);

    const Json& source = main["sources"][0];
    const Json& functions = source["functions"];
    ASSERT_EQ(functions.size(), 2u);
    EXPECT_EQ(functions[0]["typeRef"].number, 0);
    EXPECT_TRUE(functions[1]["typeRef"].isNull());
    EXPECT_EQ(functions[0]["vaRefs"][0]["typeRef"].number, 1);
    EXPECT_EQ(source["variables"][0]["typeRef"].number, 1);
    EXPECT_EQ(source["variables"][1]["typeRef"].number, 2);

    // The second module's positions count from its own lists.
    ASSERT_EQ(util["typeRefs"].size(), 1u);
    EXPECT_EQ(util["typeRefs"][0]["typeDef"].number, 1);
    EXPECT_EQ(util["typeDefs"][1]["payload"]["resolvedType"].number, 0);
}

TEST_F(OrvikDumpFullTree, FieldValues)
{
    const Json& source = m_tree["modules"][0]["sources"][0];
    EXPECT_EQ(source["name"].text, "main.c");

    const Json& uses = source["sectionUses"];
    ASSERT_EQ(uses.size(), 2u);
    EXPECT_EQ(uses[0]["subKind"].text, "c");
    EXPECT_EQ(uses[0]["letter"].text, "X");
    EXPECT_EQ(uses[0]["resolved"].number, 1);
    EXPECT_EQ(uses[0]["start"].number, 0x1000);
    EXPECT_EQ(uses[0]["size"].number, 0x100);
    EXPECT_TRUE(uses[1]["letter"].isNull()); // a zero letter
    EXPECT_EQ(uses[1]["resolved"].number, 0);

    const Json& main = source["functions"][0];
    EXPECT_EQ(main["scope"].text, "G");
    EXPECT_EQ(main["info4"].number, 4);
    EXPECT_EQ(main["endInfo"].number, 5);
    EXPECT_EQ(main["size"].number, 0x20);
    EXPECT_EQ(main["resolved"].number, 1);
    EXPECT_EQ(main["address"].number, 0x1000);
    EXPECT_EQ(main["stackInfo"][0]["subKind"].text, "p");
    EXPECT_EQ(main["stackInfo"][0]["payload"]["value"].number, 8);
    EXPECT_EQ(main["stackInfo"][1]["payload"]["name2"].text, "fp");
    EXPECT_EQ(main["fnRefs"][0]["name"].text, "sub");
    EXPECT_EQ(main["fnRefs"][0]["info4"].number, 10);

    const Json& helper = source["functions"][1];
    EXPECT_EQ(helper["scope"].text, "S");
    EXPECT_EQ(helper["address"].number, 0x1080);

    const Json& n = source["variables"][0];
    EXPECT_EQ(n["scope"].text, "L");
    EXPECT_EQ(n["function"].text, "main");
    EXPECT_EQ(n["address"].number, 0xFF8010);
    EXPECT_TRUE(source["variables"][1]["function"].isNull());

    EXPECT_EQ(source["fnRefs"][0]["name2"].text, "p2");
    EXPECT_EQ(source["vaRefs"][0]["name"].text, "ext");
    EXPECT_EQ(m_tree["modules"][0]["typeRefs"][0]["kind"].text, "F");
    EXPECT_EQ(m_tree["modules"][0]["typeRefs"][1]["kind"].text, "V");
    EXPECT_EQ(m_tree["symbols"][2]["kind"].number, 17);
    EXPECT_EQ(m_tree["sections"][2]["type"].number, IE_SECTION_CR);
}

TEST_F(OrvikDumpFullTree, TextHasOneLinePerRecord)
{
    const std::vector<std::string> expected = {
        "  section #2 index=3 name=\"C\" type=0xc3d2(CR) alignment=0 size=0x00000010 start=0x00002000",
        "  symbol #2 name=\"BUFSIZE\" kind=17 attribute=0 extra=0 value=0x00000040",
        "  module #1 name=\"util\"",
        "    source #0 name=\"main.c\"",
        "      secUse #1 subKind='d' sectionName=\"NOPE\" name2=\"\" letter=null resolved=0 start=0x00000000 "
        "size=0x00000000",
        "      function #0 number=1 name=\"main\" linkName=\"_main\" scope='G' info1=1 info2=2 info3=3 info4=4 "
        "endInfo=5 size=0x00000020 resolved=1 address=0x00001000 typeRef=#0",
        "        stackInfo #0 subKind='p' value=8",
        "        stackInfo #1 subKind='c' name=\"r6\" name2=\"fp\" letter='R' info1=5 info2=6",
        "        fnRef #0 name=\"sub\" name2=\"\" letter='G' info1=7 info2=8 info3=9 info4=10 typeRef=null",
        "        vaRef #0 name=\"n\" letter='L' info1=1 info2=2 info3=3 info4=4 info5=5 typeRef=#1",
        "      variable #0 name=\"n\" linkName=\"n_static\" scope='L' info1=11 info2=12 info3=13 info4=14 "
        "info5=15 resolved=1 address=0x00ff8010 function=\"main\" typeRef=#1",
        "    typeDef #0 index=256 letter='S' name=\"pair\" size=8",
        "      member #0 name=\"x\" type=259 offset=0 resolvedType=#3",
        "    typeDef #1 index=257 letter='x' returnType=4 paramCount=2 resolvedReturn=null",
        "      param #0 type=256 resolvedType=#0",
        "    typeDef #2 index=258 letter='N' name=\"colour\"",
        "      item #1 name=\"blue\" value=1",
        "    typeDef #7 index=263 letter='v' payload=null",
        "    typeDef #9 index=265 letter='O' target=2457 resolvedTarget=null",
        "    modSection #1 kind=4 sectionIndex=9 start=0x00003000 size=0x00000008 section=null",
        "    typeRef #1 kind='V' name=\"n\" letter='L' typeIndex=4 function=\"main\" typeDef=null",
        "    typeRef #0 kind='V' name=\"flag\" letter='G' typeIndex=257 function=null typeDef=#1",
    };
    for (const std::string& line : expected)
        EXPECT_TRUE(hasLine(m_text, line)) << line << "\nin\n" << m_text;
    // One line per record: the root, 3 sections, 3 symbols, 38 lines for the first module
    // and 5 for the second.
    EXPECT_EQ(linesOf(m_text).size(), 1u + 3 + 3 + 38 + 5);
}

TEST(OrvikDumpTree, NamesAreLatin1InEveryFormAndControlCharactersAreEscaped)
{
    std::string highBytes;
    for (int byte = 0x80; byte <= 0xFF; ++byte)
        highBytes.push_back(static_cast<char>(byte));
    Ieee695Writer w;
    w.header("CPU\xe9", "prog");
    w.environment();
    w.section({ .index = 1, .type = "ASP", .name = "S\xb5", .start = 0, .size = 0x10 });
    w.globalSymbol({ .name = "caf\xe9\x01\"q\"", .value = 1 });
    w.globalSymbol({ .name = highBytes, .value = 2 });
    TreeFile file(w, IE_READ_VIEWER);
    ASSERT_EQ(file.code(), 0);

    const std::string json = jsonOf(IE_getRoot());
    EXPECT_NE(json.find("\"name\": \"caf\xc3\xa9\\u0001\\\"q\\\"\""), std::string::npos) << json;
    const Json tree = parseJson(json);
    EXPECT_EQ(tree["cpuName"].text, "CPU\xc3\xa9");
    EXPECT_EQ(tree["sections"][0]["name"].text, "S\xc2\xb5");
    EXPECT_EQ(tree["symbols"][0]["name"].text, "caf\xc3\xa9\x01\"q\"");
    const std::string highText = tree["symbols"][1]["name"].text;
    EXPECT_EQ(highText.size(), 2 * highBytes.size());
    EXPECT_TRUE(hasLine(textOf(IE_getRoot()),
        "  symbol #0 name=\"caf\xc3\xa9\\u0001\\\"q\\\"\" kind=15 attribute=0 extra=0 "
        "value=0x00000001"));

    // The tables' text writes names bare, with the same characters as the JSON form.
    tessaly::MapModel model;
    tessaly::DetectCpuFamily(model);
    std::ostringstream tables;
    tessaly::writeTablesText(model, tables);
    EXPECT_NE(tables.str().find(" section S\xc2\xb5 "), std::string::npos) << tables.str();
    EXPECT_NE(tables.str().find(" 000002 " + highText + "\n"), std::string::npos) << tables.str();
}

// ---------------------------------------------------------------- the program

ProgramRun runDump(const std::vector<std::string>& args)
{
    return runProgram(ORVIK_DUMP_PATH, args);
}

TEST(OrvikDumpProgram, WritesTheTreeOfTheFile)
{
    Ieee695Writer w;
    writeFullFile(w);
    const TempFile input(w.bytes());

    struct Case {
        std::vector<std::string> options;
        int mask;
        bool json;
    };
    const Case cases[] = {
        { {}, IE_READ_VIEWER, false },
        { { "--tree" }, IE_READ_VIEWER, false },
        { { "--json" }, IE_READ_VIEWER, true },
        { { "--json", "--mask", "0xffff" }, IE_READ_ALL, true },
        { { "--mask", "1" }, 1, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.options));
        std::vector<std::string> args = c.options;
        args.push_back(input.pathString());
        const ProgramRun run = runDump(args);

        ASSERT_EQ(IE_readIEEE(input.pathString().c_str(), c.mask), 0);
        const std::string expected = c.json ? jsonOf(IE_getRoot()) : textOf(IE_getRoot());
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, expected);
    }
}

TEST(OrvikDumpProgram, TablesShowTheViewersFamilyAndTables)
{
    Ieee695Writer w;
    writeFullFile(w);
    const TempFile input(w.bytes());
    for (const bool json : { false, true }) {
        SCOPED_TRACE(json);
        std::vector<std::string> args = { "--tables" };
        if (json)
            args.push_back("--json");
        args.push_back(input.pathString());
        const ProgramRun run = runDump(args);

        ASSERT_EQ(IE_readIEEE(input.pathString().c_str(), IE_READ_VIEWER), 0);
        tessaly::MapModel model;
        tessaly::DetectCpuFamily(model);
        std::ostringstream expected;
        if (json)
            tessaly::writeTablesJson(model, expected);
        else
            tessaly::writeTablesText(model, expected);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, expected.str());
        EXPECT_NE(run.out.find("sect"), std::string::npos) << "the tables are not empty";
    }
}

TEST(OrvikDumpProgram, TolerantReadsWhatStrictReadingRefuses)
{
    // An environment part announced at offset 0: strict reading seeks there and fails,
    // tolerant reading takes it as absent.
    Ieee695Writer w;
    writeSmallFile(w);
    w.overrideAsw(1, 0);
    const TempFile input(w.bytes());

    const ProgramRun strict = runDump({ input.pathString() });
    ASSERT_EQ(IE_readIEEE(input.pathString().c_str(), IE_READ_VIEWER), IE_ERROR_READ);
    EXPECT_EQ(strict.status, 2);
    EXPECT_EQ(strict.err, input.pathString() + ", 00000000: File read error.\n");

    struct Case {
        std::vector<std::string> options;
        int mask;
    };
    const Case cases[] = {
        { { "--tolerant" }, IE_READ_VIEWER },
        { { "--mask", "0x83", "--tolerant" }, 0x83 },
        { { "--mask", "0x10083" }, 0x83 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.options));
        std::vector<std::string> args = c.options;
        args.push_back(input.pathString());
        const ProgramRun run = runDump(args);
        ASSERT_EQ(IE_readIEEE(input.pathString().c_str(), c.mask | IE_READ_TOLERANT), 0);
        ASSERT_NE(IE_getRoot()->sections, nullptr);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, textOf(IE_getRoot()));
    }
}

TEST(OrvikDumpProgram, MaskChoosesWhatIsRead)
{
    Ieee695Writer w;
    writeFullFile(w);
    const TempFile input(w.bytes());

    const Json symbolsOnly = parseJson(runDump({ "--json", "--mask", "0x1", input.pathString() }).out);
    EXPECT_EQ(symbolsOnly["symbols"].size(), 3u);
    EXPECT_EQ(symbolsOnly["sections"].size(), 0u);
    EXPECT_EQ(symbolsOnly["modules"].size(), 0u);

    // The viewer's mask takes no type information.
    const Json viewer = parseJson(runDump({ "--json", input.pathString() }).out);
    EXPECT_EQ(viewer["sections"].size(), 3u);
    EXPECT_EQ(viewer["modules"][0]["typeDefs"].size(), 0u);
    EXPECT_EQ(viewer["modules"][0]["typeRefs"].size(), 0u);
    EXPECT_EQ(viewer["modules"][0]["sources"][0]["functions"].size(), 2u);
}

TEST(OrvikDumpProgram, ReadFailureGivesTheReadersText)
{
    Ieee695Writer fdFirst;
    fdFirst.header("CPU", "prog");
    fdFirst.environment().debugString(dstr::M("a.c", "a"));
    fdFirst.environment().debugString(dstr::Fd("f", "", 0, { 1, 2, 3, 4 }));

    Ieee695Writer whole;
    writeSmallFile(whole);
    std::vector<uint8_t> truncated = whole.bytes();
    truncated.resize(truncated.size() - 3);

    const TempFile empty(std::vector<uint8_t> {});
    const TempFile wrongFirstByte(std::vector<uint8_t> { 0x00, 0x01 });
    const TempFile noFunction(fdFirst.bytes());
    const TempFile cut(truncated);
    const std::string missing = empty.pathString() + ".missing";

    struct Case {
        std::string path;
        int code;
        std::string suffix; // "" when only the reader's own text is compared
    };
    const Case cases[] = {
        { missing, IE_ERROR_CANT_OPEN, ", Can't Open File.\n" },
        { empty.pathString(), IE_ERROR_FILE_END, ", File is end.\n" },
        { wrongFirstByte.pathString(), IE_ERROR_READ, ", 00000000: File read error.\n" },
        { noFunction.pathString(), IE_ERROR_NO_FUNCTION_INFO, "" },
        { cut.pathString(), IE_ERROR_FILE_END, "" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const ProgramRun run = runDump({ "--json", c.path });
        ASSERT_EQ(IE_readIEEE(c.path.c_str(), IE_READ_VIEWER), c.code);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, IE_readError(c.code));
        if (!c.suffix.empty()) {
            EXPECT_EQ(run.err, c.path + c.suffix);
        }
    }
}

// writeFullFile's sections are P 001000+200, C 002000+10 and D ff8000+40, in a 24-bit space.
TEST(OrvikDumpProgram, RegionsExitStatusIsTheBudgetCheck)
{
    Ieee695Writer w;
    writeFullFile(w);
    const TempFile input(w.bytes());
    const std::string missing = input.pathString() + ".missing";

    struct Case {
        const char* what;
        std::string regions;
        int status;
        std::string out; // whole standard output, or "" to check only the status
        std::string err; // "@" stands for the regions file's path
    };
    const Case cases[] = {
        { "everything fits", "ROM 0 32K\nDATA 0xFF8000 0x1000 80\n", 0,
            "region  start   end     size    used    free    used%  largest-free\n"
            "ROM     000000  007fff  008000  000210  007df0  1.6%   005ff0@002010\n"
            "DATA    ff8000  ff8fff  001000  000040  000fc0  1.5%   000fc0@ff8040\n",
            "" },
        { "above warn only", "ROM 0 0x2010 1\nDATA 0xFF8000 0x40\n", 0,
            "region  start   end     size    used    free    used%   largest-free\n"
            "ROM     000000  00200f  002010  000210  001e00  6.4%    001000@000000\n"
            "DATA    ff8000  ff803f  000040  000040  000000  100.0%  -\n"
            "warning: region ROM 6.4% used, warn above 1%\n",
            "" },
        { "above fail, and sections overflow", "ROM 0x1000 0x100 10 90\n", 1,
            "region  start   end     size    used    free    used%   largest-free\n"
            "ROM     001000  0010ff  000100  000100  000000  100.0%  -\n"
            "over budget: region ROM 100.0% used, fail above 90%\n"
            "overflow: section P at 001000 size 000200 crosses ROM\n"
            "overflow: section P at 001000 size 000200 outside all regions\n"
            "overflow: section C at 002000 size 000010 outside all regions\n"
            "overflow: section D at ff8000 size 000040 outside all regions\n",
            "" },
        { "above fail", "ROM 0x1000 0x200 50 90\nCONST 0x2000 0x10\nDATA 0xFF8000 0x40\n", 1, "", "" },
        { "outside all regions", "ROM 0 32K\n", 1, "", "" },
        { "a bad regions file", "ROM 0 32K\nRAM 0x100 0xF00 85\n", 65, "", "@:2: region RAM overlaps ROM\n" },
        { "a region above the file's address space", "TOP 0xFFFFFF 2\n", 65, "", "@:1: end above the address space\n" },
    };
    for (const bool json : { false, true }) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (json ? " (JSON)" : ""));
            const TempFile regions(std::vector<uint8_t>(c.regions.begin(), c.regions.end()), ".regions");
            std::vector<std::string> args = { "--regions", regions.pathString(), input.pathString() };
            if (json)
                args.insert(args.begin(), "--json");
            const ProgramRun run = runDump(args);
            EXPECT_EQ(run.status, c.status);
            std::string err = c.err;
            if (const std::size_t at = err.find('@'); at != std::string::npos)
                err.replace(at, 1, regions.pathString());
            EXPECT_EQ(run.err, err);
            if (c.status == 65) {
                EXPECT_EQ(run.out, "");
            } else if (json) {
                EXPECT_NO_THROW(parseJson(run.out)) << run.out;
            } else if (!c.out.empty()) {
                EXPECT_EQ(run.out, c.out);
            }
        }
    }

    const ProgramRun noRegions = runDump({ "--regions", missing, input.pathString() });
    EXPECT_EQ(noRegions.status, 65);
    EXPECT_EQ(noRegions.err, missing + ": cannot be read\n");
    const ProgramRun noFile = runDump({ "--regions", missing, missing });
    EXPECT_EQ(noFile.status, 2);
    EXPECT_EQ(noFile.err, missing + ", Can't Open File.\n");
}

TEST(OrvikDumpProgram, RegionsJsonHasTheFieldsOfEveryRegionAndOverflow)
{
    Ieee695Writer w;
    writeFullFile(w);
    const TempFile input(w.bytes());
    const std::string text = "ROM 0x1000 0x100 10 90\nDATA 0xFF8000 0x1000\n";
    const TempFile regions(std::vector<uint8_t>(text.begin(), text.end()), ".regions");
    const ProgramRun run = runDump({ "--json", "--regions", regions.pathString(), input.pathString() });
    EXPECT_EQ(run.status, 1);
    const Json json = parseJson(run.out);
    EXPECT_EQ(json.keys(), (std::vector<std::string> { "regions", "overflows" }));

    ASSERT_EQ(json["regions"].size(), 2u);
    const Json& rom = json["regions"][0];
    EXPECT_EQ(rom.keys(),
        (std::vector<std::string> { "name", "start", "size", "used", "free", "largestFreeStart", "largestFreeSize",
            "warn", "fail", "status" }));
    EXPECT_EQ(rom["name"].text, "ROM");
    EXPECT_EQ(rom["start"].number, 0x1000);
    EXPECT_EQ(rom["size"].number, 0x100);
    EXPECT_EQ(rom["used"].number, 0x100);
    EXPECT_EQ(rom["free"].number, 0);
    EXPECT_TRUE(rom["largestFreeStart"].isNull()) << "no free block";
    EXPECT_EQ(rom["largestFreeSize"].number, 0);
    EXPECT_EQ(rom["warn"].number, 10);
    EXPECT_EQ(rom["fail"].number, 90);
    EXPECT_EQ(rom["status"].text, "fail");
    const Json& data = json["regions"][1];
    EXPECT_EQ(data["largestFreeStart"].number, 0xFF8040);
    EXPECT_EQ(data["largestFreeSize"].number, 0xFC0);
    EXPECT_TRUE(data["warn"].isNull()) << "no warn percentage given";
    EXPECT_EQ(data["fail"].number, 100);
    EXPECT_EQ(data["status"].text, "ok");

    ASSERT_EQ(json["overflows"].size(), 3u);
    EXPECT_EQ(json["overflows"][0].keys(), (std::vector<std::string> { "section", "start", "size", "region" }));
    const std::tuple<const char*, long long, long long, const char*> overflows[] = {
        { "P", 0x1000, 0x200, "ROM" },
        { "P", 0x1000, 0x200, nullptr },
        { "C", 0x2000, 0x10, nullptr },
    };
    for (std::size_t i = 0; i < std::size(overflows); ++i) {
        const auto& [section, start, size, region] = overflows[i];
        SCOPED_TRACE(i);
        const Json& overflow = json["overflows"][i];
        EXPECT_EQ(overflow["section"].text, section);
        EXPECT_EQ(overflow["start"].number, start);
        EXPECT_EQ(overflow["size"].number, size);
        if (region)
            EXPECT_EQ(overflow["region"].text, region);
        else
            EXPECT_TRUE(overflow["region"].isNull());
    }
}

TEST(OrvikDumpProgram, NamesOutsideAsciiReachTheReader)
{
    // Windows hands the program UTF-16 arguments, which must reach the reader's fopen intact.
    Ieee695Writer w;
    writeSmallFile(w);
    const TempFile input(w.bytes(), "-\u00e9t\u00e9-\u03a9-\u540d.abs");
    ASSERT_EQ(IE_readIEEE(TempFile(w.bytes()).pathString().c_str(), IE_READ_VIEWER), 0);
    const std::string expected = textOf(IE_getRoot());

    const ProgramRun run = runDump({ input.pathString() });
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, expected);

    const std::string missing = input.pathString() + "-\u00e9";
    const ProgramRun failed = runDump({ missing });
    EXPECT_EQ(failed.status, 2);
    EXPECT_EQ(failed.err, missing + ", Can't Open File.\n");
}

TEST(OrvikDumpProgram, UsageErrorsExitWith64)
{
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        { {}, "no file given" },
        { { "a", "b" }, "more than one file given" },
        { { "--trees", "a" }, "unknown option '--trees'" },
        { { "--mask" }, "--mask needs a value" },
        { { "--mask", "0xZZ", "a" }, "invalid mask '0xZZ'" },
        { { "--diff", "a" }, "--diff needs two files, OLD and NEW" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const ProgramRun run = runDump(c.args);
        EXPECT_EQ(run.status, 64);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "orvik-dump: " + c.message + "\n" + usageText());
    }
}

TEST(OrvikDumpProgram, HelpGoesToStandardOutput)
{
    const ProgramRun run = runDump({ "--help" });
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, usageText());
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(usageText().rfind("usage: orvik-dump [--tree | --tables] [--json] [--mask N] FILE\n", 0), 0u);
}

// ---------------------------------------------------------------- the program: --diff

// What the text of diffBuild(false) against diffBuild(true) says after its two path lines.
const std::string kDiffText = R"(         old size   new size   difference  percent
code       000100     000180        +0x80   +50.0%
data       000080     0000a0        +0x20   +25.0%
rom        000010     000010            0     0.0%
other      000000     000000            0     0.0%

sections: 1 added, 1 resized, 2 same
  resized  001000 000100  001000 000180       +0x80  CODE
  added    ------ ------  004000 000020       +0x20  BSS

module sections: 1 same

symbols: 1 added, 1 removed, 3 moved, 1 same
  moved    [G] equ   000040  000044  LIMIT
  moved    [G] label 001010  001018  _f
  added    [G] label ------  001060  fresh
  removed  [G] label 001060  ------  gone
  moved    [L] label 001020  001024  loop  amod

functions: 1 resized
  resized  001010 000020  001018 000024        +0x4  func  main.c
)";

// Two builds of a small program. The later one has a grown code section and function, a new
// section, a moved label (and so a moved function), constant and local label, a new label and
// one gone. One section's name needs quoting in CSV.
std::vector<uint8_t> diffBuild(bool later)
{
    Ieee695Writer w;
    w.header("Carina", "prog");
    w.section({ .index = 1, .type = "ASP", .name = "CODE", .start = 0x1000, .size = later ? 0x180u : 0x100u });
    w.section({ .index = 2, .type = "ASD", .name = "DATA", .start = 0x2000, .size = 0x80 });
    w.section({ .index = 3, .type = "ASR", .name = "odd,\"name\"", .start = 0x3000, .size = 0x10 });
    if (later)
        w.section({ .index = 4, .type = "ASD", .name = "BSS", .start = 0x4000, .size = 0x20 });
    w.globalSymbol({ .name = "main", .value = 0x1000 });
    w.globalSymbol({ .name = "_f", .value = later ? 0x1018u : 0x1010u });
    w.globalSymbol({ .name = "LIMIT", .value = later ? 0x44u : 0x40u, .kind = 17 });
    w.globalSymbol({ .name = later ? "fresh" : "gone", .value = 0x1060 });
    auto& env = w.environment();
    env.debugString(dstr::M("main.c", "cmod"));
    env.debugString(dstr::Fs("func", "_f", 'G', 1));
    env.debugString(dstr::Fe("func", "", 0, 0, later ? 0x24 : 0x20));
    w.asmModule("amod")
        .moduleSection({ .sectionIndex = 1, .start = 0x1000, .size = 0x40 })
        .localSymbol({ .name = "loop", .value = later ? 0x1024u : 0x1020u })
        .end();
    return w.bytes();
}

struct DiffFiles {
    TempFile before { diffBuild(false) };
    TempFile after { diffBuild(true) };
    ProgramRun run(std::vector<std::string> options) const
    {
        options.insert(options.begin(), "--diff");
        options.push_back(before.pathString());
        options.push_back(after.pathString());
        return runDump(options);
    }
};

// The records of a CSV text, each without its CRLF.
std::vector<std::string> csvRecords(const std::string& text)
{
    std::vector<std::string> records;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        records.push_back(text.substr(at, end - at));
        at = end == std::string::npos ? text.size() : end + 2;
    }
    return records;
}

TEST(OrvikDumpProgram, DiffTextListsWhatChanged)
{
    const DiffFiles files;
    const ProgramRun run = files.run({});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "old: " + files.before.pathString() + "\nnew: " + files.after.pathString() + "\n\n" + kDiffText);

    // --all adds the unchanged items, in their places in the same order.
    const std::vector<std::string> all = linesOf(files.run({ "--all" }).out);
    std::vector<std::string> changedOnly;
    for (const std::string& line : all)
        if (line.rfind("  same ", 0) != 0)
            changedOnly.push_back(line);
    EXPECT_EQ(changedOnly, linesOf(run.out));
    EXPECT_NE(
        std::find(all.begin(), all.end(), "  same     002000 000080  002000 000080           0  DATA"), all.end());
}

TEST(OrvikDumpProgram, DiffJsonHasEveryItemOfBothBuildsInTheTextsOrder)
{
    const DiffFiles files;
    const ProgramRun run = files.run({ "--json" });
    ASSERT_EQ(run.status, 0);
    const Json diff = parseJson(run.out);
    EXPECT_EQ(diff.keys(),
        (std::vector<std::string> { "old", "new", "totals", "sections", "moduleSections", "symbols", "functions" }));
    EXPECT_EQ(diff["old"].text, files.before.pathString());
    EXPECT_EQ(diff["new"].text, files.after.pathString());

    struct Total {
        const char* kind;
        long long oldSize, newSize;
    };
    const Total totals[]
        = { { "code", 0x100, 0x180 }, { "data", 0x80, 0xA0 }, { "rom", 0x10, 0x10 }, { "other", 0, 0 } };
    ASSERT_EQ(diff["totals"].size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(totals[i].kind);
        EXPECT_EQ(diff["totals"][i].keys(), (std::vector<std::string> { "kind", "oldSize", "newSize" }));
        EXPECT_EQ(diff["totals"][i]["kind"].text, totals[i].kind);
        EXPECT_EQ(diff["totals"][i]["oldSize"].number, totals[i].oldSize);
        EXPECT_EQ(diff["totals"][i]["newSize"].number, totals[i].newSize);
    }

    // Every item once, in the order of the text with --all, with null on the side it is missing from.
    struct Group {
        const char* key;
        std::vector<std::string> fields;
        std::vector<std::string> names;
    };
    const Group groups[] = {
        { "sections", { "name", "oldStart", "oldSize", "newStart", "newSize", "change" },
            { "CODE resized", "BSS added", "DATA same", "odd,\"name\" same" } },
        { "moduleSections", { "module", "section", "oldStart", "oldSize", "newStart", "newSize", "change" },
            { "CODE same" } },
        { "symbols", { "name", "scope", "module", "kind", "oldValue", "newValue", "change" },
            { "LIMIT moved", "_f moved", "fresh added", "gone removed", "loop moved", "main same" } },
        { "functions", { "name", "source", "oldAddress", "oldSize", "newAddress", "newSize", "change" },
            { "func resized" } },
    };
    for (const Group& group : groups) {
        SCOPED_TRACE(group.key);
        std::vector<std::string> names;
        for (const Json& item : diff[group.key].items) {
            EXPECT_EQ(item.keys(), group.fields);
            names.push_back(
                (group.fields[0] == "module" ? item["section"] : item["name"]).text + " " + item["change"].text);
        }
        EXPECT_EQ(names, group.names);
    }
    const Json& bss = diff["sections"][1];
    EXPECT_TRUE(bss["oldStart"].isNull());
    EXPECT_TRUE(bss["oldSize"].isNull());
    EXPECT_EQ(bss["newStart"].number, 0x4000);
    EXPECT_EQ(bss["newSize"].number, 0x20);
    const Json& gone = diff["symbols"][3];
    EXPECT_EQ(gone["scope"].text, "G");
    EXPECT_TRUE(gone["module"].isNull());
    EXPECT_EQ(gone["oldValue"].number, 0x1060);
    EXPECT_TRUE(gone["newValue"].isNull());
    const Json& loop = diff["symbols"][4];
    EXPECT_EQ(loop["scope"].text, "L");
    EXPECT_EQ(loop["module"].text, "amod");
    EXPECT_EQ(loop["kind"].text, "label");
    EXPECT_EQ(diff["symbols"][0]["kind"].text, "equ");
    EXPECT_EQ(diff["moduleSections"][0]["module"].text, "amod");
    const Json& func = diff["functions"][0];
    EXPECT_EQ(func["source"].text, "main.c");
    EXPECT_EQ(func["oldAddress"].number, 0x1010);
    EXPECT_EQ(func["newAddress"].number, 0x1018);
    EXPECT_EQ(func["newSize"].number, 0x24);
}

TEST(OrvikDumpProgram, DiffCsvQuotesAsRfc4180)
{
    const DiffFiles files;
    const ProgramRun run = files.run({ "--csv" });
    ASSERT_EQ(run.status, 0);
    ASSERT_GE(run.out.size(), 2u);
    EXPECT_EQ(run.out.substr(run.out.size() - 2), "\r\n");
    EXPECT_EQ(csvRecords(run.out),
        (std::vector<std::string> {
            "table,name,module_or_source,old_start,old_size,new_start,new_size,change",
            "section,CODE,,4096,256,4096,384,resized",
            "section,BSS,,,,16384,32,added",
            "section,DATA,,8192,128,8192,128,same",
            "section,\"odd,\"\"name\"\"\",,12288,16,12288,16,same",
            "moduleSection,CODE,amod,4096,64,4096,64,same",
            "equ,LIMIT,,64,,68,,moved",
            "label,_f,,4112,,4120,,moved",
            "label,fresh,,,,4192,,added",
            "label,gone,,4192,,,,removed",
            "label,loop,amod,4128,,4132,,moved",
            "label,main,,4096,,4096,,same",
            "function,func,main.c,4112,32,4120,36,resized",
        }));
}

TEST(OrvikDumpProgram, DiffReadFailureOfEitherFileWritesNothing)
{
    const DiffFiles files;
    const TempFile wrongFirstByte(std::vector<uint8_t> { 0x00, 0x01 });
    const std::string missing = wrongFirstByte.pathString() + ".missing";
    struct Case {
        std::string before, after;
        std::string failing;
        int code;
    };
    const Case cases[] = {
        { missing, files.after.pathString(), missing, 1 },
        { files.before.pathString(), wrongFirstByte.pathString(), wrongFirstByte.pathString(), 3 },
        { wrongFirstByte.pathString(), missing, wrongFirstByte.pathString(), 3 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before + " " + c.after);
        for (const char* format : { "--json", "--csv" }) {
            const ProgramRun run = runDump({ "--diff", format, c.before, c.after });
            ASSERT_EQ(IE_readIEEE(c.failing.c_str(), IE_READ_VIEWER), c.code);
            EXPECT_EQ(run.status, 2);
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(run.err, IE_readError(c.code));
        }
    }
}

} // namespace
