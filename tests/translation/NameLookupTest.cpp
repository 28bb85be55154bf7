#include "translation/NameLookup.h"

#include <gtest/gtest.h>

#include <random>

#include "fixtures/PluginBuilder.h"

namespace orv {
namespace {

using fixtures::RecordBuilder;

NameIndex index_of(std::vector<PairEntry> entries) {
    return NameIndex(PairFile{std::move(entries)});
}

Block record_named(std::string_view name_data) {
    return RecordBuilder("ACTI")
        .text("NAME", "nebel_id")
        .raw("FNAM", name_data)
        .text("MODL", "a.nif")
        .bytes();
}

Subrecord name_of(const Block& block) {
    return find_subrecord(block, "FNAM").value();
}

TEST(NameLookup, CodesAndPrecedence) {
    struct Case {
        const char* name;
        std::vector<PairEntry> external;
        std::vector<PairEntry> shipped;
        int code;
        Text english;
        Text name_after;
    };
    const Case cases[] = {
        {"unknown", {{"Bar", "Baz"}}, {{"Fo", "Foo "}}, 0, "", "Foo"},
        {"shipped original", {{"Bar", "Baz"}}, {{"Foo", "Nebel"}}, 1, "", "Nebel"},
        {"external translation", {{"Fog", "Foo"}}, {}, 2, "Fog", "Foo"},
        {"shipped translation", {}, {{"Fog", "Foo"}}, 3, "Fog", "Foo"},
        {"external original", {{"Foo", "Nebel"}}, {}, 4, "", "Nebel"},
        {"external before shipped", {{"Foo", "Hain"}}, {{"Foo", "Nebel"}}, 4, "", "Hain"},
        {"external translation first", {{"Fog", "Foo"}}, {{"Foo", "Nebel"}}, 2, "Fog", "Foo"},
        {"first of equal originals", {}, {{"Foo", "Erster"}, {"Foo", "Zweiter"}}, 1, "", "Erster"},
        {"earlier translation match", {{"Fog", "Foo"}, {"Foo", "Nebel"}}, {}, 2, "Fog", "Foo"},
        {"earlier translation match, shipped", {}, {{"Fog", "Foo"}, {"Foo", "N"}}, 3, "Fog", "Foo"},
        {"earlier original match", {{"Foo", "Nebel"}, {"Fog", "Foo"}}, {}, 4, "", "Nebel"},
        {"equal texts", {}, {{"Foo", "Foo"}}, 3, "Foo", "Foo"},
        {"case differs", {{"foo", "A"}}, {{"FOO", "B"}, {"A", "fOO"}}, 0, "", "Foo"},
        {"trailing blank", {{"Foo ", "A"}}, {{"Fo", "B"}, {"A", "Foo "}}, 0, "", "Foo"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto block = record_named(std::string("Foo\0", 4));
        const auto result =
            lookup_name(block, name_of(block), index_of(c.external), index_of(c.shipped));
        EXPECT_EQ(static_cast<int>(result.code), c.code);
        EXPECT_EQ(result.english, c.english);
        // Built with correct sizes, so this checks every size field and the moved MODL.
        EXPECT_EQ(block, record_named(c.name_after + '\0'));
    }
}

TEST(NameLookup, SentinelAndEqualTextsLeaveTheBlockAlone) {
    const auto sentinel = index_of({{"FFFF", "FFFF"}, {"Foo", "Bar"}});
    auto block = record_named(std::string("FFFF\0", 5));
    auto before = block;
    auto result = lookup_name(block, name_of(block), sentinel, index_of({}));
    EXPECT_EQ(result.code, LookupCode::ExternalTranslation);
    EXPECT_EQ(result.english, "FFFF");
    EXPECT_EQ(block, before);

    // The key leaves the inner zero bytes out; writing it back would drop them.
    const auto equal = index_of({{"Nebel", "Nebel"}});
    block = record_named(std::string("Ne\0bel\0\0", 8));
    before = block;
    result = lookup_name(block, name_of(block), equal, index_of({}));
    EXPECT_EQ(result.code, LookupCode::ExternalTranslation);
    EXPECT_EQ(block, before);
    result = lookup_name(block, name_of(block), index_of({}), equal);
    EXPECT_EQ(result.code, LookupCode::ShippedTranslation);
    EXPECT_EQ(block, before);
}

TEST(NameLookup, ReplacementKeepsEverySizeRight) {
    struct Case {
        const char* name;
        std::string name_data;
        Text translation;
    };
    const Case cases[] = {
        {"longer", std::string("Foo\0", 4), "Nebelhain Wald"},
        {"shorter", std::string("Foo Town\0", 9), "Ort"},
        {"empty", std::string("Foo\0", 4), ""},
        {"inner zero byte replaced too", std::string("Fo\0o\0", 5), "Bar"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto block = record_named(c.name_data);
        const auto key = subrecord_text(block, name_of(block), TextKind::Terminated);
        const auto result =
            lookup_name(block, name_of(block), index_of({}), index_of({{key, c.translation}}));
        EXPECT_EQ(result.code, LookupCode::ShippedOriginal);
        EXPECT_EQ(block, record_named(c.translation + '\0'));
    }
}

TEST(NameIndex, AgreesWithScanningTheFileFromItsStart) {
    const std::vector<Text> texts = {"", "a", "b", "A", "ab", "a "};
    for (const unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        std::uniform_int_distribution<std::size_t> pick(0, texts.size() - 1);
        std::vector<PairEntry> entries;
        for (int i = 0; i < 300; ++i) {
            entries.push_back({texts[pick(random)], texts[pick(random)]});
        }
        // The index views the texts it holds; a move must not leave it viewing freed ones.
        NameIndex built = index_of(entries);
        const NameIndex index = std::move(built);
        for (const auto& key : {"", "a", "b", "A", "ab", "a ", "c"}) {
            SCOPED_TRACE(key);
            std::optional<std::size_t> any;
            std::optional<std::size_t> original;
            for (std::size_t i = 0; i < entries.size(); ++i) {
                if (!original && entries[i][0] == key) {
                    original = i;
                }
                if (!any && (entries[i][0] == key || entries[i][1] == key)) {
                    any = i;
                }
            }
            EXPECT_EQ(index.first_match(key), any);
            EXPECT_EQ(index.first_original_match(key), original);
        }
    }
}

} // namespace
} // namespace orv
