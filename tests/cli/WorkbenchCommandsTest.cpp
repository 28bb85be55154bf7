#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "MemoryFiles.h"
#include "cli/Cli.h"
#include "fixtures/PluginBuilder.h"
#include "translation/DatabaseFile.h"

namespace orv::cli {
namespace {

using fixtures::record;

std::tuple<int, std::string, std::string> run_tool(Files& files,
                                                   const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = run(arguments, "prog", files, out, err);
    return {status, out.str(), err.str()};
}

// Each command routes to the core once: the rows still to do as an edits file (escaped UTF-8,
// Cell first, no "B" or "E" rows), and one list's suggestions, memory first.
TEST(WorkbenchCommands, TodoAndSuggestPrintTsv) {
    test::MemoryFiles files;
    files.put("prog/data/Miscdata.dat", encode_pair_file({{"Rock", "Stein"}}));
    files.put_text("prog/dataextra/Memory.tsv",
                   "Weapon\tRock\tFelsklinge\t2024-01-01\nMisc Item\tRock\tFels\t2024-01-01\n");
    files.put("p.esp", fixtures::plugin({record("MISC", {{"NAME", "rock"}, {"FNAM", "Rock"}}),
                                         record("MISC", {{"NAME", "key\t1"}, {"FNAM", "Key"}}),
                                         record("MISC", {{"NAME", "blank"}}),
                                         record("CELL", {{"NAME", "M\xFChle Town"}})}));
    EXPECT_EQ(run_tool(files, {"todo", "p.esp"}),
              std::tuple(kExitOk, "Cell\tMühle Town\tMühle Town\nMisc Item\tkey\\t1\tKey\n", ""));
    EXPECT_EQ(run_tool(files, {"suggest", "Rock", "--list", "Misc Item"}),
              std::tuple(kExitOk, "Fels\tGedächtnis\texakt\nStein\tMiscdata.dat\texakt\n", ""));
    EXPECT_EQ(run_tool(files, {"suggest", "Rock", "--list", "Misc"}),
              std::tuple(kExitRefused, "", "Unbekannte Liste „Misc“.\n"));
}

} // namespace
} // namespace orv::cli
