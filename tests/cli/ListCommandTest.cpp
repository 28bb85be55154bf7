#include <gtest/gtest.h>

#include <sstream>

#include "MemoryFiles.h"
#include "cli/Cli.h"
#include "fixtures/PluginBuilder.h"
#include "translation/DatabaseFile.h"

namespace orv::cli {
namespace {

using fixtures::RecordBuilder;

struct Run {
    int status;
    std::string out;
    std::string err;
};

Run run_tool(test::MemoryFiles& files, std::vector<std::string> arguments) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = run(arguments, "prog", files, out, err);
    return {status, out.str(), err.str()};
}

class ListCommand : public ::testing::Test {
protected:
    void SetUp() override {
        m_files.put("prog/data/Celldata.dat",
                    encode_pair_file({{"Misty Grove", "Nebelhain"}, {"Old Tower", "Alter Turm"}}));
        m_files.put("prog/data/Weapdata.dat", encode_pair_file({{"Iron Sword", "Eisenschwert"}}));
        m_files.put("prog/data/Skildata.dat",
                    encode_triple_file({{"Blade", "Blade", "Klinge"}, {"Axe", "Axe", "Axt"}}));
        m_files.put("prog/dataextra/Extradata.dat",
                    encode_pair_file({{"FFFF", "FFFF"}, {"Dark\tCave", "Dunkle H\xF6hle"}}));
        m_files.put(
            "mods/Test.esp",
            fixtures::plugin({
                RecordBuilder("CELL").text("NAME", "Misty Grove").bytes(),
                RecordBuilder("CELL").text("NAME", "Dark\tCave").bytes(),
                RecordBuilder("WEAP").text("NAME", "sword_01").text("FNAM", "Iron Sword").bytes(),
                RecordBuilder("WEAP").text("NAME", "club\\01").text("FNAM", "Club").bytes(),
                RecordBuilder("ACTI").text("NAME", "lever").bytes(),
                RecordBuilder("SKIL").u32("INDX", 1).raw("DESC", "text").bytes(),
            }));
    }

    test::MemoryFiles m_files;
};

TEST_F(ListCommand, PrintsRowsInTabOrderThenSkills) {
    const auto before = m_files.get("mods/Test.esp");
    const auto result = run_tool(m_files, {"list", "mods/Test.esp"});
    EXPECT_EQ(result.status, kExitOk);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "Cell\tB\tMisty Grove\tMisty Grove\tNebelhain\n"
                          "Cell\t\xC3\x9C\tDark\\tCave\tDark\\tCave\tDunkle H\xC3\xB6hle\n"
                          "Activator\tE\tlever\t\t\n"
                          "Weapon\tB\tsword_01\tIron Sword\tEisenschwert\n"
                          "Weapon\t\tclub\\\\01\tClub\tClub\n"
                          "Skill\t1\tAxe\tAxe\tAxt\n");
    // Listing changes no file and creates none.
    EXPECT_EQ(m_files.get("mods/Test.esp"), before);
    EXPECT_EQ(m_files.paths().size(), 5U);
}

TEST_F(ListCommand, UsesTheGivenProgramFolder) {
    const auto result = run_tool(m_files, {"--program-dir", "elsewhere", "list", "mods/Test.esp"});
    EXPECT_EQ(result.status, kExitOk);
    EXPECT_NE(result.out.find("Cell\t\tMisty Grove\tMisty Grove\tMisty Grove\n"),
              std::string::npos);
}

TEST_F(ListCommand, RefusesWithGermanMessageAndNoOutput) {
    m_files.put("mods/Short.esp", fixtures::bytes_of("HEDR"));
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--program-dir"},
        {"list"},
        {"list", "a.esp", "b.esp"},
        {"frobnicate", "mods/Test.esp"},
        {"list", "mods/Missing.esp"},
        {"list", "mods/Short.esp"},
    };
    for (const auto& arguments : cases) {
        SCOPED_TRACE(testing::PrintToString(arguments));
        const auto result = run_tool(m_files, arguments);
        EXPECT_EQ(result.status, kExitRefused);
        EXPECT_EQ(result.out, "");
        EXPECT_FALSE(result.err.empty());
        EXPECT_EQ(result.err.find('\r'), std::string::npos);
    }
}

} // namespace
} // namespace orv::cli
