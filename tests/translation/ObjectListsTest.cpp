#include "translation/ObjectLists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace orv {
namespace {

using Blocks = std::vector<std::int32_t>;

// Fills list `index` with rows whose text in every column is the given one; block numbers
// count from 1 and identify the rows after a sort.
void fill(ObjectLists& lists, int index, const std::vector<Text>& texts) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
        lists.append(index, Element{.mark = texts[i],
                                    .id = texts[i],
                                    .ev_name = texts[i],
                                    .dv_name = texts[i],
                                    .block = static_cast<std::int32_t>(i + 1)});
    }
}

Blocks blocks_of(const ObjectList& list) {
    Blocks blocks;
    for (const auto& element : list.elements) {
        blocks.push_back(element.block);
    }
    return blocks;
}

TEST(ObjectListsSort, OrdersByUnsignedWindows1252Bytes) {
    // Ascending: the marks "" < "*" < "B" < "E" < "Ü"; upper case before lower case; a
    // prefix before its extensions; umlauts and sharp s after all ASCII, by byte value
    // (Ü=DC < ß=DF < ä=E4).
    const std::vector<std::pair<std::vector<Text>, Blocks>> cases = {
        {{"\xDC", "E", "", "B", "*"}, {3, 5, 4, 2, 1}},
        {{"\xE4rger", "abc", "Zebra", "\xDF", "ab", "a", "\xDCppig", "Apfel"},
         {8, 3, 6, 5, 2, 7, 4, 1}},
    };
    for (const auto& [texts, ascending] : cases) {
        SCOPED_TRACE(testing::PrintToString(texts));
        ObjectLists lists;
        fill(lists, 5, texts);
        lists.sort_by_column(5, Column::Mark);
        EXPECT_EQ(blocks_of(lists.list(5)), ascending);
        lists.sort_by_column(5, Column::Id);
        EXPECT_EQ(blocks_of(lists.list(5)), Blocks(ascending.rbegin(), ascending.rend()));
    }
}

TEST(ObjectListsSort, EqualTextsKeepTheirOrderInBothDirections) {
    ObjectLists lists;
    fill(lists, 3, {"Tor", "Bank", "Tor", "Bank", "Tor"});
    lists.sort_by_column(3, Column::DvName);
    EXPECT_EQ(blocks_of(lists.list(3)), (Blocks{2, 4, 1, 3, 5}));
    // Descending from that order: the "Tor" rows first, still 1, 3, 5, not reversed.
    lists.sort_by_column(3, Column::DvName);
    EXPECT_EQ(blocks_of(lists.list(3)), (Blocks{1, 3, 5, 2, 4}));
}

TEST(ObjectListsSort, AgreesWithInsertionSortForEveryOrderOfFewTexts) {
    // The reference: each row, in old order, goes before the first placed row whose text is
    // greater (ascending) or smaller (descending), else behind all placed rows.
    const auto insertion_sorted = [](const std::vector<Element>& elements, int direction) {
        std::vector<Element> placed;
        for (const auto& element : elements) {
            placed.insert(std::find_if(placed.begin(), placed.end(),
                                       [&](const Element& other) {
                                           return direction > 0 ? other.ev_name > element.ev_name
                                                                : other.ev_name < element.ev_name;
                                       }),
                          element);
        }
        return placed;
    };
    std::vector<Text> texts = {"A", "A", "Ab", "Ab", "b", "b"};
    int orders = 0;
    do {
        for (const int direction : {+1, -1}) {
            ObjectLists lists;
            fill(lists, 7, texts);
            lists.list(7).sort_direction = direction;
            const Blocks expected = [&] {
                ObjectList reference;
                reference.elements = insertion_sorted(lists.list(7).elements, direction);
                return blocks_of(reference);
            }();
            lists.sort_by_column(7, Column::EvName);
            ASSERT_EQ(blocks_of(lists.list(7)), expected)
                << testing::PrintToString(texts) << " direction " << direction;
        }
        ++orders;
    } while (std::next_permutation(texts.begin(), texts.end()));
    EXPECT_EQ(orders, 90);
}

TEST(ObjectListsSort, DirectionBelongsToTheListNotTheColumn) {
    ObjectLists lists;
    for (const int index : {1, 24}) {
        lists.append(
            index,
            Element{.mark = "B", .id = "b", .ev_name = "Zeta", .dv_name = "beta", .block = 1});
        lists.append(
            index,
            Element{.mark = "", .id = "c", .ev_name = "Alpha", .dv_name = "alpha", .block = 2});
        lists.append(
            index,
            Element{.mark = "*", .id = "a", .ev_name = "Mu", .dv_name = "gamma", .block = 3});
    }
    lists.sort_by_column(1, Column::Id); // ascending
    EXPECT_EQ(blocks_of(lists.list(1)), (Blocks{3, 1, 2}));
    lists.sort_by_column(1, Column::EvName); // descending, although another column
    EXPECT_EQ(blocks_of(lists.list(1)), (Blocks{1, 3, 2}));
    lists.sort_by_column(1, Column::DvName); // ascending
    EXPECT_EQ(blocks_of(lists.list(1)), (Blocks{2, 1, 3}));
    EXPECT_EQ(lists.list(1).sort_direction, -1);

    // Another list, never sorted, still starts ascending.
    lists.sort_by_column(24, Column::EvName);
    EXPECT_EQ(blocks_of(lists.list(24)), (Blocks{2, 3, 1}));
    EXPECT_EQ(lists.list(0).sort_direction, +1);
}

TEST(ObjectListsSort, EmptyAndOneRowListsOnlyReverseTheDirection) {
    ObjectLists lists;
    lists.sort_by_column(2, Column::Id);
    EXPECT_TRUE(lists.list(2).elements.empty());
    EXPECT_EQ(lists.list(2).sort_direction, -1);

    fill(lists, 4, {"E"});
    lists.sort_by_column(4, Column::DvName);
    lists.sort_by_column(4, Column::DvName);
    lists.sort_by_column(4, Column::DvName);
    ASSERT_EQ(blocks_of(lists.list(4)), Blocks{1});
    EXPECT_EQ(lists.list(4).elements[0].mark, "E");
    EXPECT_EQ(lists.list(4).sort_direction, -1);
}

TEST(ObjectLists, EmptyAllRemovesEveryRowButKeepsDirections) {
    ObjectLists lists;
    fill(lists, 0, {"a"});
    fill(lists, 24, {"b"});
    lists.append_skill(
        SkillElement{.skill_index = 3, .id = "s", .ev_name = "", .dv_name = "", .block = 4});
    lists.sort_by_column(0, Column::Id);

    lists.empty_all();
    for (int index = 0; index < kObjectListCount; ++index) {
        EXPECT_TRUE(lists.list(index).elements.empty()) << "list " << index;
    }
    EXPECT_TRUE(lists.skills().empty());
    // The next plugin's rows are sorted descending by the next click on that list.
    fill(lists, 0, {"a", "b"});
    lists.sort_by_column(0, Column::Id);
    EXPECT_EQ(blocks_of(lists.list(0)), (Blocks{2, 1}));
}

TEST(ObjectLists, SetMarkAndDvNameChangesOnlyRowsThatExist) {
    ObjectLists lists;
    fill(lists, 6, {"x", "y"});
    lists.set_mark_and_dv_name(6, 1, mark::kEdited, "Schriftrolle");
    EXPECT_EQ(lists.list(6).elements[1].mark, "*");
    EXPECT_EQ(lists.list(6).elements[1].dv_name, "Schriftrolle");
    EXPECT_EQ(lists.list(6).elements[1].id, "y");
    EXPECT_EQ(lists.list(6).elements[0].dv_name, "x");

    // One past the last row, and a row of an empty list: nothing changes or appears.
    lists.set_mark_and_dv_name(6, 2, mark::kExternal, "Z");
    lists.set_mark_and_dv_name(5, 0, mark::kExternal, "Z");
    ASSERT_EQ(lists.list(6).elements.size(), 2u);
    EXPECT_EQ(lists.list(6).elements[1].dv_name, "Schriftrolle");
    EXPECT_TRUE(lists.list(5).elements.empty());
}

} // namespace
} // namespace orv
