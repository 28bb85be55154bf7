#pragma once

#include <vector>

#include "platform/Files.h"
#include "plugin/BlockStore.h"
#include "plugin/Progress.h"
#include "translation/NameIndex.h"

namespace orv {

// The reference lookup table: the byte-wise concatenation of its sources, read as one pair
// file. The caller passes, in this order, the cell renames of this save, the shipped cell
// names, the shipped region names and the external database as this save rebuilt it, so
// that the first matching entry follows that precedence.
NameIndex build_reference_table(const std::vector<ByteSpan>& sources);

// Gives references to cells the names of the reference table: every DNAM of CELL and NPC_
// records, the first ANAM of INFO records (whole terminated names), and every SCVR of INFO
// records whose characters 2 to 5 are "BLX0" (the name follows the five-character head).
// Shows "Übersetze zellenverweise : k / N" after every lookup and every SCVR. Walks stop at
// a subrecord that runs past its block's end. Returns the number of references whose text changed.
int translate_cell_references(BlockStore& store, const NameIndex& references,
                              const ProgressFunction& progress);

} // namespace orv
