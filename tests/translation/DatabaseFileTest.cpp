#include "translation/DatabaseFile.h"
#include "translation/TranslationDatabase.h"

#include <gtest/gtest.h>

#include "MemoryFiles.h"
#include "fixtures/PluginBuilder.h"
#include "translation/ExternalDatabase.h"

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

TEST(TranslationDatabase, ReadsEachFileOnceKeepsTheFirstFailureAndLimitsLaterFiles) {
    test::MemoryFiles files;
    files.put("prog/data/Celldata.dat", encode_pair_file({{"Foo Town", "Nebelhain"}}));
    files.put("prog/dataextra/Extradata.dat", encode_pair_file({{"FFFF", "FFFF"}}));
    files.put("prog/data/Skildata.dat", encode_triple_file({{"Block", "Block", "Blocken"}}));
    TranslationDatabase database(files, "prog");
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        EXPECT_EQ(database.data_pairs("Celldata.dat").first_original_match("Foo Town"), 0u);
        EXPECT_EQ(database.external().first_match("FFFF"), 0u);
        EXPECT_EQ(database.data_triples("Skildata.dat").entries.size(), 1u);
        EXPECT_EQ(database.data_pairs("Regndata.dat").size(), 0u);
        EXPECT_EQ(files.operation_count(), 4);
    }
    // A missing file is no failure; a file that cannot be read is, and the first one stays.
    EXPECT_FALSE(database.read_error());
    files.put("prog/data/Actidata.dat", encode_pair_file({{"Lever", "Hebel"}}));
    files.put("prog/data/Txtbookdata.dat", encode_triple_file({{"a", "b", "c"}}));
    files.fail_operation(1, test::FileOperation::Read);
    EXPECT_EQ(database.data_pairs("Actidata.dat").size(), 0u);
    files.fail_operation(1, test::FileOperation::Read);
    EXPECT_EQ(database.data_triples("Txtbookdata.dat").entries.size(), 0u);
    ASSERT_TRUE(database.read_error());
    EXPECT_EQ(database.read_error()->kind, ErrorKind::ReadFailed);
    EXPECT_NE(database.read_error()->message.find("Actidata.dat"), Text::npos);

    // Pair files read after a limit keep every entry holding a key, in file order.
    const std::vector<PairEntry> names = {{"Lever", "Hebel"}, {"Torch", "Fackel"}, {"Hebel", "G"}};
    files.put("prog/data/Armodata.dat", encode_pair_file(names));
    database.limit_pairs_to(TextKeySet{"Hebel", "Unknown"});
    EXPECT_EQ(database.data_pairs("Armodata.dat").file().entries,
              (std::vector<PairEntry>{names[0], names[2]}));
    EXPECT_EQ(database.data_pairs("Celldata.dat").size(), 1u);

    // A file another program shortened while it was read gives no entries and is the read
    // error, however it is read.
    files.shorten_while_read("prog/data/Actidata.dat");
    files.shorten_while_read("prog/data/Txtbookdata.dat");
    TranslationDatabase lazy(files, "prog");
    EXPECT_EQ(lazy.data_triples("Txtbookdata.dat").entries.size(), 0u);
    ASSERT_TRUE(lazy.read_error());
    EXPECT_NE(lazy.read_error()->message.find("Txtbookdata.dat"), Text::npos);
    TranslationDatabase preloaded(files, "prog");
    const std::vector<std::string_view> both = {"Armodata.dat", "Actidata.dat"};
    preloaded.preload_pairs(both);
    EXPECT_EQ(preloaded.data_pairs("Actidata.dat").size(), 0u);
    EXPECT_EQ(preloaded.data_pairs("Armodata.dat").size(), 3u);
    ASSERT_TRUE(preloaded.read_error());
    EXPECT_NE(preloaded.read_error()->message.find("Actidata.dat"), Text::npos);
}

TEST(TranslationDatabase, PreloadReadsInTheGivenOrderAndGivesWhatFirstUseWouldGive) {
    test::MemoryFiles files;
    // Enough files, of enough entries, that both threads index some.
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
    const TextKeySet keys = {"Name 0-0", "Wort 3-299", "Name 7-150", "Name 5-17", "none"};
    TranslationDatabase lazy(files, "prog");
    lazy.limit_pairs_to(keys);
    TranslationDatabase preloaded(files, "prog");
    preloaded.limit_pairs_to(keys);
    const std::vector<std::string_view> order = {names[3], names[0], names[3], "Missing.dat",
                                                 names[7], names[5], names[1]};
    const int before = files.operation_count();
    preloaded.preload_pairs(order);
    std::vector<std::string> read;
    for (auto k = static_cast<std::size_t>(before); k < files.operation_log().size(); ++k) {
        read.push_back(files.operation_log()[k].describe());
    }
    EXPECT_EQ(read,
              (std::vector<std::string>{"read prog/data/File3.dat", "read prog/data/File0.dat",
                                        "read prog/data/Missing.dat", "read prog/data/File7.dat",
                                        "read prog/data/File5.dat", "read prog/data/File1.dat"}));
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        EXPECT_EQ(preloaded.data_pairs(name).file().entries, lazy.data_pairs(name).file().entries);
    }
    EXPECT_EQ(preloaded.data_pairs("File3.dat").size(), 1u);
    EXPECT_EQ(preloaded.data_pairs("Missing.dat").size(), 0u);
    EXPECT_FALSE(preloaded.read_error());

    // The first file in the given order that cannot be read is the error kept.
    TranslationDatabase failing(files, "prog");
    files.fail_operation(2, test::FileOperation::Read);
    const std::vector<std::string_view> two = {names[2], names[4], names[6]};
    failing.preload_pairs(two);
    ASSERT_TRUE(failing.read_error());
    EXPECT_NE(failing.read_error()->message.find("File4.dat"), Text::npos);
    EXPECT_EQ(failing.data_pairs(names[6]).size(), 300u);
}

TEST(TranslationDatabase, TextLookupTakesTheFirstEntryOfTheId) {
    // "Name 074972" and "Name 097288" have hashes that agree in the 32 bits the index keeps.
    TripleFile texts{{{"a", "en 1", "de 1"},
                      {"b", "a", "x"},
                      {"a", "en 2", "de 2"},
                      {"", "e", "de 3"},
                      {"Name 074972", "c", "de 4"}}};
    // Enough IDs, some repeated, that probes run past taken slots.
    for (int i = 0; i < 40; ++i) {
        texts.entries.push_back({"id" + std::to_string(i % 30), "en", "de " + std::to_string(i)});
    }
    const TextDatabaseIndex index(texts);
    const std::vector<std::pair<Text, std::optional<Text>>> cases = {
        {"a", "de 1"},     {"A", std::nullopt},     {"en 1", std::nullopt},        {"b", "x"},
        {"", "de 3"},      {"Name 074972", "de 4"}, {"Name 097288", std::nullopt}, {"id3", "de 3"},
        {"id29", "de 29"}, {"id30", std::nullopt}};
    for (const auto& [id, translated] : cases) {
        SCOPED_TRACE(id);
        const TripleEntry* entry = index.find(id);
        EXPECT_EQ(entry ? std::optional<Text>((*entry)[2]) : std::nullopt, translated);
    }
}

} // namespace
} // namespace orv
