// framed_records.cpp: record framing and bounded content fields of the framed-record format.
#include "framed_records.hpp"

#include "read_fault.hpp"

namespace orvik {

void FramedRecords::next()
{
    // Records follow one another from offset 0, so this is the sum of the lengths before it.
    m_start = m_in.offset();
    m_type = m_in.byte();
    const uint8_t length = m_in.byte();
    if (length < 2)
        fail(IE_ERROR_READ, m_start);
    m_length = length - 2u;
    m_pos = 0;
    // Copied only where the record crosses the end of the input's buffer.
    m_data = m_in.view(m_length);
    if (!m_data) {
        m_in.block(m_buffer.data(), m_length);
        m_data = m_buffer.data();
    }
}

void FramedRecords::continueList()
{
    if (hasMore())
        return;
    if (isLast())
        fault();
    next();
}

void FramedRecords::skipUntilBalanced()
{
    auto step = [this] { return is(0xB6) ? (byte() == 0 ? 1 : -1) : 0; };
    for (long balance = step(); balance > 0; balance += step())
        next();
}

void FramedRecords::fault() const
{
    fail(IE_ERROR_READ, m_start);
}

} // namespace orvik
