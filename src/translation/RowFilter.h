#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "translation/ObjectLists.h"

namespace orv {

// Which rows of one object list the window shows. Filtering only hides rows: the element
// lists, their order (which the save and the column sort rely on) and the rows' texts are
// never changed, and the result names rows by their index in the list's current order, so
// that row r shown is still element r.
//
// The window keeps one filter for the current list and asks again after each keystroke or
// check-box change:
//
//   RowFilter filter(query_text, {.only_untranslated = true});
//   const auto rows = filter.visible_rows(workspace.lists.list(tab));
struct RowFilterOptions {
    // "Nur unübersetzte": only the rows still to do (see needs_translation()).
    bool only_untranslated = false;
    // "Leere zeigen": rows marked "E" (no name) are hidden unless this is on.
    bool show_nameless = false;
};

class RowFilter {
public:
    // `query` is Windows-1252; an empty query matches every row.
    explicit RowFilter(TextView query = {}, RowFilterOptions options = {});

    // Whether a row's ID, EV Name or DV Name contains the query, ignoring the case of the
    // ASCII letters and of the German letters Ä/ä, Ö/ö and Ü/ü (Windows-1252 C4/E4, D6/F6,
    // DC/FC); every other byte must be equal. The options apply too.
    bool matches(const Element& element) const;
    // The indices of the matching rows, ascending (the list's current order).
    std::vector<std::size_t> visible_rows(const ObjectList& list) const;

private:
    Text m_folded_query;
    RowFilterOptions m_options;
};

// A byte as the filter compares it: ASCII capitals and Ä, Ö, Ü become small letters.
unsigned char fold_case(unsigned char byte);
// A whole text folded so.
Text fold_case(TextView text);

// A row still to do: no mark, and its DV Name equal to its EV Name (no translation known
// and none typed). Rows marked "B", "Ü" or "*" are translated; rows marked "E" have no name
// and count neither way.
bool needs_translation(const Element& element);

// The counts the window shows: per list the rows still to do (the tab title "Cell (454)"),
// and over all object lists how many of the rows that have a name are not still to do
// ("übersetzt 2.251 von 3.908"). Always translated + sum of to_do == named.
struct TranslationCounts {
    std::array<std::size_t, kObjectListCount> to_do{};
    // Rows not marked "E", over all object lists (the skill list is not counted).
    std::size_t named = 0;
    // named minus the rows still to do.
    std::size_t translated = 0;
};
TranslationCounts count_translations(const ObjectLists& lists);

// "Cell (454)": the list's tab label and its rows still to do, also when that is 0.
Text tab_title(int list_index, std::size_t to_do);
// "übersetzt 2.251 von 3.908" (Windows-1252).
Text translated_status(const TranslationCounts& counts);
// A number with the German thousands separator: 3908 -> "3.908", 999 -> "999".
Text german_number(std::size_t number);

} // namespace orv
