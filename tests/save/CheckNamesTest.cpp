#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "save/CheckNames.h"
#include "translation/TextKeys.h"

namespace orv {
namespace {

// Many renames, so that names share the table's slots and lookups probe past each other.
TEST(RenamesByOldName, FindsTheFirstRenameOfAFoldedNameAndNothingElse) {
    std::vector<ScriptRename> renames;
    for (int k = 0; k < 3000; ++k) {
        renames.push_back({k % 2 == 0 ? ScriptArgumentKind::Cell : ScriptArgumentKind::Topic,
                           "Town " + std::to_string(k), "Stadt " + std::to_string(k)});
    }
    // A second rename of a name already renamed, in other letter case, does not count.
    renames.push_back({ScriptArgumentKind::Cell, "TOWN 7", "Zweite"});
    const RenamesByOldName table(renames);
    ASSERT_FALSE(table.empty());

    for (int k = 0; k < 3000; ++k) {
        const ScriptRename* found = table.find(folded_name("town " + std::to_string(k)));
        ASSERT_NE(found, nullptr) << k;
        EXPECT_EQ(found->new_name, "Stadt " + std::to_string(k));
        EXPECT_EQ(found->kind, k % 2 == 0 ? ScriptArgumentKind::Cell : ScriptArgumentKind::Topic);
    }
    // Only folded names are asked about: the unfolded old name, a prefix, a longer name and
    // the new name find nothing.
    for (const Text& other :
         {Text("Town 7"), Text("TOWN "), Text("TOWN 30000"), folded_name("Stadt 7"), Text()}) {
        EXPECT_EQ(table.find(other), nullptr) << other;
    }
}

// A table keeps the hash in 32 bits: two names with the same cut hash share a probe, and only
// their texts tell them apart. The first such pair of names "TOWN n" is searched for.
TEST(RenamesByOldName, TellsApartNamesWhoseHashesMatch) {
    std::unordered_map<std::uint32_t, int> first_of_hash;
    std::optional<std::pair<int, int>> pair;
    for (int k = 0; !pair && k < 2'000'000; ++k) {
        const auto hash = static_cast<std::uint32_t>(hash_text("TOWN " + std::to_string(k)));
        if (const auto [found, added] = first_of_hash.try_emplace(hash, k); !added) {
            pair = std::pair{found->second, k};
        }
    }
    ASSERT_TRUE(pair);
    const auto name = [](int k) { return "Town " + std::to_string(k); };
    const RenamesByOldName table({{ScriptArgumentKind::Cell, name(pair->first), "Stadt"}});
    ASSERT_NE(table.find(folded_name(name(pair->first))), nullptr);
    EXPECT_EQ(table.find(folded_name(name(pair->second))), nullptr);
}

TEST(RenamesByOldName, AnEmptyTableFindsNothing) {
    for (const RenamesByOldName& table :
         {RenamesByOldName(), RenamesByOldName(std::vector<ScriptRename>{})}) {
        EXPECT_TRUE(table.empty());
        EXPECT_EQ(table.find(""), nullptr);
        EXPECT_EQ(table.find("TOWN"), nullptr);
    }
}

} // namespace
} // namespace orv
