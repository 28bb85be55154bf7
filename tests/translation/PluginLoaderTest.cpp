#include "translation/PluginLoader.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "MemoryFiles.h"
#include "fixtures/PluginBuilder.h"
#include "plugin/PluginReader.h"
#include "plugin/Subrecord.h"
#include "translation/DatabaseFile.h"

namespace orv {
namespace {

using fixtures::plugin;
using fixtures::RecordBuilder;

// A row as one comparable value: mark, ID, EV Name, DV Name, block number.
using Row = std::vector<Text>;

std::vector<Row> rows_of(const std::vector<Element>& elements) {
    std::vector<Row> rows;
    for (const auto& element : elements) {
        rows.push_back({element.mark, element.id, element.ev_name, element.dv_name,
                        std::to_string(element.block)});
    }
    return rows;
}

class RecordingView final : public LoaderView {
public:
    void show_progress(const Text& text) override { progress.push_back(text); }
    void show_rows(int list_index, const std::vector<Element>& elements) override {
        shown.emplace_back(list_index, rows_of(elements));
    }

    std::vector<Text> progress;
    std::vector<std::pair<int, std::vector<Row>>> shown;
};

Bytes named(std::string_view tag, std::string_view id, std::string_view name) {
    return RecordBuilder(tag).text("NAME", id).text("FNAM", name).bytes();
}

Bytes cell(std::string_view name) {
    return RecordBuilder("CELL").text("NAME", name).raw("DATA", "12345678").bytes();
}

Bytes path_grid(std::string_view name) {
    return RecordBuilder("PGRD").text("NAME", name).raw("PGRP", "points").bytes();
}

class PluginLoaderTest : public ::testing::Test {
protected:
    void put_pairs(std::string_view file_name, const std::vector<PairEntry>& entries) {
        m_files.put(std::filesystem::path("prog") / "data" / file_name, encode_pair_file(entries));
    }
    void put_skill_table(const std::vector<TripleEntry>& entries) {
        m_files.put("prog/data/Skildata.dat", encode_triple_file(entries));
    }
    void put_external(const std::vector<PairEntry>& entries) {
        m_files.put("prog/dataextra/Extradata.dat", encode_pair_file(entries));
    }

    Result<void> load(const Bytes& file) {
        view = RecordingView{};
        TranslationDatabase database(m_files, "prog");
        return load_plugin(file, database, store, lists, view);
    }

    std::vector<Row> rows(int list_index) const { return rows_of(lists.list(list_index).elements); }

    BlockStore store;
    ObjectLists lists;
    RecordingView view;
    test::MemoryFiles m_files;
};

const Text kUe = mark::kExternal;

TEST_F(PluginLoaderTest, MarksFollowTheLookupResult) {
    put_external({{"FFFF", "FFFF"}, {"Crate", "Kiste"}, {"Barrel", "Fass"}});
    put_pairs("Actidata.dat",
              {{"Door Lever", cp1252(u8"Türhebel")}, {"Torch", "Fackel"}, {"Barrel", "Tonne"}});
    const std::vector<Bytes> records = {
        named("ACTI", "a_thing", "Unknown Thing"), named("ACTI", "a_lever", "Door Lever"),
        named("ACTI", "a_crate", "Kiste"),         named("ACTI", "a_torch", "Fackel"),
        named("ACTI", "a_barrel", "Barrel"),       named("ACTI", "a_barrel", "Barrel"),
    };
    ASSERT_TRUE(load(plugin(records)));

    const std::vector<Row> expected = {
        {"", "a_thing", "Unknown Thing", "Unknown Thing", "1"},
        {"B", "a_lever", "Door Lever", cp1252(u8"Türhebel"), "2"},
        {kUe, "a_crate", "Crate", "Kiste", "3"},
        {"B", "a_torch", "Torch", "Fackel", "4"},
        {kUe, "a_barrel", "Barrel", "Fass", "5"},
        {kUe, "a_barrel", "Barrel", "Fass", "6"},
    };
    EXPECT_EQ(rows(3), expected);

    // Only the names that were originals now hold their translation, with fitting sizes.
    EXPECT_EQ(store.block(1), records[0]);
    EXPECT_EQ(store.block(2), named("ACTI", "a_lever", cp1252(u8"Türhebel")));
    EXPECT_EQ(store.block(3), records[2]);
    EXPECT_EQ(store.block(4), records[3]);
    EXPECT_EQ(store.block(5), named("ACTI", "a_barrel", "Fass"));
}

TEST_F(PluginLoaderTest, CellsAndPathGridsShowTheirNameAsId) {
    put_pairs("Celldata.dat", {{"Foo Town", "Fuchsstadt"}});
    put_pairs("Regndata.dat", {{"Nebelhain Moor", "Nebelhainmoor"}, {"Fuchsstadt", "Nope"}});
    ASSERT_TRUE(load(plugin({cell("Foo Town"), cell("Nebelhain Moor"), path_grid("Foo Town"),
                             path_grid("Nebelhain Moor"), path_grid("Wild Coast"),
                             named("REGN", "nebel_region", "Nebelhain Moor")})));

    const std::vector<Row> cells = {
        {"B", "Foo Town", "Foo Town", "Fuchsstadt", "1"},
        // The region file is asked for path grids only.
        {"", "Nebelhain Moor", "Nebelhain Moor", "Nebelhain Moor", "2"},
    };
    EXPECT_EQ(rows(kCellType), cells);
    const std::vector<Row> path_grids = {
        {"B", "Foo Town", "Foo Town", "Fuchsstadt", "3"},
        {"B", "Nebelhain Moor", "Nebelhain Moor", "Nebelhainmoor", "4"},
        {"", "Wild Coast", "Wild Coast", "Wild Coast", "5"},
    };
    EXPECT_EQ(rows(kPathGridType), path_grids);
    EXPECT_EQ(store.block(4), path_grid("Nebelhainmoor"));
    const std::vector<Row> regions = {
        {"B", "nebel_region", "Nebelhain Moor", "Nebelhainmoor", "6"}};
    EXPECT_EQ(rows(kRegionType), regions);
}

TEST_F(PluginLoaderTest, RecordsWithoutNameAreMarkedE) {
    ASSERT_TRUE(load(plugin({
        cell(""),
        RecordBuilder("CELL").raw("DATA", "12345678").bytes(),
        path_grid(""),
        RecordBuilder("PGRD").raw("PGRP", "points").bytes(),
        RecordBuilder("ACTI").text("NAME", "plain_lever").raw("MODL", "x").bytes(),
        named("ACTI", "empty_lever", ""),
    })));
    EXPECT_TRUE(lists.list(kCellType).elements.empty());
    const std::vector<Row> path_grids = {{"E", "", "", "", "3"}, {"E", "", "", "", "4"}};
    EXPECT_EQ(rows(kPathGridType), path_grids);
    const std::vector<Row> activators = {{"E", "plain_lever", "", "", "5"},
                                         {"E", "empty_lever", "", "", "6"}};
    EXPECT_EQ(rows(3), activators);
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
        put_pairs(file_name, entries);
    }
    ASSERT_TRUE(load(plugin(records)));

    for (const auto& type : kRecordTypes) {
        SCOPED_TRACE(type.label);
        const Text name = "Name " + std::to_string(type.index);
        const Text id =
            type.id_column == IdColumn::Name ? name : "id_" + std::to_string(type.index);
        const std::vector<Row> expected = {
            {"B", id, name, name + " DE", std::to_string(type.index + 1)}};
        EXPECT_EQ(rows(type.index), expected);
    }
}

TEST_F(PluginLoaderTest, SkillsTakeTheirTableEntryByIndex) {
    put_skill_table(
        {{"sk_block", "Block", "Blocken"}, {"sk_armorer", "Armorer", cp1252(u8"Rüstschmied")}});
    ASSERT_TRUE(load(plugin({
        RecordBuilder("SKIL").u32("INDX", 1).raw("DESC", "Fixing things").bytes(),
        RecordBuilder("SKIL").u32("INDX", 0).bytes(),
        RecordBuilder("SKIL").u32("INDX", 2).bytes(),
        RecordBuilder("SKIL").u32("INDX", 0xFFFFFFFFu).bytes(),
        RecordBuilder("SKIL").bytes(),
    })));
    std::vector<Row> skills;
    for (const auto& skill : lists.skills()) {
        skills.push_back({std::to_string(skill.skill_index), skill.id, skill.ev_name, skill.dv_name,
                          std::to_string(skill.block)});
    }
    const std::vector<Row> expected = {
        {"1", "sk_armorer", "Armorer", cp1252(u8"Rüstschmied"), "1"},
        {"0", "sk_block", "Block", "Blocken", "2"},
        {"2", "", "", "", "3"},
        {"-1", "", "", "", "4"},
        {"0", "", "", "", "5"},
    };
    EXPECT_EQ(skills, expected);
    for (int list_index = 0; list_index < kObjectListCount; ++list_index) {
        EXPECT_TRUE(lists.list(list_index).elements.empty());
    }
}

TEST_F(PluginLoaderTest, ReportsProgressAndShowsEveryList) {
    ASSERT_TRUE(load(plugin(
        {cell("Foo Town"), RecordBuilder("GMST").bytes(), named("ACTI", "lever", "Lever")})));
    const std::vector<Text> progress = {
        "Lese block : HEDR",
        "Lese block : CELL",
        "Lese block : GMST",
        "Lese block : ACTI",
        cp1252(u8"Blöcke gelesen : 0 / 3"),
        cp1252(u8"Blöcke gelesen : 1 / 3"),
        cp1252(u8"Blöcke gelesen : 2 / 3"),
        cp1252(u8"Blöcke gelesen : 3 / 3"),
    };
    EXPECT_EQ(view.progress, progress);

    ASSERT_EQ(view.shown.size(), static_cast<std::size_t>(kObjectListCount));
    for (int list_index = 0; list_index < kObjectListCount; ++list_index) {
        SCOPED_TRACE(list_index);
        EXPECT_EQ(view.shown[static_cast<std::size_t>(list_index)].first, list_index);
        EXPECT_EQ(view.shown[static_cast<std::size_t>(list_index)].second, rows(list_index));
    }
    EXPECT_EQ(view.shown[0].second.size(), 1u);
    EXPECT_EQ(view.shown[3].second.size(), 1u);
}

TEST_F(PluginLoaderTest, EmptyDatabaseChangesNoByte) {
    const Bytes file = plugin({cell("Foo Town"), named("REGN", "region", "Nebelhain"),
                               path_grid("Foo Town"), named("NPC_", "npc", "Ulfrik")},
                              0, 0);
    ASSERT_TRUE(load(file));

    for (const auto& [list_index, name] :
         std::vector<std::pair<int, Text>>{{kCellType, "Foo Town"},
                                           {kRegionType, "Nebelhain"},
                                           {kPathGridType, "Foo Town"},
                                           {20, "Ulfrik"}}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(lists.list(list_index).elements.size(), 1u);
        const auto& element = lists.list(list_index).elements[0];
        EXPECT_EQ(element.mark, "");
        EXPECT_EQ(element.ev_name, name);
        EXPECT_EQ(element.dv_name, name);
    }

    Bytes expected = file;
    write_u32_le(expected, kRecordCountOffset, 4);
    Bytes loaded;
    for (std::size_t number = 0; number < store.block_count(); ++number) {
        loaded.insert(loaded.end(), store.block(number).begin(), store.block(number).end());
    }
    EXPECT_EQ(loaded, expected);
}

TEST_F(PluginLoaderTest, HeaderRecordIsNeverARowWhateverItsTag) {
    put_pairs("Celldata.dat", {{"Foo Town", "Fuchsstadt"}});
    put_skill_table({{"s0", "Block", "Blocken"}});
    // Header records tagged like a cell and like a skill, each 340 bytes long with the name
    // (or the skill index) first; the database knows the name.
    const std::string padding(316 - 9 - 8, 'p');
    for (const Bytes& header :
         {RecordBuilder("CELL").text("NAME", "Foo Town").raw("DATA", padding).bytes(),
          RecordBuilder("SKIL")
              .u32("INDX", 0)
              .raw("DATA", std::string(316 - 4 - 8, 'p'))
              .bytes()}) {
        SCOPED_TRACE(record_tag(header));
        ASSERT_EQ(header.size(), 340u);
        Bytes file = header;
        const Bytes record = cell("Foo Town");
        file.insert(file.end(), record.begin(), record.end());
        ASSERT_TRUE(load(file));

        Bytes expected_header = header;
        write_u32_le(expected_header, kRecordCountOffset, 1);
        EXPECT_EQ(store.block(0), expected_header);
        EXPECT_EQ(rows(kCellType),
                  (std::vector<Row>{{"B", "Foo Town", "Foo Town", "Fuchsstadt", "1"}}));
        EXPECT_TRUE(lists.skills().empty());
    }
}

TEST_F(PluginLoaderTest, RefusedFileKeepsTheLoadedPlugin) {
    ASSERT_TRUE(load(plugin({cell("Foo Town"), RecordBuilder("SKIL").u32("INDX", 0).bytes()}, 1)));
    const BlockStore store_before = store;
    const std::vector<Row> cells_before = rows(kCellType);

    Bytes past_end = plugin({cell("Second Town"), named("ACTI", "lever", "Lever")});
    past_end.pop_back();
    for (const Bytes& refused : {Bytes(100), past_end}) {
        const auto result = load(refused);
        ASSERT_FALSE(result);
        EXPECT_FALSE(result.error().message.empty());
        EXPECT_TRUE(view.progress.empty());
        EXPECT_TRUE(view.shown.empty());
        EXPECT_EQ(store.block_count(), store_before.block_count());
        for (std::size_t number = 0; number < store.block_count(); ++number) {
            EXPECT_EQ(store.block(number), store_before.block(number));
        }
        EXPECT_EQ(store.file_type(), 1);
        EXPECT_EQ(rows(kCellType), cells_before);
        EXPECT_EQ(lists.skills().size(), 1u);
    }

    // A good file then replaces everything.
    ASSERT_TRUE(load(plugin({named("ACTI", "lever", "Lever")})));
    EXPECT_EQ(store.block_count(), 2u);
    EXPECT_EQ(store.file_type(), 0);
    EXPECT_TRUE(lists.list(kCellType).elements.empty());
    EXPECT_TRUE(lists.skills().empty());
    EXPECT_EQ(lists.list(3).elements.size(), 1u);
}

TEST_F(PluginLoaderTest, UnreadableDatabaseKeepsTheLoadedPlugin) {
    put_external({{"FFFF", "FFFF"}, {"Foo Town", "Fuchsstadt"}});
    ASSERT_TRUE(load(plugin({cell("Foo Town")})));
    lists.sort_by_column(kCellType, Column::Id);

    // The external database exists but cannot be read: listing the names untranslated would
    // let the next save drop the user's translations, so the load is refused.
    m_files.fail_operation(1, test::FileOperation::Read);
    const auto result = load(plugin({cell("Foo Town"), cell("Other")}));
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().kind, ErrorKind::ReadFailed);
    EXPECT_TRUE(view.shown.empty());
    EXPECT_EQ(store.block_count(), 2u);
    EXPECT_EQ(rows(kCellType),
              (std::vector<Row>{{kUe, "Foo Town", "Foo Town", "Fuchsstadt", "1"}}));
    // The next good load keeps the list's sort direction.
    ASSERT_TRUE(load(plugin({cell("Other")})));
    EXPECT_EQ(lists.list(kCellType).sort_direction, -1);
}

} // namespace
} // namespace orv
