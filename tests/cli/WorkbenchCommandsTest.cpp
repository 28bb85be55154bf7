#include <gtest/gtest.h>

#include <sstream>

#include "MemoryFiles.h"
#include "cli/Cli.h"
#include "fixtures/PluginBuilder.h"
#include "translation/DatabaseFile.h"

namespace orv::cli {
namespace {

using fixtures::RecordBuilder;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class WorkbenchCommands : public ::testing::Test {
protected:
    void SetUp() override {
        m_files.put("prog/data/Miscdata.dat", encode_pair_file({{"Rock", "Stein"}}));
        m_files.put("p.esp",
                    fixtures::plugin({
                        RecordBuilder("MISC").text("NAME", "rock").text("FNAM", "Rock").bytes(),
                        RecordBuilder("MISC").text("NAME", "key\t1").text("FNAM", "Key").bytes(),
                        RecordBuilder("MISC").text("NAME", "blank").bytes(),
                        RecordBuilder("CELL").text("NAME", "M\xFChle Town").bytes(),
                    }));
    }
    Outcome run_tool(const std::vector<std::string>& arguments) {
        std::ostringstream out;
        std::ostringstream err;
        const int status = run(arguments, "prog", m_files, out, err);
        return {status, out.str(), err.str()};
    }
    test::MemoryFiles m_files;
};

// Only rows still to do, escaped and UTF-8, Cell first; the "B" row and the nameless row
// are left out.
TEST_F(WorkbenchCommands, TodoPrintsTheRowsStillToDoAsAnEditsFile) {
    const auto outcome = run_tool({"todo", "p.esp"});
    EXPECT_EQ(outcome.status, kExitOk) << outcome.err;
    EXPECT_EQ(outcome.out, "Cell\tMühle Town\tMühle Town\nMisc Item\tkey\\t1\tKey\n");
}

// Memory first, then the database files; the kind in German; a list that does not exist is
// refused.
TEST_F(WorkbenchCommands, SuggestPrintsSuggestionsAsTsv) {
    m_files.put_text("prog/dataextra/Memory.tsv", "Misc Item\tRock\tFels\t2024-01-01\n");
    auto outcome = run_tool({"suggest", "Rock", "--list", "Misc Item"});
    EXPECT_EQ(outcome.status, kExitOk) << outcome.err;
    EXPECT_EQ(outcome.out, "Fels\tGedächtnis\texakt\nStein\tMiscdata.dat\texakt\n");
    outcome = run_tool({"suggest", "Rock", "--list", "Misc"});
    EXPECT_EQ(outcome.status, kExitRefused);
    EXPECT_EQ(outcome.err, "Unbekannte Liste „Misc“.\n");
}

} // namespace
} // namespace orv::cli
