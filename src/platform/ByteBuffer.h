#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <span>

namespace orv {

// Bytes of a fixed size whose memory is not cleared when it is taken: for a buffer that is
// filled as a whole right away, by a file read into it or bytes copied into it. Clearing
// first would touch every byte once more for nothing (megabytes for a plugin). Whoever takes
// one must fill all of it before anything reads it. Moves; a copy is made on purpose, with
// copy_of.
class ByteBuffer {
public:
    ByteBuffer() = default;
    explicit ByteBuffer(std::size_t size)
        : m_data(size > 0 ? std::make_unique_for_overwrite<std::byte[]>(size) : nullptr),
          m_size(size) {}
    static ByteBuffer copy_of(std::span<const std::byte> bytes);

    std::byte* data() { return m_data.get(); }
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    std::span<std::byte> writable() { return {m_data.get(), m_size}; }
    std::span<const std::byte> bytes() const { return {m_data.get(), m_size}; }

private:
    std::unique_ptr<std::byte[]> m_data;
    std::size_t m_size = 0;
};

inline ByteBuffer ByteBuffer::copy_of(std::span<const std::byte> bytes) {
    ByteBuffer copy(bytes.size());
    std::copy(bytes.begin(), bytes.end(), copy.writable().begin());
    return copy;
}

} // namespace orv
