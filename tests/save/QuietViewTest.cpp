#include <gtest/gtest.h>

#include "MemoryFiles.h"
#include "fixtures/PluginBuilder.h"
#include "save/SavePipeline.h"
#include "translation/DatabaseFile.h"
#include "translation/PluginLoader.h"

namespace orv {
namespace {

using fixtures::record;

// A view of the load and the save that counts the progress texts it is given.
class CountingView final : public LoaderView, public SaveView {
public:
    explicit CountingView(bool wants) : m_wants(wants) {}
    void show_progress(const Text&) override { ++texts; }
    bool wants_progress() const override { return m_wants; }
    void show_rows(int, const std::vector<Element>&) override {}
    void show_mark(int, std::size_t, const Element&) override {}

    int texts = 0;

private:
    bool m_wants;
};

// A view that shows no progress is given no text by any step of a load and a save (every
// pass that shows progress runs: the reader, the rows, the game settings, the cell
// references, the writing), and the plugin saved is the same as for a view that shows it.
TEST(QuietView, LoadAndSaveShowNothingAndWriteTheSamePlugin) {
    const Bytes plugin = fixtures::plugin({
        record("CELL", {{"NAME", "Foo Town"}, {"DATA", "abcdefgh"}}),
        record("GMST", {{"NAME", "sSetting"}, {"STRV", "Some text"}}),
        record("WEAP", {{"NAME", "w1"}, {"FNAM", "Club"}}),
        record("INFO", {{"ANAM", "Foo Town"}, {"SCVR", "1BLX0Foo Town"}}),
    });
    std::vector<Bytes> saved;
    for (const bool wants : {true, false}) {
        SCOPED_TRACE(wants);
        test::MemoryFiles files;
        files.put("prog/data/Celldata.dat", encode_pair_file({{"Foo Town", "Fooheim"}}));
        files.put("prog/data/Gmstdata.dat", encode_pair_file({{"Some text", "Ein Text"}}));
        BlockStore store;
        ObjectLists lists;
        CountingView view(wants);
        TranslationDatabase database(files, "prog");
        ASSERT_TRUE(load_plugin(plugin, database, store, lists, view).ok());
        ASSERT_TRUE(
            save_plugin(store, lists, files, "prog", "out.esp", view, ExternalDatabaseWrite::Keep)
                .ok());
        EXPECT_EQ(view.texts > 0, wants);
        saved.push_back(files.get("out.esp").value_or(Bytes{}));
    }
    EXPECT_EQ(saved[0], saved[1]);
    EXPECT_NE(saved[0], plugin);
}

} // namespace
} // namespace orv
