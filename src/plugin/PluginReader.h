#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/Files.h"
#include "plugin/Block.h"

namespace orv {

// File offsets of the two header fields the program uses.
inline constexpr std::size_t kFileTypeOffset = 28;
inline constexpr std::size_t kRecordCountOffset = 320;
// A plugin must be at least this long for both fields to be there.
inline constexpr std::size_t kMinimumHeaderSize = kRecordCountOffset + 4;

struct PluginFile {
    // The file's bytes, in which the blocks lie: they go wherever the blocks go.
    ByteBuffer source;
    // Block 0 is the header record, blocks 1 to N the records in file order. Offset 320 of
    // block 0 already holds N.
    std::vector<Block> blocks;
    std::int32_t file_type = 0;
};

// Called with the progress text of each record read ("Lese block : " and its tag).
using ReadProgress = std::function<void(const Text&)>;

// Splits a plugin file into blocks, which stay where they lie in `file`: the plugin keeps
// it. The records are always counted: N is the number of records before the end of the file
// or before the first zero byte where a tag should start, whatever the header's count says.
// A file shorter than 324 bytes, a header record shorter than 324 bytes, an empty first tag,
// or a record running past the end of the file is refused with its PluginProblem
// (plugin/PluginErrors.h), a German message and the offset where the problem lies.
Result<PluginFile> read_plugin(ByteBuffer file, const ReadProgress& progress = {});
// The same for bytes the caller keeps: the plugin holds a copy of them.
Result<PluginFile> read_plugin(ByteSpan file, const ReadProgress& progress = {});

} // namespace orv
