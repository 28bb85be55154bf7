#pragma once

#include <optional>
#include <vector>

#include "translation/MemoryIndex.h"
#include "translation/PlayerTexts.h"

namespace orv {

// The message texts and buttons of compiled scripts (SCPT), the "Script" kind of the player
// texts. Only a script whose compiled code decodes without doubt and agrees with its source
// offers texts; the others stay as they are (the check names them with the reason).

// The message texts and buttons of a compiled script in script order (text n at n - 1);
// empty when the script cannot be read without doubt.
std::vector<Text> compiled_script_texts(const Block& block);

// Keyed "script ID#n", n counting the script's message texts and buttons from 1 in script
// order; the slot is n.
std::vector<PlayerText> find_compiled_script_texts(const PlayerTextKind& kind,
                                                   const BlockStore& store,
                                                   const ObjectLists& lists);

// Replaces the text in the source and in the compiled code together, and proves the new
// record by reading it again; a German refusal leaves the block as it was.
std::optional<Text> write_compiled_script_text(const PlayerTextKind& kind, Block& block,
                                               const PlayerText& target, TextView text);

// Puts the memory's German texts of compiled scripts into their records, as Open does for
// names and long texts: all texts of a script in one rewrite of source and code, which is
// proven like any other; a script that cannot take them stays as it is.
void fill_compiled_script_texts(BlockStore& store, const MemoryIndex& memory);

} // namespace orv
