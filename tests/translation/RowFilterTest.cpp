#include "translation/RowFilter.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

constexpr int kMisc = 16;

// Misc Item rows 0 to 6: mark, ID, EV Name, DV Name.
ObjectLists misc_rows() {
    ObjectLists lists;
    // clang-format off
    const std::vector<Element> rows = {
        {"", "rock_01", "Rock", "Rock"},
        {"B", "ore_02", "Iron Ore", "Eisenerz"},
        {"\xDC", "key_03", "Rusty Key", "\xC4lterer Schl\xFCssel"},
        {"*", "key_04", "Key", "Schl\xDCssel"},
        {"E", "blank_05", "", ""},
        {"", "ROCK_06", "Pebble", "Pebble"},
        {"", "odd_07", "Odd", "Seltsam"},
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

TEST(TranslationCounts, CountRowsStillToDoAndTranslatedOfNamed) {
    ObjectLists lists = misc_rows();
    lists.append(kCellType, Element{"", "Town", "Town", "Town", 9});
    const auto counts = count_translations(lists);
    EXPECT_EQ(tab_title(kCellType, counts.to_do[kCellType]), "Cell (1)");
    EXPECT_EQ(tab_title(kMisc, counts.to_do[kMisc]), "Misc Item (2)");
    EXPECT_EQ(translated_status(counts), cp1252(u8"übersetzt 4 von 7"));
    for (const auto& [number, shown] : std::vector<std::pair<std::size_t, Text>>{
             {999, "999"}, {1000, "1.000"}, {1234567, "1.234.567"}}) {
        EXPECT_EQ(german_number(number), shown);
    }
}

} // namespace
} // namespace orv
