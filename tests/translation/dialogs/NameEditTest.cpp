#include "translation/dialogs/NameEdit.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orv {
namespace {

constexpr int kActivator = 3;
constexpr int kBook = 6;

ObjectLists lists_with_row(int list_index, Element element) {
    ObjectLists lists;
    lists.append(list_index, std::move(element));
    return lists;
}

TEST(NameEdit, AcceptsNamesUpToTheListsLimitInBytes) {
    struct Case {
        const char* name;
        int list_index;
        Text new_name;
        bool accepted;
    };
    const Text umlauts31(31, '\xE4'); // 31 characters, one byte each
    const std::vector<Case> cases = {
        {"31 on Activator", kActivator, Text(31, 'a'), true},
        {"32 on Activator", kActivator, Text(32, 'a'), false},
        {"63 on Cell", kCellType, Text(63, 'a'), true},
        {"64 on Cell", kCellType, Text(64, 'a'), false},
        {"64 on Pgrd", kPathGridType, Text(64, 'a'), false},
        {"40 on Region", kRegionType, Text(40, 'a'), true},
        {"40 on Book", kBook, Text(40, 'a'), false},
        {"31 umlauts on Activator", kActivator, umlauts31, true},
        {"empty", kActivator, "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto lists = lists_with_row(c.list_index, {"", "id", "Old", "Old", 7});
        const auto result = apply_name_edit(lists, c.list_index, 0, "Old", c.new_name);
        const auto& element = lists.list(c.list_index).elements[0];
        if (c.accepted) {
            ASSERT_TRUE(result.ok());
            EXPECT_EQ(*result, NameEditOutcome::Recorded);
            EXPECT_EQ(element.mark, mark::kEdited);
            EXPECT_EQ(element.dv_name, c.new_name);
        } else {
            ASSERT_FALSE(result.ok());
            const int limit = c.list_index <= kPathGridType ? 63 : 31;
            EXPECT_EQ(result.error().message,
                      "Der name hat mehr als " + std::to_string(limit) + " zeichen.");
            EXPECT_EQ(element.mark, "");
            EXPECT_EQ(element.dv_name, "Old");
        }
        EXPECT_EQ(element.block, 7);
    }
}

TEST(NameEdit, RecordsOnlyANameThatDiffersFromTheEvName) {
    // Equal to the EV Name: nothing is recorded, even though the DV Name differs.
    auto lists = lists_with_row(kActivator, {mark::kExternal, "id", "Lever", "Hebel", 1});
    auto result = apply_name_edit(lists, kActivator, 0, "Lever", "Lever");
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(*result, NameEditOutcome::Unchanged);
    EXPECT_EQ(lists.list(kActivator).elements[0].mark, mark::kExternal);
    EXPECT_EQ(lists.list(kActivator).elements[0].dv_name, "Hebel");

    // An untouched "Ü" row differs from its EV Name, so OK marks it "*".
    result = apply_name_edit(lists, kActivator, 0, "Lever", "Hebel");
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(*result, NameEditOutcome::Recorded);
    EXPECT_EQ(lists.list(kActivator).elements[0].mark, mark::kEdited);
}

TEST(NameEdit, CellAndPathGridRowsOfOneNameTakeTheNewName) {
    struct Case {
        const char* name;
        int list_index;
        std::size_t row;
        Text new_name;
        std::vector<ListPosition> changed;
    };
    const std::vector<Case> cases = {
        {"cell edited", kCellType, 0, "Stadt", {{kCellType, 1}, {kPathGridType, 0}}},
        {"path grid edited", kPathGridType, 0, "Stadt", {{kCellType, 0}, {kCellType, 1}}},
        {"another name", kCellType, 2, "M\xFChle", {{kPathGridType, 2}}},
        // Typed into the EV Name field as well: the linked rows already carry the new name.
        {"new name equals their EV Name", kCellType, 0, "Town", {}},
        {"region", kRegionType, 0, "Stadt", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ObjectLists lists;
        lists.append(kCellType, {"", "Town", "Town", "Town", 1});
        lists.append(kCellType, {mark::kShipped, "Town", "Town", "Stadt alt", 2});
        lists.append(kCellType, {"", "Mill", "Mill", "Mill", 3});
        lists.append(kPathGridType, {mark::kExternal, "Town", "Town", "Ort", 4});
        lists.append(kPathGridType, {mark::kNoName, "Town", "Town", "", 5});
        lists.append(kPathGridType, {"", "Mill", "Mill", "Mill", 6});
        lists.append(kRegionType, {"", "r", "Town", "Town", 7});
        lists.set_mark_and_dv_name(c.list_index, c.row, mark::kEdited, c.new_name);
        const auto before = lists;

        EXPECT_EQ(spread_cell_name(lists, c.list_index, c.row), c.changed);
        for (const int list : {kCellType, kRegionType, kPathGridType}) {
            for (std::size_t row = 0; row < lists.list(list).elements.size(); ++row) {
                const bool linked = std::find(c.changed.begin(), c.changed.end(),
                                              ListPosition{list, row}) != c.changed.end();
                const Element& was = before.list(list).elements[row];
                const Element& now = lists.list(list).elements[row];
                EXPECT_EQ(now.mark, linked ? mark::kEdited : was.mark);
                EXPECT_EQ(now.dv_name, linked ? c.new_name : was.dv_name);
                EXPECT_EQ(now.block, was.block);
            }
        }
    }
}

TEST(NameEdit, RefusesMasterFilesAndRowsWithoutName) {
    EXPECT_EQ(name_edit_refusal(true, ""),
              cp1252(u8"    DIES IST EINE ESM-DATEI.\rIHR KÖNNT DIES NICHT VERÄNDERN"));
    EXPECT_EQ(name_edit_refusal(false, mark::kNoName),
              cp1252(u8"KEIN NAME VERFÜGBAR, UNERLAUBYE ÜBERSETZUNG."));
    EXPECT_EQ(name_edit_refusal(true, mark::kNoName), master_file_edit_message());
    for (const auto& mark : {mark::kNone, mark::kShipped, mark::kExternal, mark::kEdited}) {
        EXPECT_EQ(name_edit_refusal(false, mark), std::nullopt);
    }
}

} // namespace
} // namespace orv
