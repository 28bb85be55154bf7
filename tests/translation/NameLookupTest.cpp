#include "translation/NameLookup.h"

#include <gtest/gtest.h>

#include <memory>
#include <span>

#include <string>

#include "fixtures/PluginBuilder.h"
#include "translation/TextKeys.h"

namespace orv {
namespace {

using namespace std::string_literals;

Block record_named(std::string_view name_data) {
    return fixtures::RecordBuilder("ACTI").text("NAME", "id").raw("FNAM", name_data).bytes();
}

TEST(NameLookup, CodesPrecedenceAndTheBlockAfter) {
    const struct {
        std::string data;
        std::vector<PairEntry> external, shipped;
        int code;
        Text english;
        std::string data_after;
    } cases[] = {
        {"Foo\0"s, {{"Bar", "Baz"}}, {{"Fo", "Foo "}}, 0, "", "Foo\0"s},
        {"Foo\0"s, {{"Bar", "Baz"}}, {{"Foo", "Nebel"}}, 1, "", "Nebel\0"s},
        {"Foo\0"s, {{"Fog", "Foo"}}, {}, 2, "Fog", "Foo\0"s},
        {"Foo\0"s, {}, {{"Fog", "Foo"}}, 3, "Fog", "Foo\0"s},
        {"Foo\0"s, {{"Foo", "Nebel"}}, {}, 4, "", "Nebel\0"s},
        {"Foo\0"s, {{"Foo", "Hain"}}, {{"Foo", "Nebel"}}, 4, "", "Hain\0"s},
        {"Foo\0"s, {{"foo", "A"}}, {{"FOO", "B"}, {"A", "fOO"}}, 0, "", "Foo\0"s},
        // The key leaves inner zero bytes out; an equal translation must keep them.
        {"Fo\0o\0\0"s, {}, {{"Foo", "Foo"}}, 3, "Foo", "Fo\0o\0\0"s},
        {"Fo\0o\0"s, {}, {{"Foo", "Bar"}}, 1, "", "Bar\0"s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        auto block = record_named(c.data);
        const auto result =
            lookup_name(block, find_subrecord(block, "FNAM").value(),
                        NameIndex(PairFile{c.external}), NameIndex(PairFile{c.shipped}));
        EXPECT_EQ(static_cast<int>(result.code), c.code);
        EXPECT_EQ(result.english, c.english);
        EXPECT_EQ(block, record_named(c.data_after));
    }
}

TEST(NameIndex, FindsTheFirstEntryAsAScanWouldAndTheKeySetEveryText) {
    // Two texts of one length whose hashes agree in the 32 bits the tables keep.
    const Text collides = "Name 074972";
    const Text collided = "Name 097288";
    ASSERT_EQ(static_cast<std::uint32_t>(hash_text(collides)),
              static_cast<std::uint32_t>(hash_text(collided)));
    std::vector<PairEntry> entries = {{"a", "b"},      {"b", "a"},      {"c", "a"},       {"", "c"},
                                      {collides, "x"}, {"y", collided}, {"F\0s"s, "Fass"}};
    // Enough texts that the tables grow a few times and probes run past taken slots.
    for (int i = 0; i < 20; ++i) {
        entries.push_back({"n" + std::to_string(i), "t" + std::to_string(i)});
    }
    // One at a time and all at once (in groups, growing the table between them) must agree.
    TextKeySet keys;
    TextKeySet keys_at_once;
    std::vector<TextView> texts;
    for (const auto& [original, translation] : entries) {
        keys.insert(original);
        keys.insert(translation);
        texts.insert(texts.end(), {original, translation});
    }
    keys_at_once.insert_all(texts);
    EXPECT_EQ(keys.size(), 50u);
    EXPECT_EQ(keys_at_once.size(), 50u);
    // The index must not view texts that a move leaves behind.
    NameIndex built(PairFile{entries});
    const NameIndex index = std::move(built);
    const struct {
        Text key;
        std::optional<std::size_t> any, original;
    } cases[] = {
        {"a", 0, 0},     {"b", 0, 1},      {"c", 2, 2},       {"", 3, 3},      {"A", {}, {}},
        {"a ", {}, {}},  {collides, 4, 4}, {collided, 5, {}}, {"F\0s"s, 6, 6}, {"Fass", 6, {}},
        {"\0"s, {}, {}}, {"Fas", {}, {}},  {"n0", 7, 7},      {"t19", 26, {}}, {"n", {}, {}},
    };
    std::vector<TextView> questions;
    std::vector<char> expected;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(index.first_match(c.key), c.any);
        EXPECT_EQ(index.first_original_match(c.key), c.original);
        EXPECT_EQ(keys.contains(c.key), c.any.has_value());
        questions.push_back(c.key);
        expected.push_back(c.any.has_value());
    }
    for (const TextKeySet* set : {&keys, &keys_at_once}) {
        auto found = std::make_unique<bool[]>(questions.size());
        set->contains_each(questions, std::span(found.get(), questions.size()));
        EXPECT_EQ(std::vector<char>(found.get(), found.get() + questions.size()), expected);
    }
    EXPECT_EQ(NameIndex{}.first_match("a"), std::nullopt);
    EXPECT_EQ(NameIndex{}.first_original_match("a"), std::nullopt);
    EXPECT_FALSE(TextKeySet{}.contains(""));
}

} // namespace
} // namespace orv
