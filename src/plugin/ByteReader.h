#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace orv {

// Reads little-endian values from a byte span without ever leaving it. Every read either
// succeeds and advances, or fails (returns nothing) and leaves the position where it was.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::byte> bytes) : m_bytes(bytes) {}

    // The next n bytes, or nothing when fewer than n are left.
    std::optional<std::span<const std::byte>> read_bytes(std::size_t count) {
        if (count > remaining()) {
            return std::nullopt;
        }
        auto result = m_bytes.subspan(m_position, count);
        m_position += count;
        return result;
    }

    // An unsigned 32-bit value stored least significant byte first.
    std::optional<std::uint32_t> read_u32_le() {
        const auto bytes = read_bytes(4);
        if (!bytes) {
            return std::nullopt;
        }
        return static_cast<std::uint32_t>((*bytes)[0]) |
               static_cast<std::uint32_t>((*bytes)[1]) << 8 |
               static_cast<std::uint32_t>((*bytes)[2]) << 16 |
               static_cast<std::uint32_t>((*bytes)[3]) << 24;
    }

    std::size_t remaining() const { return m_bytes.size() - m_position; }
    std::size_t num_read() const { return m_position; }
    bool at_end() const { return remaining() == 0; }

private:
    std::span<const std::byte> m_bytes;
    std::size_t m_position = 0;
};

} // namespace orv
