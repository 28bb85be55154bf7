#include <gtest/gtest.h>

#include "MemoryFiles.h"
#include "fixtures/PluginBuilder.h"
#include "save/SavePipeline.h"

namespace orv {
namespace {

using fixtures::record;

// A save hands the rows it turned from "*" into "Ü" to the memory; a memory that cannot
// take them stays as it was, and the message says that the plugin is saved.
TEST(SaveMemory, SavedHandEditsReachTheMemoryAfterThePlugin) {
    struct : SaveView {
        void show_progress(const Text&) override {}
        void show_mark(int, std::size_t, const Text&) override {}
    } view;
    for (const bool damaged : {false, true}) {
        SCOPED_TRACE(damaged);
        test::MemoryFiles files;
        if (damaged) {
            files.put_text(memory_path("prog"), "kaputt\n");
        }
        BlockStore store = fixtures::store_of({record("MISC", {{"NAME", "a"}, {"FNAM", "Rock"}})});
        ObjectLists lists;
        lists.append(16, Element{"*", "a", "Rock", "Stein", 1});
        const auto saved = save_plugin(store, lists, files, "prog", "out.esp", view);
        ASSERT_TRUE(saved.ok());
        const auto remembered = remember_confirmed_names(files, "prog", *saved);
        EXPECT_EQ(remembered.ok(), !damaged);
        EXPECT_TRUE(
            remembered.ok() ||
            to_utf8(remembered.error().message).ends_with(".\rDas Plugin wurde gespeichert."));
        EXPECT_EQ(files.get(memory_path("prog")),
                  fixtures::bytes_of(damaged ? "kaputt\n"
                                             : "Misc Item\tRock\tStein\t" + today_date() + "\n"));
    }
}

} // namespace
} // namespace orv
