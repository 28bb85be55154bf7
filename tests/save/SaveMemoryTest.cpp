#include <gtest/gtest.h>

#include "MemoryFiles.h"
#include "fixtures/PluginBuilder.h"
#include "save/SavePipeline.h"
#include "translation/DatabaseFile.h"
#include "translation/PluginLoader.h"

namespace orv {
namespace {

using fixtures::RecordBuilder;

class SilentLoaderView final : public LoaderView {
public:
    void show_progress(const Text&) override {}
    void show_rows(int, const std::vector<Element>&) override {}
};

class SilentSaveView final : public SaveView {
public:
    void show_progress(const Text&) override {}
    void show_mark(int, std::size_t, const Text&) override {}
};

// A save hands the rows it turned from "*" into "Ü" to the memory, and only those; a
// memory that cannot take them leaves the saved plugin standing and itself unchanged.
TEST(SaveMemory, SavedHandEditsReachTheMemoryAfterThePlugin) {
    const std::filesystem::path memory = "prog/dataextra/Memory.tsv";
    for (const bool damaged : {false, true}) {
        SCOPED_TRACE(damaged ? "damaged memory" : "no memory yet");
        test::MemoryFiles files;
        files.put("prog/dataextra/Extradata.dat", encode_pair_file({{"Ore", "Erz"}}));
        if (damaged) {
            files.put_text(memory, "kaputt\n");
        }
        const Bytes plugin = fixtures::plugin({
            RecordBuilder("MISC").text("NAME", "a").text("FNAM", "Rock").bytes(),
            RecordBuilder("MISC").text("NAME", "b").text("FNAM", "Ore").bytes(),
        });
        BlockStore store;
        ObjectLists lists;
        SilentLoaderView loader_view;
        TranslationDatabase database(files, "prog");
        ASSERT_TRUE(load_plugin(plugin, database, store, lists, loader_view).ok());
        lists.set_mark_and_dv_name(16, 0, mark::kEdited, "Stein");

        SilentSaveView view;
        const auto saved = save_plugin(store, lists, files, "prog", "out.esp", view);
        ASSERT_TRUE(saved.ok());
        const auto remembered = remember_confirmed_names(files, "prog", *saved);
        EXPECT_TRUE(files.get("out.esp").has_value());
        if (damaged) {
            ASSERT_FALSE(remembered.ok());
            EXPECT_NE(to_utf8(remembered.error().message).find("Das Plugin wurde gespeichert."),
                      std::string::npos);
            EXPECT_EQ(files.get(memory), fixtures::bytes_of("kaputt\n"));
        } else {
            ASSERT_TRUE(remembered.ok());
            EXPECT_EQ(files.get(memory),
                      fixtures::bytes_of("Misc Item\tRock\tStein\t" + today_date() + "\n"));
        }
    }
}

} // namespace
} // namespace orv
