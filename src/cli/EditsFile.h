#pragma once

#include <filesystem>
#include <optional>

#include "platform/Files.h"
#include "plugin/BlockStore.h"
#include "translation/ObjectLists.h"

namespace orv::cli {

// Applies the lines "LABEL<TAB>ID<TAB>NEW DV NAME" of an edits file (UTF-8, the batch
// tool's text conventions) in order, each as the name-edit dialog's OK would. Every bad
// line is reported, each with its number, one per line of the message; the lists may then
// be half edited and must be neither saved nor checked.
Result<void> apply_edits(ByteSpan file, const BlockStore& store, ObjectLists& lists);

// The bytes of the edits file `path` names, or nothing when no file was named. Read before
// the plugin, so that a missing edits file refuses the command before any work.
Result<std::optional<Bytes>> read_edits_file(Files& files,
                                             const std::optional<std::filesystem::path>& path);

} // namespace orv::cli
