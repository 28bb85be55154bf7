#include "translation/ObjectLists.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace orv {
namespace {

using Blocks = std::vector<std::int32_t>;

// Rows whose every column holds the given text; block numbers count from 1.
void fill(ObjectLists& lists, int index, const std::vector<Text>& texts) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
        lists.append(index, {texts[i], texts[i], texts[i], texts[i], static_cast<int>(i + 1)});
    }
}

Blocks blocks_of(const ObjectList& list) {
    Blocks blocks;
    for (const auto& element : list.elements) {
        blocks.push_back(element.block);
    }
    return blocks;
}

TEST(ObjectLists, SortsByUnsignedBytesStablyInAlternatingDirections) {
    // One click ascending, the next descending from that order. Marks "" < "*" < "B" < "E" <
    // "Ü"; upper case first; a prefix first; then by byte value (Ü=DC < ß=DF < ä=E4).
    const struct {
        std::vector<Text> texts;
        Blocks ascending;
        Blocks descending;
    } cases[] = {
        {{"\xDC", "E", "", "B", "*"}, {3, 5, 4, 2, 1}, {1, 2, 4, 5, 3}},
        {{"\xE4rger", "abc", "Zebra", "\xDF", "ab", "a", "\xDCppig", "Apfel"},
         {8, 3, 6, 5, 2, 7, 4, 1},
         {1, 4, 7, 2, 5, 6, 3, 8}},
        {{"Tor", "Bank", "Tor", "Bank", "Tor"}, {2, 4, 1, 3, 5}, {1, 3, 5, 2, 4}},
        {{}, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.texts));
        ObjectLists lists;
        fill(lists, 5, c.texts);
        lists.sort_by_column(5, Column::Mark);
        EXPECT_EQ(blocks_of(lists.list(5)), c.ascending);
        EXPECT_EQ(lists.list(5).sort_direction, -1);
        lists.sort_by_column(5, Column::Id);
        EXPECT_EQ(blocks_of(lists.list(5)), c.descending);
    }
}

TEST(ObjectLists, EachColumnSortsByItsTextAndTheDirectionBelongsToTheList) {
    ObjectLists lists;
    for (const int index : {1, 24}) {
        lists.append(index, {"B", "b", "Zeta", "beta", 1});
        lists.append(index, {"", "c", "Alpha", "alpha", 2});
        lists.append(index, {"*", "a", "Mu", "gamma", 3});
    }
    lists.sort_by_column(1, Column::Id);
    EXPECT_EQ(blocks_of(lists.list(1)), (Blocks{3, 1, 2}));
    lists.sort_by_column(1, Column::EvName);
    EXPECT_EQ(blocks_of(lists.list(1)), (Blocks{1, 3, 2}));
    lists.sort_by_column(1, Column::DvName);
    EXPECT_EQ(blocks_of(lists.list(1)), (Blocks{2, 1, 3}));
    lists.sort_by_column(24, Column::Mark);
    EXPECT_EQ(blocks_of(lists.list(24)), (Blocks{2, 3, 1}));
}

TEST(ObjectLists, EmptyAllKeepsDirectionsAndRowEditsStayInsideTheList) {
    ObjectLists lists;
    fill(lists, 0, {"a"});
    fill(lists, 24, {"b"});
    lists.append_skill({3, "s", "", "", 4});
    lists.sort_by_column(0, Column::Id);
    lists.empty_all();
    for (int index = 0; index < kObjectListCount; ++index) {
        EXPECT_TRUE(lists.list(index).elements.empty()) << "list " << index;
    }
    EXPECT_TRUE(lists.skills().empty());
    fill(lists, 0, {"a", "b"});
    lists.sort_by_column(0, Column::Id);
    EXPECT_EQ(blocks_of(lists.list(0)), (Blocks{2, 1}));

    // Row 1 changes; one past the last row and a row of an empty list change nothing.
    lists.set_mark_and_dv_name(0, 1, mark::kEdited, "Z");
    lists.set_mark_and_dv_name(0, 2, mark::kExternal, "Y");
    lists.set_mark_and_dv_name(5, 0, mark::kExternal, "Y");
    EXPECT_EQ(blocks_of(lists.list(0)), (Blocks{2, 1}));
    EXPECT_EQ(lists.list(0).elements[1].mark + lists.list(0).elements[1].dv_name, "*Z");
    EXPECT_EQ(lists.list(0).elements[1].id, "a");
    EXPECT_TRUE(lists.list(5).elements.empty());
}

} // namespace
} // namespace orv
