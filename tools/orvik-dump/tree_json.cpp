// tree_json.cpp: JSON form of the symbol tree, record by record in field order.
#include "tree_json.hpp"

#include "json_writer.hpp"
#include "tree_fields.hpp"
#include "tree_index.hpp"

#include <optional>
#include <string_view>
#include <type_traits>

namespace tessaly::dump {

namespace {

// Visits the tree with the fields of tree_fields.hpp: records become objects, lists arrays,
// payloads nested objects, and pointers to other records their positions in their lists.
class TreeJsonWriter {
public:
    TreeJsonWriter(std::ostream& out, const IeRoot& root)
        : m_json(out)
        , m_sections(root.sections)
    {
    }

    void write(const IeRoot& root)
    {
        m_json.beginObject();
        visitFields(root, *this);
        m_json.endObject();
    }

    void string(std::string_view key, const char* text) { m_json.key(key).string(text); }
    void integer(std::string_view key, int64_t value) { m_json.key(key).integer(value); }
    void address(std::string_view key, uint32_t value) { m_json.key(key).unsignedInteger(value); }
    void count(std::string_view key, uint32_t value) { m_json.key(key).unsignedInteger(value); }
    void letter(std::string_view key, int32_t value) { m_json.key(key).character(value); }
    void sectionType(std::string_view key, int32_t type) { m_json.key(key).integer(type); }

    void reference(std::string_view key, const IeSection* section) { m_json.key(key).index(m_sections.find(section)); }
    void reference(std::string_view key, const IeTypeRef* ref) { m_json.key(key).index(m_typeRefs->find(ref)); }
    void typeDef(std::string_view key, const IeTypeDef* type, int32_t)
    {
        m_json.key(key).index(m_typeDefs->find(type));
    }

    template <typename Record> void object(std::string_view key, const Record* record)
    {
        m_json.key(key);
        if (!record) {
            m_json.null();
            return;
        }
        m_json.beginObject();
        visitFields(*record, *this);
        m_json.endObject();
    }

    void absent(std::string_view key, const void*) { m_json.key(key).null(); }

    template <typename Parent, typename Record> void list(std::string_view key, const Parent&, const Record* head)
    {
        m_json.key(key).beginArray();
        forEachInList(head, [&](const Record& record, int32_t) {
            if constexpr (std::is_same_v<Record, IeModule>) {
                m_typeDefs.emplace(record.typeDefs);
                m_typeRefs.emplace(record.typeRefs);
            }
            m_json.beginObject();
            visitFields(record, *this);
            m_json.endObject();
        });
        m_json.endArray();
    }

private:
    JsonWriter m_json;
    ListIndex<IeSection> m_sections;
    // The lists of the module being written; pointers inside it resolve through these.
    std::optional<ListIndex<IeTypeDef>> m_typeDefs;
    std::optional<ListIndex<IeTypeRef>> m_typeRefs;
};

} // namespace

void writeTreeJson(const IeRoot* root, std::ostream& out)
{
    if (!root) {
        JsonWriter(out).null();
        out << '\n';
        return;
    }
    TreeJsonWriter(out, *root).write(*root);
    out << '\n';
}

} // namespace tessaly::dump
