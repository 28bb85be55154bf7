#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "MemoryFiles.h"
#include "fixtures/NullViews.h"
#include "platform/Files.h"
#include "save/SavePipeline.h"
#include "translation/PluginLoader.h"

namespace orv::fuzz {

// The fuzzer's bytes copied into an allocation of exactly their size, so that AddressSanitizer
// stops a read even one byte past the end, whatever the fuzzer's own buffer allows.
inline Bytes owned(const std::uint8_t* data, std::size_t size) {
    const auto* bytes = reinterpret_cast<const std::byte*>(data);
    return Bytes(bytes, bytes + size);
}

// Stops the run with `what` on standard error: the fuzzer records the input as a crash.
[[noreturn]] void fail(const char* what);

// The program folder of the fuzz targets: a small translation database whose names the seed
// plugins use, so that inputs reach the lookups, replacements and reference passes. Kept in
// memory under kProgramDir; a second folder, kEmptyProgramDir, holds no database at all.
inline const std::filesystem::path kProgramDir = "prog";
inline const std::filesystem::path kEmptyProgramDir = "empty";
void put_database(test::MemoryFiles& files);

// The database files of put_database, by path relative to the program folder, for the seed
// generator.
std::vector<std::pair<std::string, Bytes>> database_files();

using fixtures::NullLoaderView;
using fixtures::NullSaveView;

// Stops the run with `count_differs` unless both stores hold as many blocks, with
// `bytes_differ` unless their blocks hold the same bytes.
void require_same_blocks(const BlockStore& a, const BlockStore& b, const char* count_differs,
                         const char* bytes_differ);

// Loads `plugin` with the database of put_database, which `files` holds, into `store` and
// `lists`; false when the plugin is refused.
bool load_with_database(ByteSpan plugin, test::MemoryFiles& files, BlockStore& store,
                        ObjectLists& lists);

// Checks what every loaded plugin must hold, whatever the file was: each block's record
// size field is its length less the 16 header bytes, block 0 still holds the record count,
// and every row names a block that exists. Fails the run otherwise.
void check_loaded(const BlockStore& store, const ObjectLists& lists);

// A text as a terminated subrecord reads it back: without its zero bytes.
Text without_zero_bytes(TextView text);

} // namespace orv::fuzz
