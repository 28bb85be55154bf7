// The database files, their indexes and the name lookup over them.
#include "translation/DatabaseFile.h"
#include "translation/TranslationDatabase.h"

#include <gtest/gtest.h>

#include <memory>
#include <span>

#include "MemoryFiles.h"
#include "fixtures/PluginBuilder.h"
#include "translation/ExternalDatabase.h"
#include "translation/NameLookup.h"
#include "translation/TextKeys.h"

namespace orv {
namespace {

using fixtures::bytes_of;
using namespace std::string_literals;

template <typename File>
std::tuple<std::size_t, bool, std::size_t> summary(const File& file) {
    return {file.entries.size(), file.damaged, file.damaged_at};
}

TEST(DatabaseFile, BrokenEntryEndsTheEntries) {
    // Pairs ("a", "bc") in 11 bytes and ("", "d") in 9; as triples, ("d", ...) is at 15.
    const std::string whole = "\x01\0\0\0a\x02\0\0\0bc\0\0\0\0\x01\0\0\0d"s;
    const std::string next = "\x01\0\0\0x\x01\0\0\0y"s;
    std::string many;
    for (int k = 0; k < 300; ++k) {
        many += next;
    }
    EXPECT_EQ(parse_pair_file(bytes_of(whole)).entries,
              (std::vector<PairEntry>{{"a", "bc"}, {"", "d"}}));
    const struct {
        const char* name;
        std::string bytes;
        bool triples, damaged;
        std::size_t entries, damaged_at;
    } cases[] = {
        {"empty file", "", false, false, 0, 0},
        {"whole entries", whole, false, false, 2, 0},
        {"count cut short", whole + "\x01\0\0"s, false, true, 2, 20},
        {"translation missing", whole + "\x01\0\0\0x"s, false, true, 2, 20},
        {"text exactly to the end", whole + "\0\0\0\0\x03\0\0\0xyz"s, false, false, 3, 0},
        {"text one byte past the end", whole + "\0\0\0\0\x04\0\0\0xyz"s, false, true, 2, 20},
        {"huge count", whole + "\xFF\xFF\xFF\xFF"s + next, false, true, 2, 20},
        {"huge first count", "\0\0\0\x80"s + next, false, true, 0, 0},
        {"nothing after a broken entry", next + "\x05\0\0\0ab"s + next, false, true, 1, 10},
        {"broken after many entries", many + "\x01\0\0\0x"s, false, true, 300, 3000},
        {"whole triples", whole + std::string(8, '\0'), true, false, 2, 0},
        {"third text missing", whole + std::string(4, '\0'), true, true, 1, 15},
    };
    // Limited to keys that every entry holds, a pair file keeps all entries and the damage.
    const TextKeySet every_text = {"a", "d", "x", "y", "xyz"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes bytes = bytes_of(c.bytes);
        const auto expected = std::tuple(c.entries, c.damaged, c.damaged_at);
        if (c.triples) {
            EXPECT_EQ(summary(parse_triple_file(bytes)), expected);
            continue;
        }
        EXPECT_EQ(summary(parse_pair_file(bytes)), expected);
        EXPECT_EQ(summary(parse_pair_file(bytes, every_text)), expected);
    }
}

TEST(ExternalDatabase, ResetLeavesExactlyTheSentinelPairOrTheOldFile) {
    test::MemoryFiles files;
    files.require_folders(true);
    files.put("prog/dataextra/Extradata.dat", bytes_of("old"));
    // The folder cannot be made: nothing is written (the atomic write owns later failures).
    files.fail_operation(1, test::FileOperation::CreateDirectories);
    const auto failed = reset_external_database(files, "prog/dataextra/Extradata.dat");
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error().kind, ErrorKind::CreateFailed);
    EXPECT_EQ(files.get("prog/dataextra/Extradata.dat"), bytes_of("old"));
    // A missing folder is created with the file.
    for (const char* path : {"prog/dataextra/Extradata.dat", "other/dataextra/Extradata.dat"}) {
        ASSERT_TRUE(reset_external_database(files, path));
        EXPECT_EQ(files.get(path), bytes_of("\x04\0\0\0FFFF\x04\0\0\0FFFF"s));
    }
}

TEST(ExternalDatabase, QuestionNamesTheFileInCapitals) {
    EXPECT_EQ(reset_question(std::filesystem::path(u8"C:/Spiele/dataextra/Übersetzung_größe.dat")),
              cp1252(u8"LÖSCHT DIE EXTERNE DATENBANK NUR WENN IHR EUCH SICHER\rSEID, DASS IHR DIE "
                     u8"ENTHALTENEN DATEN NICHT FÜR ZUKÜNFTIGE\rÜBERSETZUNGEN BENÖTIGT.\r\r"
                     u8"AKTUELLE DATEI : ÜBERSETZUNG_GRÖßE.DAT\r\r                EXTERNE "
                     u8"DATENBANK LÖSCHEN?"));
}

// Each file is read once, on first use or ahead of it in a given order, and gives the same
// entries either way. Pair files read after a limit keep the entries holding a key, in file
// order. A missing file is no failure; the first file that cannot be read, or that another
// program shortened while it was read, is the error kept, and gives no entries.
TEST(TranslationDatabase, ReadsEachFileOnceLimitsLaterFilesAndKeepsTheFirstFailure) {
    test::MemoryFiles files;
    // Enough files, of enough entries, that both threads of a preload index some.
    std::vector<std::string> names;
    for (int file = 0; file < 8; ++file) {
        std::vector<PairEntry> entries;
        for (int entry = 0; entry < 300; ++entry) {
            const std::string suffix = std::to_string(file) + "-" + std::to_string(entry);
            entries.push_back({"Name " + suffix, "Wort " + suffix});
        }
        names.push_back("File" + std::to_string(file) + ".dat");
        files.put("prog/data/" + names.back(), encode_pair_file(entries));
    }
    files.put("prog/data/Celldata.dat", encode_pair_file({{"Foo Town", "Nebelhain"}}));
    files.put("prog/dataextra/Extradata.dat", encode_pair_file({{"FFFF", "FFFF"}}));
    files.put("prog/data/Skildata.dat", encode_triple_file({{"Block", "Block", "Blocken"}}));
    TranslationDatabase lazy(files, "prog");
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(lazy.data_pairs("Celldata.dat").first_original_match("Foo Town"), 0u);
        EXPECT_EQ(lazy.external().first_match("FFFF"), 0u);
        EXPECT_EQ(lazy.data_triples("Skildata.dat").entries.size(), 1u);
        EXPECT_EQ(lazy.data_pairs("Missing.dat").size(), 0u);
        EXPECT_EQ(files.operation_count(), 4);
    }
    const TextKeySet keys = {"Name 0-0", "Wort 3-299", "Name 7-150", "Name 5-17", "none"};
    lazy.limit_pairs_to(keys);
    TranslationDatabase preloaded(files, "prog");
    preloaded.limit_pairs_to(keys);
    const std::vector<std::string_view> order = {names[3], names[0], names[3], "Missing.dat",
                                                 names[7], names[5], names[1]};
    preloaded.preload_pairs(order);
    EXPECT_EQ(files.described_since(4),
              (std::vector<std::string>{"read prog/data/File3.dat", "read prog/data/File0.dat",
                                        "read prog/data/Missing.dat", "read prog/data/File7.dat",
                                        "read prog/data/File5.dat", "read prog/data/File1.dat"}));
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        EXPECT_EQ(preloaded.data_pairs(name).file().entries, lazy.data_pairs(name).file().entries);
    }
    EXPECT_EQ(preloaded.data_pairs("File3.dat").file().entries,
              (std::vector<PairEntry>{{"Name 3-299", "Wort 3-299"}}));
    EXPECT_EQ(lazy.data_pairs("Celldata.dat").size(), 1u);
    EXPECT_FALSE(lazy.read_error() || preloaded.read_error());

    files.put("prog/data/Txtbookdata.dat", encode_triple_file({{"a", "b", "c"}}));
    for (const bool shortened : {false, true}) {
        SCOPED_TRACE(shortened);
        if (shortened) {
            files.shorten_while_read("prog/data/File4.dat");
            files.shorten_while_read("prog/data/Txtbookdata.dat");
        } else {
            files.fail_operation(2, test::FileOperation::Read);
        }
        TranslationDatabase failing(files, "prog");
        const std::vector<std::string_view> two = {names[2], names[4], names[6]};
        failing.preload_pairs(two);
        EXPECT_EQ(failing.data_pairs(names[4]).size(), 0u);
        EXPECT_EQ(failing.data_pairs(names[6]).size(), 300u);
        if (!shortened) {
            files.fail_operation(1, test::FileOperation::Read);
        }
        EXPECT_EQ(failing.data_triples("Txtbookdata.dat").entries.size(), 0u);
        ASSERT_TRUE(failing.read_error());
        EXPECT_EQ(failing.read_error()->kind, ErrorKind::ReadFailed);
        EXPECT_NE(failing.read_error()->message.find("File4.dat"), Text::npos);
        TranslationDatabase lazy_failing(files, "prog");
        EXPECT_EQ(lazy_failing.data_triples("Txtbookdata.dat").entries.size(), shortened ? 0u : 1u);
        EXPECT_EQ(lazy_failing.read_error().has_value(), shortened);
    }
}

TEST(TranslationDatabase, TextLookupTakesTheFirstEntryOfTheId) {
    // Keyed by the ID alone, in its letter case; probes past taken slots and keys whose
    // hashes match are the lookup table's own tests.
    const TripleFile texts{{{"a", "en 1", "de 1"}, {"b", "a", "x"}, {"a", "en 2", "de 2"}}};
    const TextDatabaseIndex index(texts);
    const std::vector<std::pair<Text, std::optional<Text>>> cases = {
        {"a", "de 1"}, {"A", std::nullopt}, {"en 1", std::nullopt}, {"b", "x"}};
    for (const auto& [id, translated] : cases) {
        SCOPED_TRACE(id);
        const TripleEntry* entry = index.find(id);
        EXPECT_EQ(entry ? std::optional<Text>((*entry)[2]) : std::nullopt, translated);
    }
}

Block record_named(std::string_view name_data) {
    return fixtures::RecordBuilder("ACTI").text("NAME", "id").raw("FNAM", name_data).bytes();
}

// The loader's lookup test sees every code with its mark: the external database's translation
// first, then the shipped one, then a German name either of them holds; a name no file knows,
// and a name with zero bytes inside that becomes its translation. Here what it does not see:
// names match in their letter case only, and a name equal to its translation keeps its bytes.
TEST(NameLookup, CodesPrecedenceAndTheBlockAfter) {
    const struct {
        std::string data;
        std::vector<PairEntry> external, shipped;
        int code;
        Text english;
        std::string data_after;
    } cases[] = {
        {"Foo\0"s, {{"foo", "A"}}, {{"FOO", "B"}, {"A", "fOO"}}, 0, "", "Foo\0"s},
        // The key leaves inner zero bytes out; an equal translation must keep them.
        {"Fo\0o\0\0"s, {}, {{"Foo", "Foo"}}, 3, "Foo", "Fo\0o\0\0"s},
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
    std::vector<PairEntry> entries = {{"a", "b"},        {"b", "a"},      {"c", "a"},
                                      {"", "c"},         {collides, "x"}, {"y", collided},
                                      {"F\0s"s, "Fass"}, {"a", "b"}};
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
    // Each key with the first entry holding it anywhere, and the first holding it as original.
    const std::tuple<Text, std::optional<std::size_t>, std::optional<std::size_t>> cases[] = {
        {"a", 0, 0},     {"b", 0, 1},      {"c", 2, 2},       {"", 3, 3},      {"A", {}, {}},
        {"a ", {}, {}},  {collides, 4, 4}, {collided, 5, {}}, {"F\0s"s, 6, 6}, {"Fass", 6, {}},
        {"\0"s, {}, {}}, {"Fas", {}, {}},  {"n0", 8, 8},      {"t19", 27, {}}, {"n", {}, {}},
    };
    std::vector<TextView> questions;
    std::vector<char> expected;
    for (const auto& [key, any, original] : cases) {
        SCOPED_TRACE(key);
        EXPECT_EQ(index.first_match(key), any);
        EXPECT_EQ(index.first_original_match(key), original);
        EXPECT_EQ(keys.contains(key), any.has_value());
        questions.push_back(key);
        expected.push_back(any.has_value());
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
