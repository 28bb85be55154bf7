#include "save/SavePipeline.h"

#include <gtest/gtest.h>

#include "MemoryFiles.h"
#include "fixtures/PluginBuilder.h"
#include "plugin/PluginReader.h"
#include "plugin/Subrecord.h"
#include "translation/DatabaseFile.h"
#include "translation/ExternalDatabase.h"
#include "translation/PluginLoader.h"

namespace orv {
namespace {

using fixtures::RecordBuilder;

class NullLoaderView final : public LoaderView {
public:
    void show_progress(const Text&) override {}
    void show_rows(int, const std::vector<Element>&) override {}
};

class RecordingSaveView final : public SaveView {
public:
    void show_progress(const Text& text) override { progress.push_back(text); }
    void show_mark(int list_index, std::size_t row, const Text& mark) override {
        marks.push_back(std::to_string(list_index) + ":" + std::to_string(row) + ":" + mark);
    }
    std::vector<Text> progress;
    std::vector<std::string> marks;
};

class SavePipeline : public ::testing::Test {
protected:
    const std::filesystem::path m_external = "prog/dataextra/Extradata.dat";

    void load(const Bytes& plugin_bytes) {
        m_files.put("in.esp", plugin_bytes);
        TranslationDatabase database(m_files, "prog");
        NullLoaderView view;
        ASSERT_TRUE(load_plugin(plugin_bytes, database, m_store, m_lists, view).ok());
    }

    Result<SaveReport> save(ExternalDatabaseWrite external = ExternalDatabaseWrite::Write) {
        return save_plugin(m_store, m_lists, m_files, "prog", "out.esp", m_view, external);
    }

    Bytes written() { return m_files.get("out.esp").value_or(Bytes{}); }

    Bytes blocks_back_to_back() const {
        Bytes out;
        for (std::size_t k = 0; k < m_store.block_count(); ++k) {
            out.insert(out.end(), m_store.block(k).begin(), m_store.block(k).end());
        }
        return out;
    }

    test::MemoryFiles m_files;
    BlockStore m_store;
    ObjectLists m_lists;
    RecordingSaveView m_view;
};

TEST_F(SavePipeline, RoundTripWithEmptyDatabaseIsByteIdentical) {
    const auto records = std::vector<Bytes>{
        RecordBuilder("CELL").text("NAME", "Foo Town").raw("DATA", "abcdefgh").bytes(),
        RecordBuilder("GMST").text("NAME", "sSetting").raw("STRV", "Some text").bytes(),
        RecordBuilder("WEAP").text("NAME", "w1").text("FNAM", "Club").bytes(),
        RecordBuilder("INFO").text("ANAM", "Foo Town").raw("SCVR", "1BLX0Foo Town").bytes(),
    };
    // Written with the right count: the saved file must equal the input exactly.
    const auto input = fixtures::plugin(records);
    load(input);
    const auto report = save();
    ASSERT_TRUE(report.ok());
    EXPECT_EQ(written(), input);
    EXPECT_EQ(report->names_substituted, 0);
    EXPECT_EQ(report->game_settings_translated, 0);
    EXPECT_EQ(report->references_translated, 0);
    EXPECT_EQ(m_files.get(m_external), sentinel_pair());
    ASSERT_FALSE(m_view.progress.empty());
    EXPECT_EQ(m_view.progress.back(), cp1252(u8"Speichere Block : 4 / 4"));
}

TEST_F(SavePipeline, SubstitutesEditedNamesAndKeepsEverySizeRight) {
    const Bytes weapon =
        RecordBuilder("WEAP").text("NAME", "w1").text("FNAM", "Club").raw("DATA", "xyz").bytes();
    const Bytes armor = RecordBuilder("ARMO")
                            .text("NAME", "a1")
                            .text("FNAM", "Long Helmet")
                            .raw("DATA", "q")
                            .bytes();
    const Bytes door = RecordBuilder("DOOR").text("NAME", "d1").text("FNAM", "Gate").bytes();
    load(fixtures::plugin({weapon, armor, door}));
    m_lists.set_mark_and_dv_name(19, 0, mark::kEdited, "Schwere Keule");
    m_lists.set_mark_and_dv_name(5, 0, mark::kEdited, "Helm");
    m_lists.set_mark_and_dv_name(9, 0, mark::kEdited, "");

    const auto report = save();
    ASSERT_TRUE(report.ok());
    EXPECT_EQ(report->names_substituted, 3);
    EXPECT_EQ(m_store.block(1), RecordBuilder("WEAP")
                                    .text("NAME", "w1")
                                    .text("FNAM", "Schwere Keule")
                                    .raw("DATA", "xyz")
                                    .bytes());
    EXPECT_EQ(
        m_store.block(2),
        RecordBuilder("ARMO").text("NAME", "a1").text("FNAM", "Helm").raw("DATA", "q").bytes());
    // An empty new name leaves the terminating zero alone: size 1.
    EXPECT_EQ(m_store.block(3), RecordBuilder("DOOR").text("NAME", "d1").text("FNAM", "").bytes());
    EXPECT_EQ(m_store.block(0), fixtures::header_record(0, 3));
    EXPECT_EQ(written(), blocks_back_to_back());

    // Every edited row is now "Ü", in the elements and in the view.
    EXPECT_EQ(m_lists.list(19).elements[0].mark, mark::kExternal);
    EXPECT_EQ(m_view.marks, (std::vector<std::string>{"5:0:\xDC", "9:0:\xDC", "19:0:\xDC"}));
    // The external database: the sentinel, then the pairs in tab order.
    Bytes expected = sentinel_pair();
    append_entry(expected, PairEntry{"Long Helmet", "Helm"});
    append_entry(expected, PairEntry{"Gate", ""});
    append_entry(expected, PairEntry{"Club", "Schwere Keule"});
    EXPECT_EQ(m_files.get(m_external), expected);

    // A second save substitutes nothing and writes the same files.
    const auto first_plugin = written();
    const auto second = save();
    ASSERT_TRUE(second.ok());
    EXPECT_EQ(second->names_substituted, 0);
    EXPECT_EQ(written(), first_plugin);
    EXPECT_EQ(m_files.get(m_external), expected);
}

TEST_F(SavePipeline, CellRenamedInThisSaveWinsOverShippedCellNames) {
    m_files.put(m_external, encode_pair_file({{"FFFF", "FFFF"}, {"Keep", "Burg"}}));
    m_files.put("prog/data/Celldata.dat", encode_pair_file({{"Burg", "Festung"}, {"Foo", "Fuu"}}));
    m_files.put("prog/data/Regndata.dat", encode_pair_file({{"Ash Coast", "Aschek\xFCste"}}));
    load(fixtures::plugin({
        RecordBuilder("CELL").text("NAME", "Keep").bytes(),
        RecordBuilder("NPC_")
            .text("NAME", "guide")
            .text("DNAM", "Burg")
            .text("DNAM", "Ash Coast")
            .text("DNAM", "Foo")
            .bytes(),
        RecordBuilder("INFO").text("ANAM", "Burg").raw("SCVR", "2BLX0Burg").bytes(),
    }));
    // The external database made the cell "Burg"; the user renames it once more.
    ASSERT_EQ(m_lists.list(0).elements[0].dv_name, "Burg");
    m_lists.set_mark_and_dv_name(0, 0, mark::kEdited, "Schloss");

    const auto report = save();
    ASSERT_TRUE(report.ok());
    EXPECT_EQ(m_store.block(1), RecordBuilder("CELL").text("NAME", "Schloss").bytes());
    // References to the name the cell held before this save follow the rename, although
    // the shipped cell names know "Burg"; region names count as cell names.
    EXPECT_EQ(m_store.block(2), RecordBuilder("NPC_")
                                    .text("NAME", "guide")
                                    .text("DNAM", "Schloss")
                                    .text("DNAM", "Aschek\xFCste")
                                    .text("DNAM", "Fuu")
                                    .bytes());
    EXPECT_EQ(m_store.block(3),
              RecordBuilder("INFO").text("ANAM", "Schloss").raw("SCVR", "2BLX0Schloss").bytes());
    EXPECT_EQ(report->references_translated, 5);
    EXPECT_EQ(m_files.get(m_external), encode_pair_file({{"FFFF", "FFFF"}, {"Keep", "Schloss"}}));

    // The rename note is one pair entry, 14 bytes for Foo -> Bar.
    Bytes entry;
    append_entry(entry, PairEntry{"Foo", "Bar"});
    EXPECT_EQ(entry, fixtures::bytes_of(std::string("\x03\0\0\0Foo\x03\0\0\0Bar", 14)));
}

TEST_F(SavePipeline, KeepLeavesTheExternalDatabaseFileButUsesTheRebuiltOne) {
    m_files.put(m_external,
                encode_pair_file({{"FFFF", "FFFF"}, {"Gloomy Den", "Finstere H\xF6hle"}}));
    const auto before = m_files.get(m_external);
    load(fixtures::plugin({
        RecordBuilder("CELL").text("NAME", "Gloomy Den").bytes(),
        RecordBuilder("CELL").text("NAME", "Side Room").bytes(),
        RecordBuilder("CELL")
            .text("NAME", "Hall")
            .text("DNAM", "Side Room")
            .text("DNAM", "Gloomy Den")
            .bytes(),
    }));
    m_lists.set_mark_and_dv_name(0, 1, mark::kEdited, "Nebenraum");
    ASSERT_TRUE(save(ExternalDatabaseWrite::Keep).ok());
    EXPECT_EQ(m_files.get(m_external), before);
    // "Side Room" is found through the rename, "Gloomy Den" through the rebuilt external
    // database (the loader had already translated the cell itself).
    EXPECT_EQ(m_store.block(3), RecordBuilder("CELL")
                                    .text("NAME", "Hall")
                                    .text("DNAM", "Nebenraum")
                                    .text("DNAM", "Finstere H\xF6hle")
                                    .bytes());
}

// The file header record (block 0) is never a record to translate, whatever its tag: a header
// tagged like a game setting, a cell or a dialogue response keeps its bytes through load and
// save, so that the saved file still holds the record count at offset 320 and opens again.
TEST_F(SavePipeline, SaveKeepsAHeaderTaggedLikeATranslatedRecord) {
    // Pads a record to the 340 bytes of a header record with one last subrecord.
    const auto as_header = [](RecordBuilder builder, std::size_t used) {
        return builder.raw("DATA", std::string(340 - 16 - 8 - used, 'p')).bytes();
    };
    // The translations are far shorter than the texts, so that a header they reached would
    // shrink below 324 bytes.
    const std::string long_text(40, 'T');
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"game setting", as_header(RecordBuilder("GMST").raw("STRV", long_text), 8 + 40)},
        {"cell destination", as_header(RecordBuilder("CELL").text("DNAM", long_text), 8 + 41)},
        {"dialogue response",
         as_header(RecordBuilder("INFO").text("ANAM", long_text).raw("SCVR", "0BLX0" + long_text),
                   8 + 41 + 8 + 45)},
        {"named cell", as_header(RecordBuilder("CELL").text("NAME", long_text), 8 + 41)},
    };
    m_files.put("prog/data/Gmstdata.dat", encode_pair_file({{long_text, "kurz"}}));
    m_files.put("prog/data/Celldata.dat", encode_pair_file({{long_text, "Burg"}}));
    for (const auto& [what, header] : cases) {
        SCOPED_TRACE(what);
        ASSERT_EQ(header.size(), 340u);
        Bytes plugin_bytes = header;
        const Bytes record = RecordBuilder("CELL").text("NAME", "Foo").bytes();
        plugin_bytes.insert(plugin_bytes.end(), record.begin(), record.end());
        load(plugin_bytes);
        ASSERT_TRUE(save().ok());

        Bytes expected_header = header;
        write_u32_le(expected_header, kRecordCountOffset, 1);
        EXPECT_EQ(m_store.block(0), expected_header);
        const auto reread = read_plugin(written());
        ASSERT_TRUE(reread.ok());
        ASSERT_EQ(reread->blocks.size(), 2u);
        EXPECT_EQ(reread->blocks[0], expected_header);
    }
}

} // namespace
} // namespace orv
