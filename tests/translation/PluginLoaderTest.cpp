#include "translation/PluginLoader.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "MemoryFiles.h"
#include "fixtures/PluginBuilder.h"
#include "translation/DatabaseFile.h"

namespace orv {
namespace {

using fixtures::plugin;
using fixtures::RecordBuilder;

// A row as one comparable value: mark, ID, EV Name, DV Name, block number.
using Rows = std::vector<std::vector<Text>>;

Rows rows_of(const std::vector<Element>& elements) {
    Rows rows;
    for (const auto& e : elements) {
        rows.push_back({e.mark, e.id, e.ev_name, e.dv_name, std::to_string(e.block)});
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

Bytes named(std::string_view tag, std::string_view id, std::string_view name) {
    return RecordBuilder(tag).text("NAME", id).text("FNAM", name).bytes();
}

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
    Result<void> load(const Bytes& file, bool hand_over = false) {
        view = RecordingView{};
        TranslationDatabase database(files, "prog");
        return hand_over ? load_plugin(Bytes(file), database, store, lists, view)
                         : load_plugin(file, database, store, lists, view);
    }

    Rows rows(int list_index) const { return rows_of(lists.list(list_index).elements); }

    test::MemoryFiles files;
    BlockStore store;
    ObjectLists lists;
    RecordingView view;
};

TEST_F(PluginLoaderTest, MarksFollowTheLookupResult) {
    files.put(external_database_path("prog"),
              encode_pair_file({{"FFFF", "FFFF"}, {"Crate", "Kiste"}, {"Barrel", "Fass"}}));
    put("Actidata.dat",
        {{"Door Lever", cp1252(u8"Türhebel")}, {"Torch", "Fackel"}, {"Barrel", "Tonne"}});
    const std::vector<Bytes> records = {
        named("ACTI", "a_thing", "Unknown Thing"), named("ACTI", "a_lever", "Door Lever"),
        named("ACTI", "a_crate", "Kiste"),         named("ACTI", "a_torch", "Fackel"),
        named("ACTI", "a_barrel", "Barrel"),
    };
    ASSERT_TRUE(load(plugin(records)));
    const Rows expected = {
        {"", "a_thing", "Unknown Thing", "Unknown Thing", "1"},
        {"B", "a_lever", "Door Lever", cp1252(u8"Türhebel"), "2"},
        {mark::kExternal, "a_crate", "Crate", "Kiste", "3"},
        {"B", "a_torch", "Torch", "Fackel", "4"},
        {mark::kExternal, "a_barrel", "Barrel", "Fass", "5"},
    };
    EXPECT_EQ(rows(3), expected);
    // Only names that were originals now hold their translation.
    EXPECT_EQ(store.block(2), named("ACTI", "a_lever", cp1252(u8"Türhebel")));
    EXPECT_EQ(store.block(3), records[2]);
    EXPECT_EQ(view.replaced, 2u);
}

TEST_F(PluginLoaderTest, PlacesUseTheirNameAsIdAndNamelessRecordsAreMarkedE) {
    put("Celldata.dat", {{"Foo Town", "Fuchsstadt"}});
    // The region file is asked for path grids only, and only when the cell file fails.
    put("Regndata.dat", {{"Moor", "Moorland"}, {"Fuchsstadt", "Nope"}});
    ASSERT_TRUE(
        load(plugin({place("CELL", "Foo Town"), place("CELL", "Moor"), place("PGRD", "Foo Town"),
                     place("PGRD", "Moor"), place("PGRD", "Wild"),
                     named("REGN", "moor_region", "Moor"), place("CELL", ""), place("PGRD", ""),
                     RecordBuilder("ACTI").text("NAME", "plain").bytes()})));
    EXPECT_EQ(rows(kCellType), (Rows{{"B", "Foo Town", "Foo Town", "Fuchsstadt", "1"},
                                     {"", "Moor", "Moor", "Moor", "2"}}));
    EXPECT_EQ(rows(kPathGridType), (Rows{{"B", "Foo Town", "Foo Town", "Fuchsstadt", "3"},
                                         {"B", "Moor", "Moor", "Moorland", "4"},
                                         {"", "Wild", "Wild", "Wild", "5"},
                                         {"E", "", "", "", "8"}}));
    EXPECT_EQ(rows(kRegionType), (Rows{{"B", "moor_region", "Moor", "Moorland", "6"}}));
    EXPECT_EQ(rows(3), (Rows{{"E", "plain", "", "", "9"}}));
}

TEST_F(PluginLoaderTest, EveryKindUsesItsTagNameSubrecordAndDatabase) {
    std::map<std::string_view, std::vector<PairEntry>> databases;
    std::vector<Bytes> records;
    for (const auto& type : kRecordTypes) {
        const Text name = "Name " + std::to_string(type.index);
        databases[type.name_database].push_back({name, name + " DE"});
        RecordBuilder record(type.tag);
        if (type.name_subrecord == "NAME") {
            record.text("NAME", name);
        } else {
            record.text("NAME", "id_" + std::to_string(type.index)).text(type.name_subrecord, name);
        }
        records.push_back(record.bytes());
    }
    // Neither a lower-case tag nor a kind outside the table gets a row.
    records.push_back(named("acti", "lower", "Name 3"));
    records.push_back(RecordBuilder("GMST").text("NAME", "sName").raw("STRV", "Name 0").bytes());
    for (const auto& [file_name, entries] : databases) {
        put(file_name, entries);
    }
    ASSERT_TRUE(load(plugin(records)));
    ASSERT_EQ(view.shown.size(), kRecordTypes.size());
    for (const auto& type : kRecordTypes) {
        SCOPED_TRACE(type.label);
        const Text name = "Name " + std::to_string(type.index);
        const Text id =
            type.id_column == IdColumn::Name ? name : "id_" + std::to_string(type.index);
        const Rows expected = {{"B", id, name, name + " DE", std::to_string(type.index + 1)}};
        EXPECT_EQ(rows(type.index), expected);
        EXPECT_EQ(view.shown[static_cast<std::size_t>(type.index)],
                  std::make_pair(type.index, expected));
    }
}

TEST_F(PluginLoaderTest, SkillsTakeTheirTableEntryByIndex) {
    files.put(
        data_file_path("prog", kSkillTableName),
        encode_triple_file({{"sk_block", "Block", "Blocken"}, {"sk_armorer", "Armorer", "R"}}));
    ASSERT_TRUE(load(plugin({
        RecordBuilder("SKIL").u32("INDX", 1).raw("DESC", "Fixing things").bytes(),
        RecordBuilder("SKIL").u32("INDX", 0).bytes(),
        RecordBuilder("SKIL").u32("INDX", 2).bytes(),
        RecordBuilder("SKIL").u32("INDX", 0xFFFFFFFFu).bytes(),
        RecordBuilder("SKIL").bytes(),
    })));
    Rows skills;
    for (const auto& s : lists.skills()) {
        skills.push_back(
            {std::to_string(s.skill_index), s.id, s.ev_name, s.dv_name, std::to_string(s.block)});
    }
    const Rows expected = {
        {"1", "sk_armorer", "Armorer", "R", "1"},
        {"0", "sk_block", "Block", "Blocken", "2"},
        {"2", "", "", "", "3"},
        {"-1", "", "", "", "4"},
        {"0", "", "", "", "5"},
    };
    EXPECT_EQ(skills, expected);
}

TEST_F(PluginLoaderTest, HeaderRecordIsNeverARowWhateverItsTag) {
    put("Celldata.dat", {{"Foo Town", "Fuchsstadt"}});
    // A header tagged like a cell, 340 bytes long with a name the database knows.
    Bytes file = RecordBuilder("CELL").text("NAME", "Foo Town").raw("DATA", Text(299, 'p')).bytes();
    ASSERT_EQ(file.size(), 340u);
    const Bytes record = place("CELL", "Foo Town");
    file.insert(file.end(), record.begin(), record.end());
    ASSERT_TRUE(load(file));
    EXPECT_EQ(rows(kCellType), (Rows{{"B", "Foo Town", "Foo Town", "Fuchsstadt", "1"}}));
}

TEST_F(PluginLoaderTest, RefusedFileKeepsTheLoadedPlugin) {
    ASSERT_TRUE(load(plugin({place("CELL", "Town"), RecordBuilder("SKIL").bytes()}, 1)));
    const Rows cells = rows(kCellType);
    Bytes past_end = plugin({place("CELL", "Second Town")});
    past_end.pop_back();
    for (const bool hand_over : {false, true}) {
        SCOPED_TRACE(hand_over);
        ASSERT_FALSE(load(hand_over ? past_end : Bytes(100), hand_over));
        EXPECT_TRUE(view.shown.empty());
        EXPECT_EQ(store.block(1), place("CELL", "Town"));
        EXPECT_EQ(store.file_type(), 1);
        EXPECT_EQ(rows(kCellType), cells);
        EXPECT_EQ(lists.skills().size(), 1u);
    }
    // A good file then replaces everything.
    ASSERT_TRUE(load(plugin({named("ACTI", "lever", "Lever")}), true));
    EXPECT_EQ(store.block_count(), 2u);
    EXPECT_EQ(store.file_type(), 0);
    EXPECT_TRUE(lists.list(kCellType).elements.empty());
    EXPECT_TRUE(lists.skills().empty());
    EXPECT_EQ(rows(3), (Rows{{"", "lever", "Lever", "Lever", "1"}}));
    EXPECT_EQ(view.progress, (std::vector<Text>{"Lese block : HEDR", "Lese block : ACTI",
                                                cp1252(u8"Blöcke gelesen : 0 / 1"),
                                                cp1252(u8"Blöcke gelesen : 1 / 1")}));
}

TEST_F(PluginLoaderTest, UnreadableDatabaseKeepsTheLoadedPlugin) {
    files.put(external_database_path("prog"), encode_pair_file({{"Foo Town", "Fuchsstadt"}}));
    ASSERT_TRUE(load(plugin({place("CELL", "Foo Town")})));
    lists.sort_by_column(kCellType, Column::Id);
    // Listing the names untranslated would let the next save drop the user's translations.
    files.fail_operation(1, test::FileOperation::Read);
    const auto result = load(plugin({place("CELL", "Foo Town"), place("CELL", "Other")}));
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().kind, ErrorKind::ReadFailed);
    EXPECT_TRUE(view.shown.empty());
    EXPECT_EQ(store.block_count(), 2u);
    EXPECT_EQ(rows(kCellType),
              (Rows{{mark::kExternal, "Foo Town", "Foo Town", "Fuchsstadt", "1"}}));
    // The next good load keeps the list's sort direction.
    ASSERT_TRUE(load(plugin({place("CELL", "Other")})));
    EXPECT_EQ(lists.list(kCellType).sort_direction, -1);
}

} // namespace
} // namespace orv
