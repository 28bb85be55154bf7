#include "translation/dialogs/NameEdit.h"

#include <string>

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

std::optional<Text> name_edit_refusal(bool master_file, const Text& row_mark) {
    if (master_file) {
        return master_file_edit_message();
    }
    if (row_mark == mark::kNoName) {
        return no_name_message();
    }
    return std::nullopt;
}

Result<NameEditOutcome> apply_name_edit(ObjectLists& lists, int list_index, std::size_t row,
                                        TextView ev_name, TextView new_dv_name) {
    const int limit = kRecordTypes.at(static_cast<std::size_t>(list_index)).name_limit;
    if (new_dv_name.size() > static_cast<std::size_t>(limit)) {
        return Error{ErrorKind::Refused, 0, name_too_long_message(limit)};
    }
    if (new_dv_name == ev_name) {
        return NameEditOutcome::Unchanged;
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

} // namespace orv
