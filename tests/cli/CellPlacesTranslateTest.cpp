// `translate` over a generated plugin that names its cells in every place a cell can be
// named: the written plugin must be byte for byte the same plugin built with the new names.
#include <gtest/gtest.h>

#include <sstream>

#include "MemoryFiles.h"
#include "cli/Cli.h"
#include "fixtures/PluginBuilder.h"
#include "translation/DatabaseFile.h"

namespace orv::cli {
namespace {

using fixtures::RecordBuilder;
using std::string_literals::operator""s;

// The plugin with the names the references carry: `town` and `mill` are the cells' names in
// the references, `own_town` and `own_mill` the cells' own names.
Bytes places_plugin(const Text& own_town, const Text& own_mill, const Text& town,
                    const Text& mill) {
    const std::string script = "AiFollowCell, Player, \"" + town + "\", 0, 0, 0, 0\r\n" +
                               "AiFollowCell, Player, \"" + town + "\"\r\n" +
                               "MessageBox \"Foo Town\" ; a text, not a cell\r\n" +
                               "player->PositionCell 0 0 0 0 \"" + mill + "\"\r\n" +
                               "AiFollowCell, Player, \"" + town + "\"";
    return fixtures::plugin({
        RecordBuilder("CELL")
            .text("NAME", own_town)
            .u32("MVRF", 5)
            .text("CNAM", mill)
            .u32("MVRF", 6)
            .raw("CNDT", "Foo Town")
            .text("DNAM", mill)
            .bytes(),
        RecordBuilder("CELL").text("NAME", own_mill).bytes(),
        RecordBuilder("CREA")
            .text("NAME", "boatman")
            .text("DNAM", town)
            .raw("AI_E", "\x01\x00"s)
            .text("CNDT", mill)
            .raw("AI_W", "\x01\x00"s)
            .text("CNDT", "Foo Town")
            .bytes(),
        RecordBuilder("NPC_")
            .text("NAME", "guide")
            .text("CNAM", "Foo Town")
            .raw("AI_F", "\x02\x00"s)
            .text("CNDT", town)
            .text("DNAM", "Nowhere")
            .bytes(),
        RecordBuilder("CONT").text("NAME", "chest").raw("CNDT", "Foo Town").bytes(),
        RecordBuilder("INFO")
            .text("INAM", "42")
            .text("ANAM", town)
            .raw("SCVR", "0BLX0" + mill)
            .raw("BNAM", script)
            .bytes(),
    });
}

TEST(TranslateCellPlaces, RewritesEveryPlaceAndReportsTheReferenceToNoCell) {
    test::MemoryFiles files;
    const Text mill = cp1252(u8"Alte Mühle");
    files.put("prog/dataextra/Extradata.dat",
              encode_pair_file({{"FFFF", "FFFF"}, {"Old Mill", mill}}));
    files.put("mods/Places.esp", places_plugin("Foo Town", "Old Mill", "Foo Town", "Old Mill"));
    files.put_text("edits.tsv", "Cell\tFoo Town\tFoostadt\n");
    std::ostringstream out;
    std::ostringstream err;
    const int status = run(std::vector<std::string>{"translate", "mods/Places.esp", "--edits",
                                                    "edits.tsv", "-o", "out.esp"},
                           "prog", files, out, err);
    EXPECT_EQ(status, kExitOk);
    EXPECT_EQ(files.get("out.esp"), places_plugin("Foostadt", mill, "Foostadt", mill));
    // Two destinations, the moved reference, two package cells, the response cell, the
    // condition and four script arguments.
    EXPECT_TRUE(out.str().ends_with("Zellenverweise übersetzt: 11\nThemenverweise übersetzt: 0\n"))
        << out.str();
    // The message box's text is no cell argument: the save leaves it, the user decides.
    EXPECT_EQ(err.str(), "reference\tNPC_\tguide\tDNAM „Nowhere“: weder eine Zelle dieses "
                         "Plugins noch eine Übersetzung der Zellen- oder Regionsdatenbank\n"
                         "script\tINFO\t42\tZeile 3: „Foo Town“ heißt nach dem Speichern "
                         "„Foostadt“; im Editor ändern, wo der alte Name gemeint ist\n");
}

} // namespace
} // namespace orv::cli
