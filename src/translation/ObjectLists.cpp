#include "translation/ObjectLists.h"

#include <algorithm>
#include <utility>

namespace orv {
namespace {

// The text of a column other than the mark's.
const Text& text_of(const Element& element, Column column) {
    switch (column) {
    case Column::Mark:
    case Column::Id:
        return element.id;
    case Column::EvName:
        return element.ev_name;
    case Column::DvName:
        return element.dv_name;
    }
    // Column values outside the enumerators are a programming error; the ID is the
    // least surprising key to fall back on.
    return element.id;
}

// Whether `left` sorts before `right` by `column`.
bool sorts_before(const Element& left, const Element& right, Column column) {
    if (column == Column::Mark) {
        return left.mark < right.mark;
    }
    return text_of(left, column) < text_of(right, column);
}

} // namespace

void ObjectLists::append(int list_index, Element element) {
    list(list_index).elements.push_back(std::move(element));
}

void ObjectLists::set_mark_and_dv_name(int list_index, std::size_t row, RowMark mark,
                                       const Text& dv_name) {
    auto& elements = list(list_index).elements;
    // A row that no longer exists (the list was emptied by a new Open) is left alone
    // rather than written past the end.
    if (row >= elements.size()) {
        return;
    }
    elements[row].mark = mark;
    elements[row].dv_name = dv_name;
}

void ObjectLists::take_rows(ObjectLists&& rows) {
    for (std::size_t i = 0; i < m_lists.size(); ++i) {
        m_lists[i].elements = std::move(rows.m_lists[i].elements);
    }
    m_skills = std::move(rows.m_skills);
    m_responses = std::move(rows.m_responses);
    m_dialogue_problems = std::move(rows.m_dialogue_problems);
}

void ObjectLists::sort_by_column(int list_index, Column column) {
    auto& object_list = list(list_index);
    // Text's operator< compares unsigned bytes with a prefix first, which is the order the
    // lists promise; marks compare as their texts would. std::stable_sort keeps equal texts
    // in their previous order in both directions, so "greater first" gives the same result
    // as inserting each row, in old order, before the first placed row whose text is
    // smaller.
    if (object_list.sort_direction > 0) {
        std::stable_sort(object_list.elements.begin(), object_list.elements.end(),
                         [column](const Element& left, const Element& right) {
                             return sorts_before(left, right, column);
                         });
    } else {
        std::stable_sort(object_list.elements.begin(), object_list.elements.end(),
                         [column](const Element& left, const Element& right) {
                             return sorts_before(right, left, column);
                         });
    }
    // Clicks on the headers of one list alternate, whichever columns are clicked.
    object_list.sort_direction = -object_list.sort_direction;
}

RowState row_state(const Element& element) {
    if (element.mark == mark::kEdited) {
        return RowState::Edited;
    }
    if (element.mark == mark::kShipped) {
        return RowState::FromDatabase;
    }
    if (element.mark == mark::kNoName) {
        return RowState::Nameless;
    }
    if (element.mark.empty() && element.ev_name == element.dv_name) {
        return RowState::ToDo;
    }
    return RowState::Translated;
}

} // namespace orv
