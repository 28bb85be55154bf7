#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "translation/FirstIndexTable.h"

namespace orv {
namespace {

// The key of an item of `keys`, by its number.
struct KeyOf {
    const std::vector<Text>* keys;
    TextView operator()(std::size_t number) const { return (*keys)[number]; }
};

// A table over `keys`, numbered by their places.
struct KeyTable {
    explicit KeyTable(std::vector<Text> texts)
        : keys(std::move(texts)), table(keys.size(), KeyOf{&keys}) {}
    std::optional<std::size_t> find(TextView key) const { return table.find(key, KeyOf{&keys}); }

    std::vector<Text> keys;
    FirstIndexTable<ExactTexts> table;
};

// Many keys, so that they share the table's slots and lookups probe past each other.
TEST(FirstIndexTable, FindsTheFirstItemOfAKeyAndNothingElse) {
    std::vector<Text> keys;
    for (int k = 0; k < 3000; ++k) {
        keys.push_back("TOWN " + std::to_string(k));
    }
    // A second item with a key already there is never found.
    keys.push_back("TOWN 7");
    const KeyTable table(keys);
    for (std::size_t k = 0; k < 3000; ++k) {
        EXPECT_EQ(table.find("TOWN " + std::to_string(k)), k);
    }
    // A key in other letter case, a prefix, a longer key and the empty key find nothing.
    for (const Text& other : {Text("Town 7"), Text("TOWN "), Text("TOWN 30000"), Text()}) {
        EXPECT_EQ(table.find(other), std::nullopt) << other;
    }
}

// A slot keeps the hash in 32 bits: two keys with the same cut hash share a probe, and only
// their texts tell them apart.
TEST(FirstIndexTable, TellsApartKeysWhoseHashesMatch) {
    const Text collides = "Name 074972";
    const Text collided = "Name 097288";
    ASSERT_EQ(static_cast<std::uint32_t>(hash_text(collides)),
              static_cast<std::uint32_t>(hash_text(collided)));
    const KeyTable table({collides});
    EXPECT_EQ(table.find(collides), 0U);
    EXPECT_EQ(table.find(collided), std::nullopt);
}

TEST(FirstIndexTable, AnEmptyTableFindsNothing) {
    const auto no_key = [](std::size_t) { return TextView(); };
    for (const auto& table :
         {FirstIndexTable<ExactTexts>(), FirstIndexTable<ExactTexts>(0, no_key)}) {
        EXPECT_EQ(table.find("", no_key), std::nullopt);
        EXPECT_EQ(table.find("TOWN", no_key), std::nullopt);
    }
}

} // namespace
} // namespace orv
