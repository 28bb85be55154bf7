#include "plugin/BlockStore.h"

#include <algorithm>

namespace orv {
namespace {

// The configured bank only reserves room; a value far beyond any real plugin must not
// make the program allocate memory it will never use.
constexpr std::int64_t kLargestReservation = 1'000'000;

} // namespace

BlockStore::BlockStore(std::int32_t bank) {
    const std::int64_t wanted = static_cast<std::int64_t>(bank) + 2;
    m_blocks.reserve(
        static_cast<std::size_t>(std::clamp<std::int64_t>(wanted, 0, kLargestReservation)));
}

void BlockStore::discard() {
    m_blocks.clear();
    m_source = ByteBuffer();
    m_file_type = 0;
}

void BlockStore::assign(std::vector<Block> blocks, std::int32_t file_type, ByteBuffer source) {
    // The old blocks go first, then the bytes they lay in.
    m_blocks = std::move(blocks);
    m_source = std::move(source);
    m_file_type = file_type;
}

} // namespace orv
