// tree_text.cpp: indented text form of the symbol tree, one record per line.
#include "tree_text.hpp"

#include "json_writer.hpp"
#include "tree_fields.hpp"
#include "tree_index.hpp"

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace tessaly::dump {

namespace {

std::string hexWord(uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(value));
    return text;
}

// The section type word with its letters when every byte is a letter code (0xC1 'A'..0xDA 'Z').
std::string sectionTypeText(int32_t type)
{
    if (type == 0)
        return "0";
    const auto word = static_cast<uint32_t>(type);
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%x", static_cast<unsigned>(word));
    std::string letters;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const uint32_t byte = (word >> shift) & 0xFF;
        if (byte == 0 && letters.empty())
            continue;
        if (byte < 0xC1 || byte > 0xDA)
            return hex;
        letters.push_back(static_cast<char>('A' + (byte - 0xC1)));
    }
    return std::string(hex) + "(" + letters + ")";
}

// Visits the tree with the fields of tree_fields.hpp: each record is a line, "kind #position"
// and its fields, and a record's lists follow its line, indented one level deeper. A payload's
// fields stand on the line of the record that holds it.
class TreeTextWriter {
public:
    TreeTextWriter(std::ostream& out, const IeRoot& root)
        : m_out(out)
        , m_sections(root.sections)
    {
    }

    void write(const IeRoot& root)
    {
        beginLine("root", std::nullopt);
        visitFields(root, *this);
        endLine();
    }

    void string(std::string_view key, const char* text)
    {
        label(key);
        if (text)
            writeJsonString(m_out, text);
        else
            m_out << "null";
    }

    void integer(std::string_view key, int64_t value)
    {
        label(key);
        m_out << value;
    }

    void address(std::string_view key, uint32_t value)
    {
        label(key);
        m_out << hexWord(value);
    }

    void count(std::string_view key, uint32_t value)
    {
        label(key);
        m_out << value;
    }

    void letter(std::string_view key, int32_t value)
    {
        label(key);
        if (value == 0)
            m_out << "null";
        else if (value > 0x20 && value < 0x7F && value != '\'' && value != '\\')
            m_out << '\'' << static_cast<char>(value) << '\'';
        else if (value > 0 && value <= 0xFF)
            m_out << "'\\x"
                  << "0123456789abcdef"[value >> 4] << "0123456789abcdef"[value & 0x0F] << '\'';
        else
            m_out << value;
    }

    void sectionType(std::string_view key, int32_t type)
    {
        label(key);
        m_out << sectionTypeText(type);
    }

    void reference(std::string_view key, const IeSection* section) { position(key, m_sections.find(section)); }
    void reference(std::string_view key, const IeTypeRef* ref) { position(key, m_typeRefs->find(ref)); }
    void typeDef(std::string_view key, const IeTypeDef* type, int32_t) { position(key, m_typeDefs->find(type)); }

    template <typename Record> void object(std::string_view key, const Record* record)
    {
        if (record)
            visitFields(*record, *this);
        else
            absent(key, nullptr);
    }

    void absent(std::string_view key, const void*)
    {
        label(key);
        m_out << "null";
    }

    template <typename Parent, typename Record> void list(std::string_view, const Parent&, const Record* head)
    {
        endLine(); // the children follow their parent's line
        ++m_depth;
        forEachInList(head, [&](const Record& record, int32_t position) {
            if constexpr (std::is_same_v<Record, IeModule>) {
                m_typeDefs.emplace(record.typeDefs);
                m_typeRefs.emplace(record.typeRefs);
            }
            beginLine(kRecordName<Record>, position);
            visitFields(record, *this);
            endLine();
        });
        --m_depth;
    }

private:
    void beginLine(std::string_view kind, std::optional<int32_t> position)
    {
        for (int level = 0; level < m_depth; ++level)
            m_out << "  ";
        m_out << kind;
        if (position)
            m_out << " #" << *position;
        m_lineOpen = true;
    }

    void endLine()
    {
        if (m_lineOpen)
            m_out << '\n';
        m_lineOpen = false;
    }

    void label(std::string_view key) { m_out << ' ' << key << '='; }

    void position(std::string_view key, std::optional<int32_t> position)
    {
        label(key);
        if (position)
            m_out << '#' << *position;
        else
            m_out << "null";
    }

    std::ostream& m_out;
    ListIndex<IeSection> m_sections;
    // The lists of the module being written; pointers inside it resolve through these.
    std::optional<ListIndex<IeTypeDef>> m_typeDefs;
    std::optional<ListIndex<IeTypeRef>> m_typeRefs;
    int m_depth = 0;
    bool m_lineOpen = false;
};

} // namespace

void writeTreeText(const IeRoot* root, std::ostream& out)
{
    if (!root) {
        out << "null\n";
        return;
    }
    TreeTextWriter(out, *root).write(*root);
}

} // namespace tessaly::dump
