#include "plugin/PluginReader.h"

#include "plugin/ByteReader.h"
#include "plugin/PluginErrors.h"

namespace orv {
namespace {

// Where one record lies in the file.
struct RecordExtent {
    std::size_t offset = 0;
    std::size_t length = 0;
};

// The record starting at `offset`, or a refusal when its 16-byte header or its S data bytes
// are not all in the file. The length is computed in 64 bits, so a data size near 2^32
// cannot wrap around to a small record.
Result<RecordExtent> record_at(ByteSpan file, std::size_t offset) {
    ByteReader reader(file.subspan(offset));
    const auto header = reader.read_bytes(kRecordHeaderSize);
    if (!header) {
        return plugin_error(PluginProblem::RecordPastEnd, offset);
    }
    ByteReader header_reader(header->subspan(kRecordSizeOffset));
    const std::uint64_t length = std::uint64_t{*header_reader.read_u32_le()} + kRecordHeaderSize;
    if (length > file.size() - offset) {
        return plugin_error(PluginProblem::RecordPastEnd, offset);
    }
    return RecordExtent{offset, static_cast<std::size_t>(length)};
}

// Checks the whole file before anything is allocated or reported, so a refused file
// leaves no trace, and returns the number of records, the header record included. The
// header's record count is not trusted: the records are counted up to the end of the file
// or to the first zero byte where a tag should start, and whatever follows such a zero
// byte (padding, as a rule) is not part of the plugin. Nothing is kept of the walk: the
// copies walk the file again, which costs far less than a table of every record's place,
// grown while the file is walked and so made of fresh memory several times over.
Result<std::size_t> count_records(ByteSpan file) {
    if (file.size() < kMinimumHeaderSize) {
        return plugin_error(PluginProblem::FileTooShort, file.size());
    }
    if (file[0] == std::byte{0}) {
        return plugin_error(PluginProblem::EmptyFirstTag, 0);
    }
    const auto header = record_at(file, 0);
    if (!header) {
        return header.error();
    }
    // The header record must hold both fields the program uses (offsets 28 and 320), since
    // the record count is written back into it.
    if (header->length < kMinimumHeaderSize) {
        return plugin_error(PluginProblem::HeaderRecordTooShort, 0);
    }

    std::size_t count = 1;
    std::size_t offset = header->length;
    while (offset < file.size() && file[offset] != std::byte{0}) {
        const auto record = record_at(file, offset);
        if (!record) {
            return record.error();
        }
        ++count;
        offset += record->length;
    }
    return count;
}

} // namespace

Result<PluginFile> read_plugin(ByteBuffer contents, const ReadProgress& progress) {
    const std::span<std::byte> file = contents.writable();
    const auto count = count_records(file);
    if (!count) {
        return count.error();
    }

    PluginFile plugin;
    // Moving the bytes keeps them where they are, so the blocks can point into them now.
    plugin.source = std::move(contents);
    plugin.blocks.reserve(*count);
    const Text label = cp1252(u8"Lese block : ");
    Text text;
    std::size_t offset = 0;
    for (std::size_t number = 0; number < *count; ++number) {
        // The count came from a walk over the same bytes, so every record is there; the check
        // only keeps a wrong count from ever reading outside the file.
        const auto record = record_at(file, offset);
        if (!record) {
            return record.error();
        }
        plugin.blocks.push_back(Block::in_place(file.subspan(record->offset, record->length)));
        offset += record->length;
        if (progress) {
            text.assign(label);
            text += record_tag(plugin.blocks.back());
            progress(text);
        }
    }

    Block& header = plugin.blocks.front();
    const auto record_count = static_cast<std::uint32_t>(plugin.blocks.size() - 1);
    write_u32_le(header, kRecordCountOffset, record_count);
    plugin.file_type = static_cast<std::int32_t>(read_u32_le(header, kFileTypeOffset).value_or(0));
    return plugin;
}

Result<PluginFile> read_plugin(ByteSpan file, const ReadProgress& progress) {
    return read_plugin(ByteBuffer::copy_of(file), progress);
}

} // namespace orv
