// The file header record (block 0) is never a record to translate, whatever its tag: a header
// tagged like a game setting, a cell or a dialogue response keeps its bytes through load and
// save, so that the saved file still holds the record count at offset 320 and opens again.
#include <gtest/gtest.h>

#include "MemoryFiles.h"
#include "fixtures/PluginBuilder.h"
#include "plugin/PluginReader.h"
#include "save/SavePipeline.h"
#include "translation/DatabaseFile.h"
#include "translation/PluginLoader.h"
#include "translation/TranslationDatabase.h"

namespace orv {
namespace {

using fixtures::RecordBuilder;

class NullLoaderView final : public LoaderView {
public:
    void show_progress(const Text&) override {}
    void show_rows(int, const std::vector<Element>&) override {}
};

class NullSaveView final : public SaveView {
public:
    void show_progress(const Text&) override {}
    void show_mark(int, std::size_t, const Text&) override {}
};

// Pads a record to the 340 bytes of a header record with one last subrecord.
Bytes as_header(RecordBuilder builder, std::size_t used) {
    return builder.raw("DATA", std::string(340 - 16 - 8 - used, 'p')).bytes();
}

TEST(HeaderRecord, SaveKeepsAHeaderTaggedLikeATranslatedRecord) {
    struct Case {
        const char* what;
        Bytes header;
    };
    // The translations are far shorter than the texts, so that a header they reached would
    // shrink below 324 bytes.
    const std::string long_text(40, 'T');
    const std::vector<Case> cases = {
        {"game setting", as_header(RecordBuilder("GMST").raw("STRV", long_text), 8 + 40)},
        {"cell destination", as_header(RecordBuilder("CELL").text("DNAM", long_text), 8 + 41)},
        {"dialogue response",
         as_header(RecordBuilder("INFO").text("ANAM", long_text).raw("SCVR", "0BLX0" + long_text),
                   8 + 41 + 8 + 45)},
        {"named cell", as_header(RecordBuilder("CELL").text("NAME", long_text), 8 + 41)},
    };
    for (const auto& [what, header] : cases) {
        SCOPED_TRACE(what);
        ASSERT_EQ(header.size(), 340u);
        test::MemoryFiles files;
        files.put("prog/data/Gmstdata.dat", encode_pair_file({{long_text, "kurz"}}));
        files.put("prog/data/Celldata.dat", encode_pair_file({{long_text, "Burg"}}));
        Bytes plugin = header;
        const Bytes record = RecordBuilder("CELL").text("NAME", "Foo").bytes();
        plugin.insert(plugin.end(), record.begin(), record.end());

        BlockStore store;
        ObjectLists lists;
        NullLoaderView loader_view;
        {
            TranslationDatabase database(files, "prog");
            ASSERT_TRUE(load_plugin(plugin, database, store, lists, loader_view).ok());
        }
        NullSaveView save_view;
        ASSERT_TRUE(save_plugin(store, lists, files, "prog", "out.esp", save_view).ok());

        Bytes expected_header = header;
        write_u32_le(expected_header, kRecordCountOffset, 1);
        EXPECT_EQ(store.block(0), expected_header);
        const auto saved = files.get("out.esp");
        ASSERT_TRUE(saved);
        const auto reread = read_plugin(*saved);
        ASSERT_TRUE(reread.ok());
        ASSERT_EQ(reread->blocks.size(), 2u);
        EXPECT_EQ(reread->blocks[0], expected_header);
    }
}

} // namespace
} // namespace orv
