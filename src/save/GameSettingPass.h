#pragma once

#include "plugin/BlockStore.h"
#include "plugin/Progress.h"
#include "translation/NameIndex.h"

namespace orv {

// Translates the text values of the game settings: for every GMST record (blocks 0 to N in
// order) with a STRV subrecord among its first 100 subrecords, the whole STRV text is
// looked up among the originals of the game-setting file; the first matching entry's
// translation replaces it, keeping every size field right. Shows
// "Übersetze Game Settings : k / N" after every GMST record that has a STRV. Returns the
// number of settings whose text changed (a translation equal to the text is not counted).
// An empty `progress` shows nothing and makes no texts.
int translate_game_settings(BlockStore& store, const NameIndex& game_settings,
                            const ProgressFunction& progress);

// The entries of the game-setting file `file` that the pass can find in `store`: those whose
// original is the text of the first STRV of some GMST record. Only these are indexed; the
// whole file's index would sit beside the save's other tables and raise its peak.
NameIndex game_settings_of(const BlockStore& store, ByteSpan file);

} // namespace orv
