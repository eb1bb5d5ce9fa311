// ieee695_block_skips.cpp: the skips of debug blocks, in the strict layout or in any layout.
#include "ieee695_block_skips.hpp"

namespace orvik {

using namespace ieee695;

uint8_t Ieee695BlockSkips::skip(uint8_t type, uint32_t typeAt)
{
    if (m_anyLayout)
        return skipNested(type, typeAt);
    switch (type) {
    case 1:
        return skipTypeBlock();
    case 2:
        skipNumber();
        skipName();
        expectByte(kBlockEnd);
        return m_in.byte();
    case 3:
    case 5:
        return skipNested(type, typeAt);
    default:
        fail(IE_ERROR_READ, typeAt);
    }
}

uint8_t Ieee695BlockSkips::skipTypeBlock()
{
    skipNumber();
    skipName();
    skipTypeBlockRecords(false);
    return m_in.byte();
}

// Passes over a type-definition block's records up to its BE, or with toTypeRecord up to its
// first TY record; returns the code it stopped at. A TY record, or anything else but NN, is
// passed over up to the next record.
uint8_t Ieee695BlockSkips::skipTypeBlockRecords(bool toTypeRecord)
{
    uint8_t code = m_in.byte();
    while (code != kBlockEnd) {
        if (code == kNameRecord) {
            skipNumber();
            skipName();
            code = m_in.byte();
        } else if (toTypeRecord && code == kTypeRecord) {
            return code;
        } else {
            code = skipToRecordCode();
        }
    }
    return code;
}

// The number and name after a block's type, and what follows them up to the first record.
uint8_t Ieee695BlockSkips::skipHeader(uint8_t type, uint32_t typeAt)
{
    if (m_anyLayout && type >= 0x80)
        fail(IE_ERROR_READ, typeAt);
    skipNumber();
    skipName();
    if (m_anyLayout || type == 5)
        return skipToRecordCode();
    if (type == 4 || type == 6)
        skipNumbers(3);
    return m_in.byte();
}

// Counts nesting by BB and BE; the end of the file inside is a fault, and so is a module
// boundary. Strictly a block of type 3 holds only types 4 and 6, one of type 5 only type 5,
// and any record other than NN, AS and ATN is a fault.
uint8_t Ieee695BlockSkips::skipNested(uint8_t outerType, uint32_t typeAt)
{
    int depth = 1;
    uint8_t code = skipHeader(outerType, typeAt);
    for (;;) {
        const uint32_t at = m_in.offset() - 1;
        switch (code) {
        case kBlockBegin: {
            const uint32_t nestedAt = m_in.offset();
            const uint8_t nested = m_in.byte();
            const bool allowed = outerType == 3 ? (nested == 4 || nested == 6) : nested == 5;
            if (!m_anyLayout && !allowed)
                fail(IE_ERROR_READ, nestedAt);
            code = skipHeader(nested, nestedAt);
            ++depth;
            break;
        }
        case kBlockEnd:
            code = skipToRecordCode();
            if (--depth == 0)
                return code;
            break;
        case kNameRecord:
            skipNumber();
            skipName();
            code = m_anyLayout ? skipToRecordCode() : m_in.byte();
            break;
        case kAssignValue:
        case kAttribute:
            code = skipToRecordCode();
            break;
        case kModuleBegin:
        case kModuleEnd:
            fail(IE_ERROR_READ, at);
        default:
            if (!m_anyLayout)
                fail(IE_ERROR_READ, at);
            code = skipToRecordCode();
        }
    }
}

bool Ieee695BlockSkips::typeRecordsKnown()
{
    const uint32_t blockAt = m_in.offset();
    skipNumber();
    skipName();
    bool known = true;
    if (skipTypeBlockRecords(true) == kTypeRecord) {
        number();
        m_in.byte();
        skipNumber();
        known = !isRecordCode(m_in.byte());
    }
    m_in.seek(blockAt);
    return known;
}

} // namespace orvik
