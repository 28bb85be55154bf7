#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/Files.h"
#include "plugin/Block.h"

namespace orv {

// The loaded plugin: block 0 is the file header record, blocks 1 to N the records in file
// order. The number and order of the blocks never change while a plugin is loaded; only
// the blocks' contents (and so their lengths) do.
class BlockStore {
public:
    // `bank` is the number of records the store expects (from the configuration); it only
    // sizes the store at start, a larger plugin makes it grow.
    explicit BlockStore(std::int32_t bank = 50000);

    // Frees every block; afterwards no plugin is loaded.
    void discard();
    // Replaces the whole content by a freshly read plugin; `source` holds the bytes in which
    // the blocks lie and is kept until they are discarded.
    void assign(std::vector<Block> blocks, std::int32_t file_type, ByteBuffer source = {});

    bool loaded() const { return !m_blocks.empty(); }
    std::size_t block_count() const { return m_blocks.size(); }
    // The record count N; the blocks are numbered 0 to N.
    std::int32_t record_count() const { return static_cast<std::int32_t>(m_blocks.size()) - 1; }
    // The value at file offset 28 of the loaded plugin; 1 marks a master file.
    std::int32_t file_type() const { return m_file_type; }
    bool is_master_file() const { return m_file_type == 1; }

    Block& block(std::size_t number) { return m_blocks.at(number); }
    const Block& block(std::size_t number) const { return m_blocks.at(number); }
    // The block numbered `number`, or nothing for a number outside 0 to N: a row's block
    // number is a copy and must never lead outside the store.
    Block* find(std::int64_t number) {
        return number >= 0 && static_cast<std::uint64_t>(number) < m_blocks.size()
                   ? &m_blocks[static_cast<std::size_t>(number)]
                   : nullptr;
    }
    const Block* find(std::int64_t number) const {
        return const_cast<BlockStore*>(this)->find(number);
    }

private:
    // Declared before the blocks, so that it outlives them.
    ByteBuffer m_source;
    std::vector<Block> m_blocks;
    std::int32_t m_file_type = 0;
};

} // namespace orv
