#include "translation/dialogs/NameEdit.h"

#include <gtest/gtest.h>

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
