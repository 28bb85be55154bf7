#include "translation/ObjectLists.h"
#include "translation/RowFilter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace orv {
namespace {

using Blocks = std::vector<std::int32_t>;

Blocks blocks_of(const ObjectList& list) {
    Blocks blocks;
    for (const auto& element : list.elements) {
        blocks.push_back(element.block);
    }
    return blocks;
}

// The mark a row shows as `text`, one of the five.
RowMark mark_shown_as(const Text& text) {
    for (const RowMark mark :
         {mark::kNone, mark::kShipped, mark::kExternal, mark::kEdited, mark::kNoName}) {
        if (mark.text() == text) {
            return mark;
        }
    }
    ADD_FAILURE() << "no mark shows as " << text;
    return {};
}

TEST(ObjectLists, SortsByUnsignedBytesStablyInAlternatingDirections) {
    // One click ascending, the next descending from that order. Marks as their texts: "" <
    // "*" < "B" < "E" < "\xDC"; upper case first; a prefix first; then by byte value
    // (\xDC < \xDF < \xE4).
    const std::vector<std::tuple<Column, std::vector<Text>, Blocks, Blocks>> cases = {
        {Column::Mark, {"\xDC", "E", "", "B", "*"}, {3, 5, 4, 2, 1}, {1, 2, 4, 5, 3}},
        {Column::EvName,
         {"\xE4rger", "abc", "Zebra", "\xDF", "ab", "a", "\xDCppig", "Apfel"},
         {8, 3, 6, 5, 2, 7, 4, 1},
         {1, 4, 7, 2, 5, 6, 3, 8}},
        {Column::EvName, {"Tor", "Bank", "Tor", "Bank", "Tor"}, {2, 4, 1, 3, 5}, {1, 3, 5, 2, 4}},
        {Column::Mark, {}, {}, {}},
    };
    for (const auto& [column, texts, ascending, descending] : cases) {
        SCOPED_TRACE(testing::PrintToString(texts));
        ObjectLists lists;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const Text& text = texts[i];
            const RowMark mark = column == Column::Mark ? mark_shown_as(text) : mark::kNone;
            lists.append(5, {mark, text, text, text, static_cast<std::int32_t>(i + 1)});
        }
        lists.sort_by_column(5, column);
        EXPECT_EQ(blocks_of(lists.list(5)), ascending);
        lists.sort_by_column(5, Column::Id);
        EXPECT_EQ(blocks_of(lists.list(5)), descending);
    }
    // Each column sorts by its own text, and each list has its own direction.
    ObjectLists lists;
    for (const int index : {1, 24}) {
        lists.append(index, {mark::kShipped, "b", "Zeta", "beta", 1});
        lists.append(index, {mark::kNone, "c", "Alpha", "alpha", 2});
        lists.append(index, {mark::kEdited, "a", "Mu", "gamma", 3});
    }
    const std::pair<Column, Blocks> clicks[] = {
        {Column::Id, {3, 1, 2}}, {Column::EvName, {1, 3, 2}}, {Column::DvName, {2, 1, 3}}};
    for (const auto& [column, expected] : clicks) {
        lists.sort_by_column(1, column);
        EXPECT_EQ(blocks_of(lists.list(1)), expected);
    }
    lists.sort_by_column(24, Column::Mark);
    EXPECT_EQ(blocks_of(lists.list(24)), (Blocks{2, 3, 1}));
    // A row that no longer exists is left alone.
    lists.set_mark_and_dv_name(5, 0, mark::kEdited, "Z");
    EXPECT_TRUE(lists.list(5).elements.empty());
}

constexpr int kMisc = 16;

// Misc Item rows 0 to 6: mark, ID, EV Name, DV Name.
ObjectLists misc_rows() {
    ObjectLists lists;
    // clang-format off
    const std::vector<Element> rows = {
        {mark::kNone, "rock_01", "Rock", "Rock"},
        {mark::kShipped, "ore_02", "Iron Ore", "Eisenerz"},
        {mark::kExternal, "key_03", "Rusty Key", "\xC4lterer Schl\xFCssel"},
        {mark::kEdited, "key_04", "Key", "Schl\xDCssel"},
        {mark::kNoName, "blank_05", "", ""},
        {mark::kNone, "ROCK_06", "Pebble", "Pebble"},
        {mark::kNone, "odd_07", "Odd", "Seltsam"},
    };
    // clang-format on
    for (const auto& row : rows) {
        lists.append(kMisc, row);
    }
    return lists;
}

TEST(RowFilter, ShowsTheMatchingRowsInListOrder) {
    // clang-format off
    const std::vector<std::tuple<Text, RowFilterOptions, std::vector<std::size_t>>> cases = {
        {"", {}, {0, 1, 2, 3, 5, 6}},
        {"", {.show_nameless = true}, {0, 1, 2, 3, 4, 5, 6}},
        {"rOcK", {}, {0, 5}},                // ID or EV Name, ASCII case ignored
        {"ERZ", {}, {1}},                    // DV Name only, at its end
        {"rusty key", {}, {2}},              // EV Name only, all of it
        {"SCHL\xDC", {}, {2, 3}},            // capital umlaut finds small and capital
        {"\xE4lter", {}, {2}},               // small umlaut finds capital
        {"", {.only_untranslated = true}, {0, 5}},
    };
    // clang-format on
    const ObjectLists lists = misc_rows();
    for (const auto& [query, options, rows] : cases) {
        SCOPED_TRACE(query);
        EXPECT_EQ(RowFilter(query, options).visible_rows(lists.list(kMisc)), rows);
    }
}

TEST(RowState, FollowsTheMarkAndForUnmarkedRowsTheNames) {
    const std::pair<Element, RowState> cases[] = {
        {{mark::kNone, "id", "Gate", "Gate"}, RowState::ToDo},
        {{mark::kNone, "id", "Gate", "Tor"}, RowState::Translated},
        {{mark::kExternal, "id", "Gate", "Gate"}, RowState::Translated},
        {{mark::kEdited, "id", "Gate", "Gate"}, RowState::Edited},
        {{mark::kShipped, "id", "Gate", "Tor"}, RowState::FromDatabase},
        {{mark::kNoName, "id", "", ""}, RowState::Nameless}};
    for (const auto& [element, state] : cases) {
        EXPECT_EQ(row_state(element), state) << element.mark.text() << element.dv_name;
    }
}

// The counts in tab titles and status bar, the workbench's tests see follow open and edit.
TEST(TranslationCounts, CountRowsStillToDoAndTranslatedOfNamed) {
    ObjectLists lists = misc_rows();
    lists.append(kCellType, Element{mark::kNone, "Town", "Town", "Town", 9});
    const auto counts = count_translations(lists);
    EXPECT_EQ(tab_title(kMisc, counts.to_do[kMisc]), "Misc Item (2)");
    EXPECT_EQ(translated_status(counts), cp1252(u8"übersetzt 4 von 7"));
    for (const auto& [number, shown] : std::vector<std::pair<std::size_t, Text>>{
             {999, "999"}, {1000, "1.000"}, {1234567, "1.234.567"}}) {
        EXPECT_EQ(german_number(number), shown);
    }
}

} // namespace
} // namespace orv
