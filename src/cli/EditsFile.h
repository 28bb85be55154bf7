#pragma once

#include "platform/Files.h"
#include "plugin/BlockStore.h"
#include "translation/ObjectLists.h"

namespace orv::cli {

// Applies the lines "LABEL<TAB>ID<TAB>NEW DV NAME" of an edits file (UTF-8, the batch
// tool's text conventions) in order, each as the name-edit dialog's OK would. Every bad
// line is reported, each with its number, one per line of the message; the lists may then
// be half edited and must be neither saved nor checked.
Result<void> apply_edits(ByteSpan file, const BlockStore& store, ObjectLists& lists);

} // namespace orv::cli
