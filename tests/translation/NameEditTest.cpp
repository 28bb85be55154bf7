#include "translation/NameEdit.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(NameEdit, LimitsAndOutcomesOnEveryList) {
    for (const auto& type : kRecordTypes) {
        // Cells, regions and path grids take 63 bytes, every other kind 31.
        const std::size_t limit = type.index <= kPathGridType ? 63 : 31;
        const std::pair<Text, std::optional<NameEditOutcome>> cases[] = {
            {Text(limit, '\xE4'), NameEditOutcome::Recorded},
            {Text(limit + 1, 'a'), std::nullopt},
            {"", NameEditOutcome::Recorded},
            // Equal to the EV Name: nothing is recorded, although the DV Name differs.
            {"Lever", NameEditOutcome::Unchanged},
        };
        for (const auto& [name, outcome] : cases) {
            SCOPED_TRACE(std::string(type.label) + " " + name);
            ObjectLists lists;
            lists.append(type.index, {mark::kExternal, "id", "Lever", "Hebel", 7});
            const auto result = apply_name_edit(lists, type.index, 0, "Lever", name);
            ASSERT_EQ(result.ok(), outcome.has_value());
            if (outcome) {
                EXPECT_EQ(*result, *outcome);
            } else {
                EXPECT_EQ(result.error().message,
                          "Der name hat mehr als " + std::to_string(limit) + " zeichen.");
            }
            const bool recorded = outcome == NameEditOutcome::Recorded;
            const Element& element = lists.list(type.index).elements[0];
            EXPECT_EQ(element.mark.text() + element.dv_name,
                      recorded ? mark::kEdited.text() + name : mark::kExternal.text() + "Hebel");
        }
    }
}

TEST(NameEdit, ATopicNameMustNotBeAnotherTopicsInAnyLetterCase) {
    // Two topics of one name, in the plugin or in the game, lose one of them.
    PairFile topic_database;
    topic_database.entries = {{"Base Topic", "Grundthema"}, {"rumours", "Geruechte"}};
    const std::vector<std::tuple<std::size_t, Text, bool>> cases = {
        {0, "NEUIGKEITEN", true},
        {0, "grundthema", true},
        // The database's name of the row's own English name is no other topic.
        {0, "geruechte", false},
        // Nor is the row's own German name, in another letter case.
        {1, "neuigkeiten", false},
    };
    for (const auto& [row, name, refused] : cases) {
        SCOPED_TRACE(name);
        ObjectLists lists;
        lists.append(kTopicType, {mark::kNone, "rumours", "rumours", "rumours", 1});
        lists.append(kTopicType, {mark::kExternal, "latest", "latest", "Neuigkeiten", 2});
        const Text ev_name = lists.list(kTopicType).elements[row].ev_name;
        const auto result = apply_name_edit(lists, kTopicType, row, ev_name, name, topic_database);
        EXPECT_EQ(result.ok() ? "" : result.error().message,
                  refused ? topic_name_taken_message(name) : "");
        EXPECT_EQ(lists.list(kTopicType).elements[row].dv_name == name, !refused);
    }
}

TEST(NameEdit, RefusesMasterFilesAndRowsWithoutNameOnly) {
    const Text master = cp1252(u8"    DIES IST EINE ESM-DATEI.\rIHR KÖNNT DIES NICHT VERÄNDERN");
    const Text no_name = cp1252(u8"KEIN NAME VERFÜGBAR, UNERLAUBYE ÜBERSETZUNG.");
    EXPECT_EQ(name_edit_refusal(true, mark::kNone), master);
    EXPECT_EQ(name_edit_refusal(true, mark::kNoName), master);
    EXPECT_EQ(name_edit_refusal(false, mark::kNoName), no_name);
    EXPECT_EQ(name_edit_refusal(false, mark::kShipped), std::nullopt);
    EXPECT_EQ(name_edit_refusal(false, mark::kNone), std::nullopt);
}

TEST(NameEdit, CellAndPathGridRowsOfOneNameTakeTheNewName) {
    const std::vector<std::tuple<int, std::size_t, Text, std::vector<ListPosition>>> cases = {
        // Rows marked "B" follow too, rows marked "E" and the edited row itself do not.
        {kCellType, 0, "Stadt", {{kCellType, 1}, {kPathGridType, 0}}},
        {kPathGridType, 0, "Stadt", {{kCellType, 0}, {kCellType, 1}}},
        {kCellType, 2, "M\xFChle", {{kPathGridType, 2}}},
        // Typed into the EV Name field as well: the linked rows already carry the new name.
        {kCellType, 0, "Town", {}},
        {kRegionType, 0, "Stadt", {}},
    };
    for (const auto& [list_index, row, new_name, changed] : cases) {
        SCOPED_TRACE(new_name + " on list " + std::to_string(list_index));
        ObjectLists lists;
        lists.append(kCellType, {mark::kNone, "Town", "Town", "Town", 1});
        lists.append(kCellType, {mark::kShipped, "Town", "Town", "Stadt alt", 2});
        lists.append(kCellType, {mark::kNone, "Mill", "Mill", "Mill", 3});
        lists.append(kPathGridType, {mark::kExternal, "Town", "Town", "Ort", 4});
        lists.append(kPathGridType, {mark::kNoName, "Town", "Town", "", 5});
        lists.append(kPathGridType, {mark::kNone, "Mill", "Mill", "Mill", 6});
        lists.append(kRegionType, {mark::kNone, "r", "Town", "Town", 7});
        lists.set_mark_and_dv_name(list_index, row, mark::kEdited, new_name);
        EXPECT_EQ(spread_cell_name(lists, list_index, row), changed);
        std::size_t edited = 0;
        for (const int list : {kCellType, kRegionType, kPathGridType}) {
            for (const Element& element : lists.list(list).elements) {
                edited += element.mark == mark::kEdited && element.dv_name == new_name;
            }
        }
        EXPECT_EQ(edited, changed.size() + 1);
    }
}

constexpr int kMisc = 16;

TEST(SameNameEdit, AppliesTheNameToEveryEditableRowOfTheSameEvName) {
    // The rows' marks and EV Names: three rows besides the edited one can take its name.
    const std::vector<std::pair<RowMark, Text>> marks_and_names = {
        {mark::kNone, "Rock"},   {mark::kShipped, "Rock"}, {mark::kExternal, "Rock"},
        {mark::kNoName, "Rock"}, {mark::kEdited, "Rock"},  {mark::kNone, "Stone"},
        {mark::kNone, "Rock"}};
    const std::vector<std::tuple<std::size_t, Text, std::vector<std::size_t>>> cases = {
        {0, "Stein", {0, 2, 4, 6}}, // not the "B" and "E" rows, nor "Stone"
        {2, "Stein", {2, 0, 4, 6}}, // the edited row first
        {0, "Rock", {}},            // the EV Name: nothing recorded
        {0, Text(32, 'a'), {}},     // over the limit: refused
    };
    for (const auto& [row, name, expected] : cases) {
        SCOPED_TRACE(name);
        ObjectLists lists;
        for (const auto& [row_mark, ev] : marks_and_names) {
            lists.append(kMisc,
                         Element{row_mark, "id", ev, row_mark == mark::kShipped ? "Fels" : ev, 1});
        }
        EXPECT_EQ(count_same_name_rows(lists, kMisc, row), 3u);
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
        lists.append(list, Element{mark::kNone, "Mill", "Mill", "Mill", 1});
    }
    const auto changed = apply_name_to_same_names(lists, kCellType, 1, "Mill", "M\xFChle");
    ASSERT_TRUE(changed.ok());
    EXPECT_EQ(*changed,
              (std::vector<ListPosition>{{kCellType, 1}, {kCellType, 0}, {kPathGridType, 0}}));
}

} // namespace
} // namespace orv
