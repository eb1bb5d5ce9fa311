// find_state.cpp: Find Next over the section and label tables, downwards and upwards, without a window.
#include "right/find_state.hpp"

#include "right/match_text.hpp"
#include "right/right_layout.hpp"

#include <algorithm>
#include <string_view>
#include <vector>

namespace tessaly {

namespace {

// The searched names of one kind: which entries are passed over, each entry's name and line.
class SearchedTable {
public:
    SearchedTable(const MapModel& model, int32_t kind)
        : m_model(model)
        , m_kind(kind)
    {
    }

    int32_t count() const
    {
        if (m_kind == SearchLabel)
            return static_cast<int32_t>(m_model.LabelTable.size());
        return static_cast<int32_t>(
            m_model.ShowLocalInformation ? m_model.ModuleSectionTable.size() : m_model.SectionTable.size());
    }

    // False when entry i is passed over; else its name (bounded) and line.
    bool entry(int32_t i, std::string_view& name, int32_t& line) const
    {
        const auto index = static_cast<size_t>(i);
        const char* text = nullptr;
        if (m_kind == SearchLabel) {
            const SymbolEntry& label = m_model.LabelTable[index];
            if (label.scope == 'L' && !m_model.ShowLocalInformation)
                return false;
            text = label.name;
            line = label.line;
        } else if (m_model.ShowLocalInformation) {
            const ModuleSectionEntry& part = m_model.ModuleSectionTable[index];
            if (IsOmitted(part, m_model.OmitZeroSizeSections) || part.record->section == nullptr)
                return false;
            text = part.record->section->name;
            line = part.startLine;
        } else {
            const SectionEntry& section = m_model.SectionTable[index];
            if (IsOmitted(section, m_model.OmitZeroSizeSections))
                return false;
            text = section.record->name;
            line = section.startLine;
        }
        // A name the list shows on no line cannot be pointed at.
        if (text == nullptr || line < 1)
            return false;
        name = std::string_view(text);
        name = name.substr(0, std::min(name.size(), static_cast<size_t>(kFindNameLimit)));
        return true;
    }

private:
    const MapModel& m_model;
    int32_t m_kind;
};

// The pattern read backwards. With wild cards an escape stays in front of the character it
// escapes, so "\*" still means a literal star when read from the other end; a '\' that ends the
// pattern ends it, and so is dropped.
std::string reversePattern(std::string_view pattern, bool wildCard)
{
    if (!wildCard)
        return std::string(pattern.rbegin(), pattern.rend());
    std::vector<std::string_view> tokens;
    for (size_t p = 0; p < pattern.size();) {
        const size_t width = pattern[p] == '\\' ? 2 : 1;
        if (p + width > pattern.size())
            break; // a '\' at the very end only ends the pattern
        tokens.push_back(pattern.substr(p, width));
        p += width;
    }
    std::string reversed;
    reversed.reserve(pattern.size());
    for (auto token = tokens.rbegin(); token != tokens.rend(); ++token)
        reversed.append(*token);
    return reversed;
}

void record(const MapModel& model, FindState& state, int32_t entry, int32_t line, int32_t offset, int32_t length)
{
    state.foundEntry = entry;
    state.foundLine = line;
    state.foundOffset = offset;
    state.foundLength = length;
    state.foundInModuleTable = state.foundKind == SearchSection && model.ShowLocalInformation;
}

FindOutcome searchDown(
    const MapModel& model, FindState& state, const SearchedTable& table, int flags, std::string_view pattern)
{
    const int32_t count = table.count();
    const int32_t first = std::max(state.foundEntry, 0);
    for (int32_t i = first; i < count; ++i) {
        std::string_view name;
        int32_t line = 0;
        if (!table.entry(i, name, line))
            continue;
        const size_t from = i == first ? static_cast<size_t>(std::max(state.foundOffset + 1, 0)) : 0;
        if (from >= name.size())
            continue;
        const MatchResult match = MatchText(flags, name.substr(from), pattern);
        if (match.found) {
            record(model, state, i, line, static_cast<int32_t>(from) + match.offset, match.length);
            return FindOutcome::Found;
        }
    }
    return FindOutcome::CantFind;
}

FindOutcome searchUp(
    const MapModel& model, FindState& state, const SearchedTable& table, int flags, std::string_view pattern)
{
    const std::string reversedPattern = reversePattern(pattern, (flags & MatchWildCard) != 0);
    const int32_t count = table.count();
    const int32_t o = state.foundOffset - 1;
    int32_t i = std::min(state.foundEntry, count);
    // The first entry is cut just before the last character of the previous match.
    int32_t cut = -1;
    if (o < 0 || i == count) {
        if (state.foundLine == 0)
            return FindOutcome::CantFind;
        --i;
    } else {
        cut = std::min(state.foundLength + o, kFindNameLimit);
    }
    std::string reversed;
    for (; i >= 0; --i, cut = -1) {
        std::string_view name;
        int32_t line = 0;
        if (!table.entry(i, name, line))
            continue;
        if (cut >= 0)
            name = name.substr(0, std::min(name.size(), static_cast<size_t>(cut)));
        reversed.assign(name.rbegin(), name.rend());
        const MatchResult match = MatchText(flags, reversed, reversedPattern);
        if (match.found) {
            const int32_t length = static_cast<int32_t>(name.size());
            record(model, state, i, line, std::max(0, length - match.offset - match.length), match.length);
            return FindOutcome::Found;
        }
    }
    return FindOutcome::CantFind;
}

} // namespace

int MatchFlagsFor(const FindRequest& request)
{
    return (request.matchCase ? 0 : MatchIgnoreCase) | (request.wildCard ? MatchWildCard : 0);
}

FindOutcome FindNext(const MapModel& model, FindState& state, const FindRequest& request)
{
    if (request.representable && request.text.empty())
        return FindOutcome::Ignored;
    if (request.kind != state.foundKind)
        state.restart();
    state.foundKind = request.kind;
    if (request.kind != SearchLabel && request.kind != SearchSection)
        return FindOutcome::Ignored;
    if (!request.representable)
        return FindOutcome::CantFind;

    const SearchedTable table(model, request.kind);
    const int flags = MatchFlagsFor(request);
    if (request.direction == SearchUp)
        return searchUp(model, state, table, flags, request.text);
    return searchDown(model, state, table, flags, request.text);
}

int32_t TopLineForMatch(int32_t foundLine, int32_t topLine, int32_t page)
{
    return foundLine < topLine || foundLine > topLine + page ? foundLine : topLine;
}

void FollowRelayout(const MapModel& model, FindState& state, bool tablesChanged)
{
    if (tablesChanged) {
        state.restart();
        return;
    }
    if (state.foundLine == 0)
        return;
    const bool sameTable = state.foundKind == SearchLabel
        || (state.foundKind == SearchSection && state.foundInModuleTable == model.ShowLocalInformation);
    const SearchedTable table(model, state.foundKind);
    std::string_view name;
    int32_t line = 0;
    if (sameTable && state.foundEntry >= 0 && state.foundEntry < table.count()
        && table.entry(state.foundEntry, name, line)) {
        state.foundLine = line;
        return;
    }
    state.restart();
}

} // namespace tessaly
