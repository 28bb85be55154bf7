#include "translation/NameLookup.h"

#include <gtest/gtest.h>

#include <string>

#include "fixtures/PluginBuilder.h"
#include "translation/TextKeys.h"

namespace orv {
namespace {

using namespace std::string_literals;

// Two texts of one length whose hashes agree in the 32 bits the tables keep.
const Text kCollidingA = "Name 074972";
const Text kCollidingB = "Name 097288";

Block record_named(std::string_view name_data) {
    return fixtures::RecordBuilder("ACTI").text("NAME", "id").raw("FNAM", name_data).bytes();
}

TEST(NameLookup, CodesPrecedenceAndTheBlockAfter) {
    const struct {
        const char* name;
        std::string data;
        std::vector<PairEntry> external;
        std::vector<PairEntry> shipped;
        int code;
        Text english;
        std::string data_after;
    } cases[] = {
        {"unknown", "Foo\0"s, {{"Bar", "Baz"}}, {{"Fo", "Foo "}}, 0, "", "Foo\0"s},
        {"shipped original", "Foo\0"s, {{"Bar", "Baz"}}, {{"Foo", "Nebel"}}, 1, "", "Nebel\0"s},
        {"external translation", "Foo\0"s, {{"Fog", "Foo"}}, {}, 2, "Fog", "Foo\0"s},
        {"shipped translation", "Foo\0"s, {}, {{"Fog", "Foo"}}, 3, "Fog", "Foo\0"s},
        {"external original", "Foo\0"s, {{"Foo", "Nebel"}}, {}, 4, "", "Nebel\0"s},
        {"external first", "Foo\0"s, {{"Foo", "Hain"}}, {{"Foo", "Nebel"}}, 4, "", "Hain\0"s},
        {"case differs", "Foo\0"s, {{"foo", "A"}}, {{"FOO", "B"}, {"A", "fOO"}}, 0, "", "Foo\0"s},
        // The key leaves inner zero bytes out; an equal translation must keep them.
        {"equal texts", "Fo\0o\0\0"s, {}, {{"Foo", "Foo"}}, 3, "Foo", "Fo\0o\0\0"s},
        {"inner zeros replaced", "Fo\0o\0"s, {}, {{"Foo", "Bar"}}, 1, "", "Bar\0"s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto block = record_named(c.data);
        const auto result =
            lookup_name(block, find_subrecord(block, "FNAM").value(),
                        NameIndex(PairFile{c.external}), NameIndex(PairFile{c.shipped}));
        EXPECT_EQ(static_cast<int>(result.code), c.code);
        EXPECT_EQ(result.english, c.english);
        EXPECT_EQ(block, record_named(c.data_after));
    }
}

TEST(NameIndex, FindsTheFirstEntryAsAScanFromTheStartWould) {
    ASSERT_EQ(static_cast<std::uint32_t>(hash_text(kCollidingA)),
              static_cast<std::uint32_t>(hash_text(kCollidingB)));
    std::vector<PairEntry> entries = {{"a", "b"}, {"b", "a"},         {"c", "a"},
                                      {"", "c"},  {kCollidingA, "x"}, {"y", kCollidingB}};
    for (int i = 0; i < 20; ++i) {
        entries.push_back({"n" + std::to_string(i), "t" + std::to_string(i)});
    }
    // The index must not view texts that a move leaves behind.
    NameIndex built(PairFile{entries});
    const NameIndex index = std::move(built);
    const struct {
        Text key;
        std::optional<std::size_t> any;
        std::optional<std::size_t> original;
    } cases[] = {
        {"a", 0, 0},   {"b", 0, 1},     {"c", 2, 2},         {"", 3, 3},
        {"A", {}, {}}, {"a ", {}, {}},  {kCollidingA, 4, 4}, {kCollidingB, 5, {}},
        {"n0", 6, 6},  {"t19", 25, {}}, {"t2", 8, {}},       {"n", {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(index.first_match(c.key), c.any);
        EXPECT_EQ(index.first_original_match(c.key), c.original);
    }
    EXPECT_EQ(NameIndex{}.first_match("a"), std::nullopt);
    EXPECT_EQ(NameIndex{}.first_original_match("a"), std::nullopt);
}

TEST(TextKeySet, FindsExactlyTheTextsPutIn) {
    // Enough keys that the table grows several times and probes run past taken slots.
    TextKeySet keys{"", "Fass", "Fass", "F\0s"s, kCollidingA, kCollidingB};
    for (int i = 0; i < 300; ++i) {
        keys.insert("Key " + std::to_string(i));
    }
    EXPECT_EQ(keys.size(), 305u);
    const struct {
        Text text;
        bool expected;
    } cases[] = {
        {"", true},          {"Fass", true},  {"F\0s"s, true},   {kCollidingA, true},
        {kCollidingB, true}, {"Key 0", true}, {"Key 299", true}, {"Fas", false},
        {"Fass ", false},    {"fass", false}, {"\0"s, false},    {"Key 300", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(keys.contains(c.text), c.expected);
    }
    EXPECT_FALSE(TextKeySet{}.contains(""));
}

} // namespace
} // namespace orv
