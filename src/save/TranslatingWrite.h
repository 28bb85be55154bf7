#pragma once

#include "platform/Files.h"
#include "plugin/BlockStore.h"
#include "plugin/Progress.h"
#include "save/SavePipeline.h"
#include "save/SaveTables.h"
#include "save/TopicReferencePass.h"

namespace orv {

// Translates the references to cells and topics of every block (the passes of
// CellReferencePass.h and TopicReferencePass.h) and writes the blocks to `out`, run by run:
// two threads translate runs from the front, and every run is written as soon as it and all
// before it are translated, so the disk takes the first bytes while the last are still worked
// on, and `out` is asked to flush after every run but the last. Adds the references that changed to
// `report`. The progress texts come in block order: "Übersetze zellenverweise : k / N" for
// each of a run's steps, then "Speichere Block : k / N" for each of its blocks as it is
// written. Fails with the first failed write, no further block written, or when a database
// file the tables were made of turns out not to have been whole.
Result<void> write_translating_references(BlockStore& store, const SaveTables& tables,
                                          const TopicNameTable& topic_names,
                                          const ProgressFunction& show, OutputFile& out,
                                          SaveReport& report);

} // namespace orv
