#include "translation/NameEdit.h"

#include <algorithm>
#include <string>

#include "translation/RowFilter.h"

namespace orv {

Text master_file_edit_message() {
    return cp1252(u8"    DIES IST EINE ESM-DATEI.\rIHR KÖNNT DIES NICHT VERÄNDERN");
}

Text no_name_message() {
    return cp1252(u8"KEIN NAME VERFÜGBAR, UNERLAUBYE ÜBERSETZUNG.");
}

Text name_too_long_message(int limit) {
    return "Der name hat mehr als " + std::to_string(limit) + " zeichen.";
}

std::optional<Text> name_edit_refusal(bool master_file, RowMark row_mark) {
    if (master_file) {
        return master_file_edit_message();
    }
    if (row_mark == mark::kNoName) {
        return no_name_message();
    }
    return std::nullopt;
}

Text topic_name_taken_message(TextView name) {
    return cp1252(u8"Ein anderes Thema heißt schon „") + Text(name) +
           cp1252(u8"“. Zwei Themen mit einem Namen verliert das Spiel: bitte einen anderen "
                  u8"Namen wählen.");
}

namespace {

// A topic is found by its name, whatever the letter case: a second topic of that name,
// in the plugin or in the game, would take over the first one's responses.
bool topic_name_taken(const ObjectLists& lists, std::size_t row, TextView new_name,
                      const PairFile& topic_database) {
    const Text folded = fold_case(new_name);
    const auto& topics = lists.list(kTopicType).elements;
    for (std::size_t other = 0; other < topics.size(); ++other) {
        if (other != row && fold_case(topics[other].dv_name) == folded) {
            return true;
        }
    }
    const Text& own = row < topics.size() ? topics[row].ev_name : Text();
    for (const auto& entry : topic_database.entries) {
        // The row's own English name translated by the database is no other topic.
        if (fold_case(entry[1]) == folded && fold_case(entry[0]) != fold_case(own)) {
            return true;
        }
    }
    return false;
}

} // namespace

Result<NameEditOutcome> apply_name_edit(ObjectLists& lists, int list_index, std::size_t row,
                                        TextView ev_name, TextView new_dv_name,
                                        const PairFile& topic_database) {
    const int limit = kRecordTypes.at(static_cast<std::size_t>(list_index)).name_limit;
    if (new_dv_name.size() > static_cast<std::size_t>(limit)) {
        return Error{ErrorKind::Refused, 0, name_too_long_message(limit)};
    }
    if (new_dv_name == ev_name) {
        return NameEditOutcome::Unchanged;
    }
    if (list_index == kTopicType && topic_name_taken(lists, row, new_dv_name, topic_database)) {
        return Error{ErrorKind::Refused, 0, topic_name_taken_message(new_dv_name)};
    }
    lists.set_mark_and_dv_name(list_index, row, mark::kEdited, Text(new_dv_name));
    return NameEditOutcome::Recorded;
}

} // namespace orv

namespace orv {

std::vector<ListPosition> spread_cell_name(ObjectLists& lists, int list_index, std::size_t row) {
    std::vector<ListPosition> changed;
    if (list_index != kCellType && list_index != kPathGridType) {
        return changed;
    }
    const Element edited = lists.list(list_index).elements.at(row);
    for (const int linked : {kCellType, kPathGridType}) {
        const auto& elements = lists.list(linked).elements;
        for (std::size_t other = 0; other < elements.size(); ++other) {
            const Element& element = elements[other];
            if ((linked == list_index && other == row) || element.ev_name != edited.ev_name ||
                element.mark == mark::kNoName || element.ev_name == edited.dv_name) {
                continue;
            }
            lists.set_mark_and_dv_name(linked, other, mark::kEdited, edited.dv_name);
            changed.push_back({linked, other});
        }
    }
    return changed;
}

namespace {

// Whether row `other` of the list is one the same-name edit of row `row` changes.
bool shares_name(const std::vector<Element>& elements, std::size_t row, std::size_t other) {
    const Element& element = elements[other];
    return other != row && element.ev_name == elements[row].ev_name &&
           element.mark != mark::kShipped && element.mark != mark::kNoName;
}

} // namespace

std::size_t count_same_name_rows(const ObjectLists& lists, int list_index, std::size_t row) {
    const auto& elements = lists.list(list_index).elements;
    // Topic names are unique: a topic never shares its name with another row.
    if (row >= elements.size() || list_index == kTopicType) {
        return 0;
    }
    std::size_t count = 0;
    for (std::size_t other = 0; other < elements.size(); ++other) {
        count += shares_name(elements, row, other) ? 1 : 0;
    }
    return count;
}

Result<std::vector<ListPosition>> apply_name_to_same_names(ObjectLists& lists, int list_index,
                                                           std::size_t row, TextView ev_name,
                                                           TextView new_dv_name) {
    std::vector<ListPosition> changed;
    const auto& elements = lists.list(list_index).elements;
    if (row >= elements.size()) {
        return changed;
    }
    // The other rows are chosen before the edit, by the row's EV Name as loaded.
    std::vector<std::size_t> others;
    for (std::size_t other = 0; other < elements.size(); ++other) {
        if (list_index != kTopicType && shares_name(elements, row, other)) {
            others.push_back(other);
        }
    }
    const auto first = apply_name_edit(lists, list_index, row, ev_name, new_dv_name);
    if (!first) {
        return first.error();
    }
    if (*first == NameEditOutcome::Recorded) {
        changed.push_back({list_index, row});
    }
    for (const std::size_t other : others) {
        const Text other_ev = elements[other].ev_name;
        // Within the limit already: the first edit checked the same name on the same list.
        if (*apply_name_edit(lists, list_index, other, other_ev, new_dv_name) ==
            NameEditOutcome::Recorded) {
            changed.push_back({list_index, other});
        }
    }
    // A cell's new name reaches its path grid (and the other way round) as in a single edit;
    // that covers every Cell and Pgrd row of the same EV Name at once.
    if (!changed.empty()) {
        for (const auto& linked : spread_cell_name(lists, list_index, changed.front().row)) {
            if (std::find(changed.begin(), changed.end(), linked) == changed.end()) {
                changed.push_back(linked);
            }
        }
    }
    return changed;
}

} // namespace orv
