#include "translation/PluginLoader.h"

#include <gtest/gtest.h>

#include <string>

#include "DialogueRecords.h"
#include "LearnFixtures.h"
#include "MemoryFiles.h"
#include "fixtures/PluginBuilder.h"
#include "translation/DatabaseFile.h"
#include "translation/Responses.h"
#include "translation/TranslationMemory.h"

namespace orv {
namespace {

using fixtures::plugin;
using fixtures::RecordBuilder;
using test::named;
using namespace std::string_literals;

// Each row as "mark (or skill index)|ID|EV Name|DV Name|block number".
using Rows = std::vector<Text>;

Text row(const Text& first, const auto& e) {
    return first + "|" + e.id + "|" + e.ev_name + "|" + e.dv_name + "|" + std::to_string(e.block);
}

Rows rows_of(const std::vector<Element>& elements) {
    Rows rows;
    for (const auto& e : elements) {
        rows.push_back(row(e.mark.text(), e));
    }
    return rows;
}

class RecordingView final : public LoaderView {
public:
    void show_progress(const Text& text) override { progress.push_back(text); }
    void show_rows(int list_index, const std::vector<Element>& elements) override {
        shown.emplace_back(list_index, rows_of(elements));
    }
    void report_replaced_names(std::size_t count) override { replaced = count; }

    std::vector<Text> progress;
    std::vector<std::pair<int, Rows>> shown;
    std::size_t replaced = 0;
};

// A cell or path grid, whose NAME is ID and name at once.
Bytes place(std::string_view tag, std::string_view name) {
    return RecordBuilder(tag).text("NAME", name).bytes();
}

class PluginLoaderTest : public ::testing::Test {
protected:
    void put(std::string_view file_name, const std::vector<PairEntry>& entries) {
        files.put(data_file_path("prog", file_name), encode_pair_file(entries));
    }

    // `hand_over` loads through the overload that takes the file's bytes.
    Result<void> load(const Bytes& file, bool hand_over = false,
                      LoadScope scope = LoadScope::Whole) {
        view = RecordingView{};
        TranslationDatabase database(files, "prog");
        return hand_over ? load_plugin(FileContents(Bytes(file)), database, store, lists, view)
                         : load_plugin(file, database, store, lists, view, scope);
    }

    // Loads the file as the window and the batch tool do: read by the files, then handed over.
    Result<void> load_read(const std::filesystem::path& path) {
        view = RecordingView{};
        TranslationDatabase database(files, "prog");
        auto contents = files.read_contents(path);
        return contents ? load_plugin(std::move(*contents), database, store, lists, view)
                        : Result<void>(contents.error());
    }

    Rows rows(int list_index) const { return rows_of(lists.list(list_index).elements); }

    // Names of every lookup result, in the files of several kinds, and skills.
    void put_lookup_database() {
        files.put(external_database_path("prog"),
                  encode_pair_file({{"FFFF", "FFFF"}, {"Crate", "Kiste"}, {"Barrel", "Fass"}}));
        // "Rope" becomes a text with a zero byte inside, which reads as "Rope" again: no
        // change.
        put("Actidata.dat", {{"Lever", "Hebel"},
                             {"Torch", "Fackel"},
                             {"Barrel", "Tonne"},
                             {"Rope", "Ro\0pe"s},
                             {"Anvil", "Amboss"}});
        put("Celldata.dat", {{"Foo Town", "Fuchsstadt"}});
        // The region file is asked for path grids only, and only when the cell file fails.
        put("Regndata.dat", {{"Moor", "Moorland"}, {"Fuchsstadt", "Nope"}});
        files.put(
            data_file_path("prog", kSkillTableName),
            encode_triple_file({{"sk_block", "Block", "Blocken"}, {"sk_armorer", "Armorer", "R"}}));
        put("Dialdata.dat", {{"Rumours", "Geruechte"}});
        files.put(data_file_path("prog", kResponseDatabaseName),
                  encode_triple_file({{"r1", "A rumour", "Ein Geruecht"}}));
    }

    // Records for every lookup result of put_lookup_database(), 20 of them, then responses. A name
    // with a zero byte inside is asked for as it reads: only the database entries of the plugin's
    // names are kept, and its entry would be dropped before the lookup.
    static std::vector<Bytes> lookup_records() {
        return {named("ACTI", "thing", "Thing"), named("ACTI", "lever", "Lever"),
                named("ACTI", "crate", "Kiste"), named("ACTI", "torch", "Fackel"),
                named("ACTI", "barrel", "Barrel"), RecordBuilder("ACTI").text("NAME", "x").bytes(),
                place("CELL", "Foo Town"), place("CELL", "Moor"), place("PGRD", "Foo Town"),
                place("PGRD", "Moor"), place("PGRD", "Wild"), named("REGN", "moor_region", "Moor"),
                place("CELL", ""), place("PGRD", ""),
                // Skills take their table entry by index.
                RecordBuilder("SKIL").u32("INDX", 1).raw("DESC", "Fixing").bytes(),
                RecordBuilder("SKIL").u32("INDX", 0).bytes(),
                RecordBuilder("SKIL").u32("INDX", 2).bytes(), RecordBuilder("SKIL").bytes(),
                named("ACTI", "rope", "Rope"), named("ACTI", "anvil", "An\0vil"s),
                test::topic("Rumours"), test::info("r1", "A rumour"), test::info("r2", "Another"),
                test::topic("quest", '\x04'), test::info("j1", "Entry")};
    }

    Rows skill_rows() const {
        Rows skills;
        for (const auto& s : lists.skills()) {
            skills.push_back(row(std::to_string(s.skill_index), s));
        }
        return skills;
    }

    // Each list's rows, the skills, and each response as
    // "kind|topic|ID|original|mark|current text|block<topic block".
    std::vector<Rows> sections() const {
        std::vector<Rows> all;
        for (int list_index = 0; list_index < kObjectListCount; ++list_index) {
            all.push_back(rows(list_index));
        }
        all.push_back(skill_rows());
        Rows& responses = all.emplace_back();
        for (const auto& r : lists.responses()) {
            responses.push_back(Text(response_kind_label(r.kind)) + "|" + r.topic + "|" + r.id +
                                "|" + r.original + "|" + r.mark.text() + "|" +
                                current_response_text(store, r) + "|" + std::to_string(r.block) +
                                "<" + std::to_string(r.topic_block));
        }
        return all;
    }

    test::MemoryFiles files;
    BlockStore store;
    ObjectLists lists;
    RecordingView view;
};

// The responses are loaded beside the rows and read their topics' names as the topics' rows
// leave them. A plugin large enough that its records are described on two threads must give
// each copy of the records as one copy alone does, behind the copies before it.
TEST_F(PluginLoaderTest, RowsFollowTheLookupResultInRecordOrderOfALargePlugin) {
    put_lookup_database();
    // The header record is never a row, even when tagged and named like a cell.
    Bytes file = RecordBuilder("CELL").text("NAME", "Foo Town").raw("DATA", Text(299, 'p')).bytes();
    const std::vector<Bytes> records = lookup_records();
    for (const Bytes& record : records) {
        file.insert(file.end(), record.begin(), record.end());
    }
    ASSERT_TRUE(load(file));
    EXPECT_EQ(rows(3),
              (Rows{"|thing|Thing|Thing|1", "B|lever|Lever|Hebel|2", "\xDC|crate|Crate|Kiste|3",
                    "B|torch|Torch|Fackel|4", "\xDC|barrel|Barrel|Fass|5", "E|x|||6",
                    "B|rope|Rope|Rope|19", "B|anvil|Anvil|Amboss|20"}));
    EXPECT_EQ(rows(kCellType), (Rows{"B|Foo Town|Foo Town|Fuchsstadt|7", "|Moor|Moor|Moor|8"}));
    EXPECT_EQ(rows(kPathGridType),
              (Rows{"B|Foo Town|Foo Town|Fuchsstadt|9", "B|Moor|Moor|Moorland|10",
                    "|Wild|Wild|Wild|11", "E||||14"}));
    EXPECT_EQ(rows(kRegionType), (Rows{"B|moor_region|Moor|Moorland|12"}));
    EXPECT_EQ(skill_rows(), (Rows{"1|sk_armorer|Armorer|R|15", "0|sk_block|Block|Blocken|16",
                                  "2||||17", "0||||18"}));
    const std::vector<Rows> one = sections();
    EXPECT_EQ(one.back(), (Rows{"Dialog|Geruechte|r1|A rumour|B|Ein Geruecht|22<21",
                                "Dialog|Geruechte|r2|Another||Another|23<21",
                                "Journal|quest|j1|Entry||Entry|25<24"}));
    // Only names that were originals now hold their translation.
    EXPECT_EQ(store.block(2), named("ACTI", "lever", "Hebel"));
    EXPECT_EQ(view.replaced, 8u);

    constexpr int kCopies = 250;
    std::vector<Bytes> many;
    for (int copy = 0; copy < kCopies; ++copy) {
        many.insert(many.end(), records.begin(), records.end());
    }
    ASSERT_TRUE(load(plugin(many)));
    // Every block number of a line (after its last '|') moves by the records before its copy.
    std::vector<Rows> expected(one.size());
    for (std::size_t section = 0; section < one.size(); ++section) {
        for (int copy = 0; copy < kCopies; ++copy) {
            for (const Text& line : one[section]) {
                const int by = copy * static_cast<int>(records.size());
                const auto bar = line.rfind('|') + 1;
                const auto less = line.find('<', bar);
                Text& moved = expected[section].emplace_back(line.substr(0, bar));
                moved += std::to_string(std::stoi(line.substr(bar)) + by);
                if (less != Text::npos) {
                    moved += "<" + std::to_string(std::stoi(line.substr(less + 1)) + by);
                }
            }
        }
    }
    EXPECT_EQ(sections(), expected);
    EXPECT_EQ(view.replaced, 8u * kCopies);
    // Progress for every block in order, the header's included.
    const std::size_t count = many.size();
    ASSERT_EQ(view.progress.size(), 2 * (count + 1));
    for (std::size_t k = 0; k <= count; ++k) {
        EXPECT_EQ(view.progress[count + 1 + k],
                  cp1252(u8"Blöcke gelesen : ") + std::to_string(k) + " / " + std::to_string(count))
            << k;
    }
}

TEST_F(PluginLoaderTest, NameFilesAreReadInTheOrderOfTheFirstRecordOfTheirKind) {
    // Large enough to be surveyed in two halves, cells in the first and activators in the
    // second: the first unreadable file in this order is the error the load reports, whichever
    // half finishes first.
    std::vector<Bytes> records;
    for (int k = 0; k < 2100; ++k) {
        records.push_back(place("CELL", "Town " + std::to_string(k)));
    }
    for (int k = 0; k < 2100; ++k) {
        records.push_back(named("ACTI", "a" + std::to_string(k), "Thing"));
    }
    const auto before = static_cast<std::size_t>(files.operation_count());
    ASSERT_TRUE(load(plugin(records)));
    std::vector<std::string> name_files = files.described_since(before);
    std::erase_if(name_files, [](const std::string& read) { return !read.ends_with("data.dat"); });
    // The object lists' files first; the external database and the texts' files follow.
    ASSERT_GE(name_files.size(), 2u);
    name_files.resize(2);
    EXPECT_EQ(name_files, (std::vector<std::string>{"read prog/data/Celldata.dat",
                                                    "read prog/data/Actidata.dat"}));
}

TEST_F(PluginLoaderTest, EveryKindGetsItsRowsFromItsTagAndNameSubrecord) {
    // Neither a lower-case tag nor a kind outside the table gets a row.
    std::vector<Bytes> records = {named("acti", "lower", "Name 3"),
                                  RecordBuilder("GMST").raw("STRV", "Name 0").bytes()};
    std::vector<std::pair<int, Rows>> expected;
    for (const auto& type : kRecordTypes) {
        const Text label(type.label);
        RecordBuilder record(type.tag);
        record.text(type.name_subrecord, label);
        if (type.index == kTopicType) {
            record.raw("DATA", std::string(1, '\0'));
        }
        records.push_back(record.bytes());
        expected.emplace_back(type.index, Rows{"|" + label + "|" + label + "|" + label + "|" +
                                               std::to_string(records.size())});
    }
    ASSERT_TRUE(load(plugin(records)));
    EXPECT_EQ(view.shown, expected);
}

TEST_F(PluginLoaderTest, RefusedFileOrUnreadableDatabaseKeepsTheLoadedPlugin) {
    files.put(external_database_path("prog"), encode_pair_file({{"Town", "Stadt"}}));
    ASSERT_TRUE(load(plugin({place("CELL", "Town"), RecordBuilder("SKIL").bytes()}, 1)));
    lists.sort_by_column(kCellType, Column::Id);
    Bytes past_end = plugin({place("CELL", "Second Town")});
    past_end.pop_back();
    files.put("shortened.esp", plugin({place("CELL", "Other")}));
    files.shorten_while_read("shortened.esp");
    // Listing names untranslated when a database file exists but cannot be read would let
    // the next save drop the user's translations. A file shortened by another program while
    // it was read is whole in itself, but not the file.
    for (const int refusal : {0, 1, 2, 3}) {
        SCOPED_TRACE(refusal);
        if (refusal == 2) {
            files.fail_operation(1, test::FileOperation::Read);
        }
        const Bytes file = refusal == 0   ? Bytes(100)
                           : refusal == 1 ? past_end
                                          : plugin({place("CELL", "Other")});
        const auto loaded = refusal == 3 ? load_read("shortened.esp") : load(file, refusal == 1);
        ASSERT_FALSE(loaded);
        EXPECT_EQ(loaded.error().kind,
                  refusal < 2 ? ErrorKind::UnusableFile : ErrorKind::ReadFailed);
        EXPECT_TRUE(view.shown.empty());
        EXPECT_EQ(store.file_type(), 1);
        EXPECT_EQ(rows(kCellType), Rows{"\xDC|Town|Town|Stadt|1"});
        EXPECT_EQ(lists.skills().size(), 1u);
    }
    // A good file then replaces everything but the lists' sort directions.
    ASSERT_TRUE(load(plugin({named("ACTI", "lever", "Lever")}), true));
    EXPECT_EQ(store.file_type(), 0);
    EXPECT_TRUE(lists.list(kCellType).elements.empty() && lists.skills().empty());
    EXPECT_EQ(rows(3), Rows{"|lever|Lever|Lever|1"});
    EXPECT_EQ(lists.list(kCellType).sort_direction, -1);
}

TEST_F(PluginLoaderTest, TheMemoryTranslatesAfterTheExternalDatabaseAndBeforeTheShippedFiles) {
    constexpr int kActivator = 3;
    files.put(external_database_path("prog"),
              encode_pair_file({{"FFFF", "FFFF"}, {"Crate", "Kiste"}}));
    put("Actidata.dat", {{"Lever", "Hebel"}, {"Crate", "Kasten"}, {"Torch", "Fackel"}});
    // clang-format off
    files.put(memory_path("prog"), encode_memory({
        {kActivator, "Lever", "Schalthebel", "2024-01-01", "de.esp"},
        {kActivator, "Crate", "Truhe", "2024-01-01", ""},
        {kActivator, "Handle", "Griff", "2024-01-01", ""},
        {16, "Rope", "Seil", "2024-01-01", ""},
        {kCellType, "Hall", "Halle", "2024-01-01", ""},
        {kFirstTextMemory, "Once.", "Einst.", "2024-01-01", "de.esp"},
        {kDialogMemory, "Hello.", "Hallo.", "2024-01-01", "de.esp"},
        {kScriptTextMemory, "Yes", "Ja", "2024-01-01", "de.esp"},
    }));
    const std::vector<Bytes> records = {
        named("ACTI", "a", "Lever"), named("ACTI", "b", "Crate"), named("ACTI", "c", "Griff"),
        named("ACTI", "d", "Rope"), named("ACTI", "e", "Torch"),
        test::book("tome", "Tome", "Once."),
        test::topic("hi"), test::info("1", "Hello.", "Choice \"Yes\" 1 \"No\" 2"),
        place("PGRD", "Hall")};
    ASSERT_TRUE(load(plugin(records)));
    // The memory's names count as shipped ones; the external database still comes first,
    // and a line of another list translates nothing here.
    EXPECT_EQ(rows(kActivator), (Rows{"B|a|Lever|Schalthebel|1", "\xDC|b|Crate|Kiste|2",
                                      "B|c|Handle|Griff|3", "|d|Rope|Rope|4", "B|e|Torch|Fackel|5"}));
    // clang-format on
    // A path grid takes its cell's name.
    EXPECT_EQ(rows(kPathGridType), Rows{"B|Hall|Hall|Halle|9"});
    EXPECT_EQ(store.block(6), test::book("tome", "Tome", "Einst."));
    ASSERT_EQ(lists.responses().size(), 1u);
    const auto& response = lists.responses()[0];
    EXPECT_EQ(response.mark, mark::kShipped);
    EXPECT_EQ(response.original, "Hello.");
    // Only the script's known text changes; the rest of it stays byte for byte.
    EXPECT_EQ(store.block(8), test::info("1", "Hallo.", "Choice \"Ja\" 1 \"No\" 2"));
    EXPECT_EQ(response.original_script, "Choice \"Yes\" 1 \"No\" 2");

    // The name rows alone are the same rows; the other texts stay as the file has them, and
    // the response database, which here cannot be read, is not asked.
    const Rows activators = rows(kActivator);
    const auto responses_path = data_file_path("prog", kResponseDatabaseName);
    files.put(responses_path, encode_triple_file({}));
    files.shorten_while_read(responses_path);
    ASSERT_FALSE(load(plugin(records)));
    ASSERT_TRUE(load(plugin(records), false, LoadScope::NameRows));
    EXPECT_EQ(rows(kActivator), activators);
    EXPECT_EQ(rows(kPathGridType), Rows{"B|Hall|Hall|Halle|9"});
    EXPECT_TRUE(lists.responses().empty());
    EXPECT_EQ(store.block(6), records[5]);
    EXPECT_EQ(store.block(8), records[7]);
}

} // namespace
} // namespace orv
