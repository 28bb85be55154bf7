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
    // Block 0 is the header record, blocks 1 to N the records in file order. Offset 320 of
    // block 0 already holds N.
    std::vector<Block> blocks;
    std::int32_t file_type = 0;
};

// Called with the progress text of each record read ("Lese block : " and its tag).
using ReadProgress = std::function<void(const Text&)>;

// Splits a plugin file into blocks. The records are always counted: N is the number of
// records before the end of the file or before the first zero byte where a tag should
// start, whatever the header's count says. A file shorter than 324 bytes, a header record
// shorter than 324 bytes, an empty first tag, or a record running past the end of the file
// is refused with its PluginProblem (plugin/PluginErrors.h), a German message and the
// offset where the problem lies.
Result<PluginFile> read_plugin(ByteSpan file, const ReadProgress& progress = {});

// The first part of read_plugin(): checks the whole file and counts its records, the header
// record included, refusing a file as read_plugin() does. Nothing is allocated.
Result<std::size_t> count_plugin_records(ByteSpan file);
// The rest of read_plugin() for a file whose records count_plugin_records() counted.
Result<PluginFile> read_plugin(ByteSpan file, std::size_t count, const ReadProgress& progress = {});

// Calls visit(number, record) for each of the first `count` records of a file that
// count_plugin_records() counted, in file order, the record as a view into the file's bytes
// (the header record as the file holds it, with the record count it was written with).
using RecordVisitor = std::function<void(std::size_t number, BlockView record)>;
void for_each_record(ByteSpan file, std::size_t count, const RecordVisitor& visit);

} // namespace orv
