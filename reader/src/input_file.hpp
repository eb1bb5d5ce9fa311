// input_file.hpp: the bounded, buffered cursor through which every byte of a file is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <span>

namespace orvik {

// Knows the file offset of every byte it hands out; a read past the end raises code 2
// at the offset of the missing byte (or of the start of a block).
class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // False when the file cannot be opened; std::bad_alloc when no buffer can be had.
    bool open(const char* path);
    void close();
    bool isOpen() const { return m_file != nullptr; }

    // Moves to an absolute offset; the next byte read is the one there.
    void seek(uint32_t offset);
    uint32_t offset() const { return static_cast<uint32_t>(m_bufferStart + m_pos); }

    // Returns false at the end of the file instead of raising.
    bool tryByte(uint8_t& out);

    uint8_t byte()
    {
        if (m_pos < m_end)
            return m_buffer[m_pos++];
        return refillAndTake();
    }

    // n bytes into out; the end of the file inside them is code 2 at the block's start.
    void block(uint8_t* out, std::size_t n)
    {
        if (m_end - m_pos >= n) {
            if (n)
                std::memcpy(out, m_buffer.get() + m_pos, n);
            m_pos += n;
            return;
        }
        blockAcrossRefill(out, n);
    }

    // The next n bytes where they lie, when they lie wholly in the buffer, and past them; null
    // (and nothing read) otherwise. Valid until the cursor next reads or seeks.
    const uint8_t* view(std::size_t n)
    {
        if (m_end - m_pos < n)
            return nullptr;
        const uint8_t* p = m_buffer.get() + m_pos;
        m_pos += n;
        return p;
    }

    // The bytes from the position to the buffer's end, not read yet: a decoder may look at them
    // and then take what it used with view(n). Valid until the cursor next reads or seeks.
    std::span<const uint8_t> buffered() const { return { m_buffer.get() + m_pos, m_end - m_pos }; }

    void skip(std::size_t n)
    {
        if (m_end - m_pos >= n) {
            m_pos += n;
            return;
        }
        blockAcrossRefill(nullptr, n);
    }

private:
    static constexpr std::size_t kBufferBytes = 1 << 16;

    uint8_t refillAndTake();
    void blockAcrossRefill(uint8_t* out, std::size_t n);
    bool refill();
    [[noreturn]] void failAtEnd(uint64_t offset) const;

    std::FILE* m_file = nullptr;
    std::unique_ptr<uint8_t[]> m_buffer;
    uint64_t m_bufferStart = 0; // file offset of m_buffer[0]
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
};

} // namespace orvik
