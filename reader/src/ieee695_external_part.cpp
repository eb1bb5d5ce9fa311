// ieee695_external_part.cpp: the external part, the global symbols of the tree.
#include "ieee695_buffered_items.hpp"
#include "ieee695_decoder.hpp"
#include "keyed_hash.hpp"
#include "tree_builder.hpp"

#include <iterator>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace orvik {

using namespace ieee695;
using enum Ieee695Deviation;

// Strictly each NI record is followed by its ATI and ASI; in any order, ATI and ASI records
// name their symbol by index.
void Ieee695Decoder::readExternalPart()
{
    const uint32_t partAt = m_decode.partOffsets[3];
    const uint32_t bound = partEnd(partAt);
    keyed::NumberMap<uint32_t, IeSymbol*> byIndex;
    std::vector<std::pair<IeSymbol*, uint32_t>> named; // with the offset of their NI
    std::unordered_set<IeSymbol*> valued;
    m_in.seek(partAt);
    uint8_t code = 0;
    bool more = firstCodeOfPart(code);
    while (more) {
        const uint32_t at = m_in.offset() - 1;
        if (endsPart(code, at, bound))
            break;
        if (code == kExternalName)
            fail(IE_ERROR_READ, at); // NX: a reference a linker would still resolve
        if (code == kPublicName && !allows(RecordOrder)) {
            if (!readBufferedPublicNameGroups(code)) {
                readPublicNameGroup();
                code = m_in.byte();
            }
            continue;
        }
        if (code == kPublicName) {
            IeSymbol* symbol = appendSymbol();
            byIndex[number()] = symbol;
            symbol->name = m_state.storeName(name());
            named.emplace_back(symbol, at);
            more = m_in.tryByte(code);
            continue;
        }
        if (allows(RecordOrder) && (code == kAttribute || code == kAssignValue)) {
            if (m_in.byte() == kVariableI) {
                auto found = byIndex.find(number());
                if (found == byIndex.end())
                    fail(IE_ERROR_READ, at);
                IeSymbol* symbol = found->second;
                if (code == kAssignValue) {
                    symbol->value = number();
                    valued.insert(symbol);
                    code = codeAfterValue();
                } else {
                    more = readSymbolAttributes(symbol, code);
                }
                continue;
            }
        }
        if (!allows(UnknownRecords))
            break;
        more = skipFieldsTo(code); // SB and records of no interest here
    }
    for (const auto& [symbol, at] : named) {
        if (allows(AbsoluteOnly) && !valued.count(symbol))
            fail(IE_ERROR_READ, at);
        labelIfUntyped(symbol->kind);
    }
}

// NI, then ATI (kind, attribute and extra when its variable is I) and ASI (the value when its
// variable is I), offered to the waiting definitions while the symbol is still in cache.
void Ieee695Decoder::readPublicNameGroup()
{
    IeSymbol* symbol = appendSymbol();
    skipNumber();
    symbol->name = m_state.storeName(name());
    expectByte(kAttribute);
    if (m_in.byte() == kVariableI) {
        skipNumber();
        symbol->kind = signedNumber();
        symbol->attribute = signedNumber();
        symbol->extra = signedNumber();
    }
    expectByte(kAssignValue);
    if (m_in.byte() == kVariableI) {
        skipNumber();
        symbol->value = number();
    }
    m_decode.globalNames.offer(symbol->name, symbol->value);
}

// A public name group (NI, ATI, ASI) decoded from the view when it lies wholly there and holds
// no fault; false, with nothing added, otherwise. Inlined into its one caller, which keeps the
// view's position in a register: called, the view went through memory (a tenth of a read's
// instructions).
#if defined(__GNUC__)
[[gnu::always_inline]]
#endif
inline bool
Ieee695Decoder::readBufferedPublicNameGroup(BufferedIeee695Items& items)
{
    using Items = BufferedIeee695Items;
    // After the name: ATI, its variable and four Numbers, ASI, its variable and two Numbers.
    constexpr std::size_t kAfterName = 2 + 4 * Items::kNumberBytes + 2 + 2 * Items::kNumberBytes;
    std::string_view text;
    int32_t kind = 0, attribute = 0, extra = 0;
    uint32_t value = 0;
    if (!items.has(Items::kNumberBytes + Items::kNameLengthBytes))
        return false;
    items.skipNumber();
    if (!items.name(text) || !items.has(kAfterName) || !items.expect(kAttribute))
        return false;
    if (items.byte() == kVariableI) {
        items.skipNumber();
        if (!items.signedNumber(kind) || !items.signedNumber(attribute) || !items.signedNumber(extra))
            return false;
    }
    if (!items.expect(kAssignValue))
        return false;
    if (items.byte() == kVariableI) {
        items.skipNumber();
        if (!items.number(value))
            return false;
    }
    // The name lies in the buffer, which stays as it is until the caller takes the group.
    IeSymbol* symbol = appendSymbol();
    symbol->name = m_state.storeName(text);
    symbol->kind = kind;
    symbol->attribute = attribute;
    symbol->extra = extra;
    symbol->value = value;
    // Offered by the length it was read with rather than by a strlen of the copy just stored,
    // which stalled on the stores it reads back.
    m_decode.globalNames.offer(text, symbol->value);
    return true;
}

// Public name groups, each with the record code after it, while they lie wholly in the
// input's buffer: a run of them costs no trip through the part's record loop each, and one view
// of the buffer serves every group in it. False, with code still that of a group, where one
// does not lie there or holds a fault: the cursor reads that group.
bool Ieee695Decoder::readBufferedPublicNameGroups(uint8_t& code)
{
    for (;;) {
        BufferedIeee695Items items(m_in.buffered());
        std::size_t taken = 0; // the bytes of the whole groups read from this view
        do {
            if (!readBufferedPublicNameGroup(items)) {
                m_in.view(taken);
                return false;
            }
            if (!items.has(1))
                break;
            code = items.byte();
            taken = items.used();
        } while (code == kPublicName);
        m_in.view(items.used());
        if (taken != items.used())
            code = m_in.byte(); // the code after the view's last group lies past the buffer
        if (code != kPublicName)
            return true;
    }
}

// ATI fields after the name index: kind, attribute, extra; any further ones are passed over.
bool Ieee695Decoder::readSymbolAttributes(IeSymbol* symbol, uint8_t& code)
{
    int32_t* fields[] = { &symbol->kind, &symbol->attribute, &symbol->extra };
    std::size_t count = 0;
    for (;;) {
        const uint32_t at = m_in.offset();
        if (!m_in.tryByte(code))
            return false;
        if (isRecordCode(code))
            return true;
        const uint32_t value = numberFrom(code, at);
        if (count < std::size(fields))
            *fields[count++] = static_cast<int32_t>(value);
    }
}

} // namespace orvik
