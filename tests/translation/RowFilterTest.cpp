#include "translation/RowFilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace orv {
namespace {

using Rows = std::vector<std::size_t>;

// Rows of the Misc Item list: mark, ID, EV Name, DV Name.
ObjectLists misc_rows() {
    ObjectLists lists;
    const std::vector<std::array<Text, 4>> rows = {
        {"", "rock_01", "Rock", "Rock"},                            // 0: still to do
        {"B", "ore_02", "Iron Ore", "Eisenerz"},                    // 1
        {"\xDC", "key_03", "Rusty Key", "\xC4lterer Schl\xFCssel"}, // 2: Ä, ü
        {"*", "key_04", "Key", "Schl\xDCssel"},                     // 3: Ü
        {"E", "blank_05", "", ""},                                  // 4: no name
        {"", "ROCK_06", "Pebble", "Pebble"},                        // 5: still to do
        {"", "odd_07", "Odd", "Seltsam"},                           // 6: no mark, DV differs
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& [mark, id, ev, dv] = rows[i];
        lists.append(16, Element{mark, id, ev, dv, static_cast<std::int32_t>(i + 1)});
    }
    return lists;
}

auto row_state(const ObjectList& list) {
    std::vector<std::tuple<Text, Text, Text, Text, std::int32_t>> state;
    for (const auto& e : list.elements) {
        state.emplace_back(e.mark, e.id, e.ev_name, e.dv_name, e.block);
    }
    return state;
}

TEST(RowFilter, ShowsMatchingRowsInListOrderAndChangesNothing) {
    struct Case {
        const char* name;
        Text query;
        RowFilterOptions options;
        Rows expected;
    };
    const std::vector<Case> cases = {
        {"empty query hides only nameless rows", "", {}, {0, 1, 2, 3, 5, 6}},
        {"Leere zeigen shows them", "", {.show_nameless = true}, {0, 1, 2, 3, 4, 5, 6}},
        {"ID, EV and DV Name, ASCII case ignored", "rOcK", {}, {0, 5}},
        {"query in DV Name only", "erz", {}, {1}},
        {"capital umlaut finds small", "SCHL\xDC", {}, {2, 3}},
        {"small umlaut finds capital", "\xE4lter", {}, {2}},
        {"umlaut is not its base letter", "schlu", {}, {}},
        {"Nur unuebersetzte", "", {.only_untranslated = true}, {0, 5}},
        {"both at once", "peb", {.only_untranslated = true}, {5}},
        {"nameless stay hidden with Nur unuebersetzte",
         "blank",
         {.only_untranslated = true, .show_nameless = true},
         {}},
        {"no match", "xyz", {}, {}},
    };
    ObjectLists lists = misc_rows();
    lists.sort_by_column(16, Column::Mark);
    const auto before = row_state(lists.list(16));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto rows = RowFilter(c.query, c.options).visible_rows(lists.list(16));
        // The expectation names rows by their block; the list is sorted by mark.
        Rows blocks;
        for (const auto row : rows) {
            blocks.push_back(static_cast<std::size_t>(lists.list(16).elements[row].block - 1));
        }
        Rows expected_sorted;
        for (std::size_t row = 0; row < lists.list(16).elements.size(); ++row) {
            const auto block = static_cast<std::size_t>(lists.list(16).elements[row].block - 1);
            if (std::find(c.expected.begin(), c.expected.end(), block) != c.expected.end()) {
                expected_sorted.push_back(block);
            }
        }
        EXPECT_EQ(blocks, expected_sorted);
        EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end()));
        EXPECT_EQ(row_state(lists.list(16)), before);
    }
}

TEST(TranslationCounts, CountRowsStillToDoAndTranslatedOfNamed) {
    ObjectLists lists = misc_rows();
    lists.append(0, Element{"", "Town", "Town", "Town", 9});
    lists.append(0, Element{"E", "", "", "", 10});
    const auto counts = count_translations(lists);
    EXPECT_EQ(counts.to_do[16], 2u);
    EXPECT_EQ(counts.to_do[0], 1u);
    EXPECT_EQ(counts.named, 7u);
    EXPECT_EQ(counts.translated, 4u);
    EXPECT_EQ(tab_title(0, counts.to_do[0]), "Cell (1)");
    EXPECT_EQ(tab_title(16, 0), "Misc Item (0)");
    EXPECT_EQ(translated_status(TranslationCounts{{}, 3908, 2251}), "\xFC"
                                                                    "bersetzt 2.251 von 3.908");
    const std::vector<std::pair<std::size_t, Text>> numbers = {
        {0, "0"}, {999, "999"}, {1000, "1.000"}, {454, "454"}, {1234567, "1.234.567"}};
    for (const auto& [number, shown] : numbers) {
        EXPECT_EQ(german_number(number), shown);
    }
}

} // namespace
} // namespace orv
