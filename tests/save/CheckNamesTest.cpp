#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "save/CheckNames.h"

namespace orv {
namespace {

// The renames are found by their old names folded, whatever the letter case of the rename or
// of the name asked about; the first rename of a folded name counts.
TEST(RenamesByOldName, FindsTheFirstRenameOfAFoldedNameAndNothingElse) {
    const RenamesByOldName table({{ScriptArgumentKind::Topic, "Town 6", "Stadt 6"},
                                  {ScriptArgumentKind::Cell, "Town 7", "Stadt 7"},
                                  {ScriptArgumentKind::Cell, "TOWN 7", "Zweite"}});
    ASSERT_FALSE(table.empty());
    for (const auto& [asked, kind, new_name] :
         {std::tuple{"town 6", ScriptArgumentKind::Topic, "Stadt 6"},
          std::tuple{"tOwN 7", ScriptArgumentKind::Cell, "Stadt 7"}}) {
        const ScriptRename* found = table.find(folded_name(asked));
        ASSERT_NE(found, nullptr) << asked;
        EXPECT_EQ(found->kind, kind);
        EXPECT_EQ(found->new_name, new_name);
    }
    // Only folded names are asked about: the unfolded old name and the new name find nothing.
    for (const Text& other : {Text("Town 7"), folded_name("Stadt 7")}) {
        EXPECT_EQ(table.find(other), nullptr) << other;
    }
    for (const RenamesByOldName& empty :
         {RenamesByOldName(), RenamesByOldName(std::vector<ScriptRename>{})}) {
        EXPECT_TRUE(empty.empty());
        EXPECT_EQ(empty.find("TOWN 7"), nullptr);
    }
}

} // namespace
} // namespace orv
