#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "platform/Result.h"
#include "translation/DatabaseFile.h"
#include "translation/ObjectLists.h"

namespace orv {

// Message texts of the name-edit dialog.
Text master_file_edit_message();
Text no_name_message();
Text name_too_long_message(int limit);

// Why the name-edit dialog must not open for a row, or nothing when it may: a master file
// is never edited, and a row marked "E" has no name to translate. (A row marked "B" may be
// looked at; its OK button is disabled.)
std::optional<Text> name_edit_refusal(bool master_file, RowMark row_mark);

enum class NameEditOutcome {
    // The row got mark "*" and the new DV Name.
    Recorded,
    // The new name equals the EV Name: nothing was recorded.
    Unchanged,
};

// OK of the name-edit dialog for row `row` of object list `list_index`: a new name longer
// than the list's limit (bytes, without the terminating zero) is refused with its German
// message and nothing changes; a name equal to `ev_name` records nothing; otherwise the
// row's element gets mark "*" and the new DV Name.
// On the Topic list a name that another topic of the plugin (its DV Name) or of the topic
// database (a German name of it, for another English name) already has, in any letter
// case, is refused as well.
Result<NameEditOutcome> apply_name_edit(ObjectLists& lists, int list_index, std::size_t row,
                                        TextView ev_name, TextView new_dv_name,
                                        const PairFile& topic_database = {});
Text topic_name_taken_message(TextView name);

// A row of an object list.
struct ListPosition {
    int list_index = 0;
    std::size_t row = 0;

    bool operator==(const ListPosition&) const = default;
};

// A cell and its path grid carry one name: door destinations and dialogue conditions name
// the cell, so a new name that reached only one of the records would lead to a cell that
// does not exist. After an accepted edit of row `row` of the Cell or Pgrd list, every other
// row of both lists whose EV Name equals that row's EV Name takes the same DV Name and mark
// "*" — rows marked "B" too, since every record that carries the name must follow; rows
// marked "E" have no name and rows whose EV Name equals the new name need none. Returns the
// rows changed besides `row`; nothing for the other lists.
std::vector<ListPosition> spread_cell_name(ObjectLists& lists, int list_index, std::size_t row);

// The other rows of the same list that "Für alle gleichen Namen übernehmen" would change
// with row `row`: same EV Name (byte for byte), not marked "B" or "E". The check box is on
// by default when this is not 0, and says this number.
std::size_t count_same_name_rows(const ObjectLists& lists, int list_index, std::size_t row);

// OK with "Für alle gleichen Namen übernehmen" on: the edit of row `row` (as
// apply_name_edit, `ev_name` being the EV Name field's text) and then the same new name
// for every row that count_same_name_rows() counts, each under the rules of a single edit:
// a name over the list's limit refuses the whole edit with nothing changed; rows whose
// EV Name equals the new name record nothing; rows marked "B" or "E" are never touched. On
// the Cell and Pgrd lists the name then spreads as spread_cell_name() says. Returns every
// row that got mark "*" — `row` first when it did — so that the window can redraw them;
// its size is the number of rows changed.
Result<std::vector<ListPosition>> apply_name_to_same_names(ObjectLists& lists, int list_index,
                                                           std::size_t row, TextView ev_name,
                                                           TextView new_dv_name);

} // namespace orv
