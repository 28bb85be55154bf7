#include "translation/dialogs/NameEdit.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

constexpr int kMisc = 16;
// The rows' marks and EV Names.
const std::vector<std::pair<Text, Text>> kMarksAndNames = {
    {"", "Rock"},  {"B", "Rock"}, {"\xDC", "Rock"}, {"E", "Rock"},
    {"*", "Rock"}, {"", "Stone"}, {"", "Rock"}};

TEST(SameNameEdit, AppliesTheNameToEveryEditableRowOfTheSameEvName) {
    // clang-format off
    const std::vector<std::tuple<std::size_t, Text, std::size_t, std::vector<std::size_t>>> cases = {
        {0, "Stein", 3, {0, 2, 4, 6}},  // not the "B" and "E" rows, nor "Stone"
        {2, "Stein", 3, {2, 0, 4, 6}},  // the edited row first
        {0, "Rock", 3, {}},             // the EV Name: nothing recorded
        {0, Text(32, 'a'), 3, {}},      // over the limit: refused
    };
    // clang-format on
    for (const auto& [row, name, counted, expected] : cases) {
        SCOPED_TRACE(name);
        ObjectLists lists;
        for (const auto& [mark, ev] : kMarksAndNames) {
            lists.append(kMisc, Element{mark, "id", ev, mark == "B" ? "Fels" : ev, 1});
        }
        EXPECT_EQ(count_same_name_rows(lists, kMisc, row), counted);
        const auto changed = apply_name_to_same_names(
            lists, kMisc, row, lists.list(kMisc).elements[row].ev_name, name);
        ASSERT_EQ(changed.ok(), name.size() <= 31);
        std::vector<std::size_t> rows;
        for (const auto& position : changed.ok() ? *changed : std::vector<ListPosition>{}) {
            rows.push_back(position.row);
        }
        EXPECT_EQ(rows, expected);
    }
}

TEST(SameNameEdit, CellNameReachesItsPathGridOnce) {
    ObjectLists lists;
    for (const int list : {kCellType, kCellType, kPathGridType}) {
        lists.append(list, Element{"", "Mill", "Mill", "Mill", 1});
    }
    const auto changed = apply_name_to_same_names(lists, kCellType, 1, "Mill", "M\xFChle");
    ASSERT_TRUE(changed.ok());
    EXPECT_EQ(*changed,
              (std::vector<ListPosition>{{kCellType, 1}, {kCellType, 0}, {kPathGridType, 0}}));
}

} // namespace
} // namespace orv
