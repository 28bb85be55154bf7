#pragma once

#include <filesystem>
#include <optional>

#include "platform/Files.h"
#include "plugin/BlockStore.h"
#include "translation/DatabaseFile.h"
#include "translation/ObjectLists.h"

namespace orv::cli {

// Applies the lines of an edits file (UTF-8, the batch tool's text conventions) in order:
// "LIST<TAB>ID<TAB>NEW DV NAME" as the name-edit dialog's OK would, and
// "KIND<TAB>KEY<TAB>NEW TEXT" for a kind of translation/PlayerTexts.h by writing the text
// into its record at once, as the text editor's SPEICHERN does. Every bad line is
// reported, each with its number, one per line of the message; the lists and the blocks
// may then be half edited and must be neither saved nor checked.
// A topic is refused a name that another topic of the plugin or of `topic_database` has.
Result<void> apply_edits(ByteSpan file, BlockStore& store, ObjectLists& lists,
                         const PairFile& topic_database);

// The bytes of the edits file `path` names, or nothing when no file was named. Read before
// the plugin, so that a missing edits file refuses the command before any work.
Result<std::optional<Bytes>> read_edits_file(Files& files,
                                             const std::optional<std::filesystem::path>& path);

} // namespace orv::cli
