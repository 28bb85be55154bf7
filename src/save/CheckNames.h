#pragma once

#include <unordered_map>
#include <vector>

#include "plugin/ResultScript.h"
#include "save/PendingSave.h"
#include "translation/ObjectLists.h"
#include "translation/TextKeys.h"

namespace orv {

// What the reference check compares a plugin's scripts and references with: the names cells
// have after the save and the renames the save makes.

// Names compare without regard to letter case (Windows-1252 letters), as the game finds
// cells by name: both sides are folded to capitals.
Text folded_name(TextView text);
// The same into `folded`, whose memory serves again: the check folds a name for every
// quoted text and every cell argument of every script.
void folded_name(TextView text, Text& folded);

// A name the next save changes that scripts may hold: the cells now, in list order.
struct ScriptRename {
    ScriptArgumentKind kind = ScriptArgumentKind::Cell;
    Text old_name;
    Text new_name;
};

// The renames of the next save that scripts may name, cells first, then topics; the first rename of
// an old name (without regard to letter case) counts.
std::vector<ScriptRename> pending_script_renames(const ObjectLists& lists);

// The renames by their folded old names.
using RenamesByOldName = std::unordered_map<Text, ScriptRename>;

struct CheckNames {
    // Every name a cell reference may name after the save, folded.
    TextKeySet known_cells;
    RenamesByOldName renames;
};

// The names of the plugin with its pending edits and of the database's cell and region files.
CheckNames check_names(const ObjectLists& lists, const DatabaseInputs& inputs);

} // namespace orv
