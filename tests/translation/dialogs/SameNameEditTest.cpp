#include "translation/dialogs/NameEdit.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orv {
namespace {

constexpr int kMisc = 16;

// Misc Item rows: five named "Rock" with every mark, one "Stone".
ObjectLists rock_rows() {
    ObjectLists lists;
    const std::vector<std::pair<Text, Text>> rows = {
        {"", "Rock"},  {"B", "Rock"}, {"\xDC", "Rock"}, {"E", "Rock"},
        {"*", "Rock"}, {"", "Stone"}, {"", "Rock"},
    };
    for (const auto& [mark, ev] : rows) {
        lists.append(kMisc, Element{mark, "id", ev, mark == "B" ? "Fels" : ev, 1});
    }
    return lists;
}

TEST(SameNameEdit, AppliesTheNameToEveryEditableRowOfTheSameEvName) {
    struct Case {
        const char* name;
        std::size_t row;
        Text new_name;
        std::size_t counted;
        std::vector<std::size_t> changed;
    };
    const std::vector<Case> cases = {
        {"unmarked row takes the others along", 0, "Stein", 3, {0, 2, 4, 6}},
        {"row marked Ue", 2, "Stein", 3, {2, 0, 4, 6}},
        {"name equal to the EV Name changes nothing", 0, "Rock", 3, {}},
        {"no other row of that name", 5, "Stein", 0, {5}},
        {"too long: refused, nothing changed", 0, Text(32, 'a'), 3, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ObjectLists lists = rock_rows();
        const ObjectLists before = lists;
        EXPECT_EQ(count_same_name_rows(lists, kMisc, c.row), c.counted);
        const auto changed = apply_name_to_same_names(
            lists, kMisc, c.row, lists.list(kMisc).elements[c.row].ev_name, c.new_name);
        ASSERT_EQ(changed.ok(), c.new_name.size() <= 31);
        std::vector<std::size_t> rows;
        for (const auto& position : changed.ok() ? *changed : std::vector<ListPosition>{}) {
            EXPECT_EQ(position.list_index, kMisc);
            rows.push_back(position.row);
        }
        EXPECT_EQ(rows, c.changed);
        for (std::size_t row = 0; row < before.list(kMisc).elements.size(); ++row) {
            const auto& now = lists.list(kMisc).elements[row];
            const auto& old = before.list(kMisc).elements[row];
            const bool was_changed = std::find(rows.begin(), rows.end(), row) != rows.end();
            EXPECT_EQ(now.mark, was_changed ? mark::kEdited : old.mark) << row;
            EXPECT_EQ(now.dv_name, was_changed ? c.new_name : old.dv_name) << row;
        }
    }
}

TEST(SameNameEdit, CellNameReachesItsPathGridOnce) {
    ObjectLists lists;
    lists.append(kCellType, Element{"", "Mill", "Mill", "Mill", 1});
    lists.append(kCellType, Element{"", "Mill", "Mill", "Mill", 2});
    lists.append(kPathGridType, Element{"", "Mill", "Mill", "Mill", 3});
    const auto changed = apply_name_to_same_names(lists, kCellType, 1, "Mill", "M\xFChle");
    ASSERT_TRUE(changed.ok());
    EXPECT_EQ(*changed,
              (std::vector<ListPosition>{{kCellType, 1}, {kCellType, 0}, {kPathGridType, 0}}));
}

} // namespace
} // namespace orv
