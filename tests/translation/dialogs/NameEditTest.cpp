#include "translation/dialogs/NameEdit.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orv {
namespace {

TEST(NameEdit, LimitsAndOutcomesOnEveryList) {
    for (const auto& type : kRecordTypes) {
        // Cells, regions and path grids take 63 bytes, every other kind 31.
        const int limit = type.index <= kPathGridType ? 63 : 31;
        const struct {
            Text name;
            std::optional<NameEditOutcome> outcome;
        } cases[] = {
            {Text(static_cast<std::size_t>(limit), '\xE4'), NameEditOutcome::Recorded},
            {Text(static_cast<std::size_t>(limit + 1), 'a'), std::nullopt},
            {"", NameEditOutcome::Recorded},
            // Equal to the EV Name: nothing is recorded, although the DV Name differs.
            {"Lever", NameEditOutcome::Unchanged},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(type.label) + " " + c.name);
            ObjectLists lists;
            lists.append(type.index, {mark::kExternal, "id", "Lever", "Hebel", 7});
            const auto result = apply_name_edit(lists, type.index, 0, "Lever", c.name);
            const bool recorded = c.outcome == NameEditOutcome::Recorded;
            if (c.outcome) {
                ASSERT_TRUE(result.ok());
                EXPECT_EQ(*result, *c.outcome);
            } else {
                ASSERT_FALSE(result.ok());
                EXPECT_EQ(result.error().message,
                          "Der name hat mehr als " + std::to_string(limit) + " zeichen.");
            }
            const Element& element = lists.list(type.index).elements[0];
            EXPECT_EQ(element.mark, recorded ? mark::kEdited : mark::kExternal);
            EXPECT_EQ(element.dv_name, recorded ? c.name : "Hebel");
        }
    }
}

TEST(NameEdit, RefusesMasterFilesAndRowsWithoutNameOnly) {
    const Text master = cp1252(u8"    DIES IST EINE ESM-DATEI.\rIHR KÖNNT DIES NICHT VERÄNDERN");
    const Text no_name = cp1252(u8"KEIN NAME VERFÜGBAR, UNERLAUBYE ÜBERSETZUNG.");
    const struct {
        bool master_file;
        Text mark;
        std::optional<Text> refusal;
    } cases[] = {
        {true, mark::kNone, master},           {true, mark::kNoName, master},
        {false, mark::kNoName, no_name},       {false, mark::kNone, std::nullopt},
        {false, mark::kShipped, std::nullopt}, {false, mark::kExternal, std::nullopt},
        {false, mark::kEdited, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mark);
        EXPECT_EQ(name_edit_refusal(c.master_file, c.mark), c.refusal);
    }
}

TEST(NameEdit, CellAndPathGridRowsOfOneNameTakeTheNewName) {
    const struct {
        int list_index;
        std::size_t row;
        Text new_name;
        std::vector<ListPosition> changed;
    } cases[] = {
        // Rows marked "B" follow too, rows marked "E" and the edited row itself do not.
        {kCellType, 0, "Stadt", {{kCellType, 1}, {kPathGridType, 0}}},
        {kPathGridType, 0, "Stadt", {{kCellType, 0}, {kCellType, 1}}},
        {kCellType, 2, "M\xFChle", {{kPathGridType, 2}}},
        // Typed into the EV Name field as well: the linked rows already carry the new name.
        {kCellType, 0, "Town", {}},
        {kRegionType, 0, "Stadt", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.new_name + " on list " + std::to_string(c.list_index));
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
                const bool linked = std::ranges::count(c.changed, ListPosition{list, row}) > 0;
                const Element& was = before.list(list).elements[row];
                const Element& now = lists.list(list).elements[row];
                EXPECT_EQ(now.mark, linked ? mark::kEdited : was.mark);
                EXPECT_EQ(now.dv_name, linked ? c.new_name : was.dv_name);
            }
        }
    }
}

} // namespace
} // namespace orv
