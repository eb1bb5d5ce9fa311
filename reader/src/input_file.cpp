// input_file.cpp: buffered reading with end-of-file faults at exact offsets.
#include "input_file.hpp"

#include "read_fault.hpp"

#include <algorithm>
#include <cstring>

namespace orvik {

InputFile::~InputFile()
{
    close();
}

bool InputFile::open(const char* path)
{
    close();
    // Taken at the first read rather than when the library is loaded, where a failure could
    // not be reported; it then stays for every later read.
    if (!m_buffer)
        m_buffer = std::make_unique<uint8_t[]>(kBufferBytes);
    m_file = std::fopen(path, "rb");
    if (!m_file)
        return false;
    std::setvbuf(m_file, nullptr, _IONBF, 0); // we buffer ourselves
    m_bufferStart = 0;
    m_pos = m_end = 0;
    return true;
}

void InputFile::close()
{
    if (m_file)
        std::fclose(m_file);
    m_file = nullptr;
    m_bufferStart = 0;
    m_pos = m_end = 0;
}

void InputFile::seek(uint32_t offset)
{
    // Inside the buffer the seek costs nothing.
    if (offset >= m_bufferStart && offset - m_bufferStart <= m_end) {
        m_pos = static_cast<std::size_t>(offset - m_bufferStart);
        return;
    }
    m_bufferStart = offset;
    m_pos = m_end = 0;
    if (std::fseek(m_file, static_cast<long>(offset), SEEK_SET) != 0)
        failAtEnd(offset);
}

bool InputFile::refill()
{
    m_bufferStart += m_end;
    m_pos = m_end = 0;
    if (!m_file)
        return false;
    m_end = std::fread(m_buffer.get(), 1, kBufferBytes, m_file);
    return m_end > 0;
}

bool InputFile::tryByte(uint8_t& out)
{
    if (m_pos >= m_end && !refill())
        return false;
    out = m_buffer[m_pos++];
    return true;
}

uint8_t InputFile::refillAndTake()
{
    if (!refill())
        failAtEnd(m_bufferStart);
    return m_buffer[m_pos++];
}

void InputFile::blockAcrossRefill(uint8_t* out, std::size_t n)
{
    const uint64_t start = m_bufferStart + m_pos;
    while (n > 0) {
        if (m_pos >= m_end && !refill())
            failAtEnd(start);
        const std::size_t take = std::min(n, m_end - m_pos);
        if (out) {
            std::memcpy(out, m_buffer.get() + m_pos, take);
            out += take;
        }
        m_pos += take;
        n -= take;
    }
}

void InputFile::failAtEnd(uint64_t offset) const
{
    fail(IE_ERROR_FILE_END, static_cast<uint32_t>(offset));
}

} // namespace orvik
