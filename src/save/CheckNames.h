#pragma once

#include <vector>

#include "plugin/ResultScript.h"
#include "save/PendingSave.h"
#include "translation/FirstIndexTable.h"
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

// The renames of the next save that scripts may name, cells first, then topics, in list
// order; of several renames of one old name (without regard to letter case) the first counts,
// as RenamesByOldName finds it.
std::vector<ScriptRename> pending_script_renames(const ObjectLists& lists);

// The renames by their folded old names; the first rename of a name counts. The check asks
// it about every quoted text of every script, most of which name nothing renamed.
class RenamesByOldName {
public:
    RenamesByOldName() = default;
    explicit RenamesByOldName(std::vector<ScriptRename> renames);

    bool empty() const { return m_renames.empty(); }
    // The rename of the name whose folded text is `folded`, or nothing.
    const ScriptRename* find(TextView folded) const;

private:
    // The folded old name of a rename, by its number.
    auto folded_old_names() const {
        return [this](std::size_t rename) { return TextView(m_folded[rename]); };
    }

    std::vector<ScriptRename> m_renames;
    std::vector<Text> m_folded;
    FirstIndexTable<ExactTexts> m_first_of_name;
};

struct CheckNames {
    // Every name a cell reference may name after the save, folded.
    TextKeySet known_cells;
    RenamesByOldName renames;
};

// The names of the plugin with its pending edits and of the database's cell and region files.
CheckNames check_names(const ObjectLists& lists, const DatabaseInputs& inputs);

} // namespace orv
