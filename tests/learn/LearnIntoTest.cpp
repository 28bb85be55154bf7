// Learning into the external database and the memory: only what is new, atomically.
#include "learn/LearnInto.h"

#include <gtest/gtest.h>

#include "LearnFixtures.h"
#include "MemoryFiles.h"
#include "translation/DatabaseFile.h"

namespace orv {
namespace {

using namespace test;

const LearnFiles kPaths{"mods/en.esp", "mods/de.esp", "prog/dataextra"};
const std::filesystem::path kExternal = "prog/dataextra/Extradata.dat";
const std::filesystem::path kMemory = "prog/dataextra/Memory.tsv";
// The external database after the first run: the user's entries, then the names learned.
const std::vector<PairEntry> kLearnedExternal = {{"FFFF", "FFFF"},    {"Guard", "Wachmann"},
                                                 {"Guard", "Wache"},  {"Rock", "Stein"},
                                                 {"Tome", "Foliant"}, {"hi", "hallo"}};
// The memory after the first run, but for its last line, the learned response.
const std::string kMemoryBeforeDialog = "Misc Item\tRock\tFels\t2024-01-01\n"
                                        "NPC\tGuard\tWache\t2024-05-01\tde.esp\n"
                                        "Book\tTome\tFoliant\t2024-05-01\tde.esp\n"
                                        "Book text\tOnce.\tEinst.\t2024-05-01\tde.esp\n"
                                        "Topic\thi\thallo\t2024-05-01\tde.esp\n";

class LearnIntoTest : public ::testing::Test {
protected:
    void SetUp() override {
        files.put(kPaths.english,
                  fixtures::plugin({named("NPC_", "a", "Guard"), named("MISC", "r", "Rock"),
                                    book("b", "Tome", "Once."), topic("hi"), info("1", "Hello.")}));
        files.put(kPaths.german,
                  fixtures::plugin({named("NPC_", "a", "Wache"), named("MISC", "r", "Stein"),
                                    book("b", "Foliant", "Einst."), topic("hallo"),
                                    info("1", "Hallo.")}));
        // The user's own translations: the external database's win over learned ones, and
        // the memory's line for "Rock" stays.
        files.put(kExternal, encode_pair_file({{"FFFF", "FFFF"}, {"Guard", "Wachmann"}}));
        files.put_text(kMemory, "Misc Item\tRock\tFels\t2024-01-01\n");
    }

    test::MemoryFiles files;
};

// A run writes only the files it found something new for; a second run writes nothing.
TEST_F(LearnIntoTest, AddsOnlyWhatIsNewBehindTheUsersOwnAndWritesOnlyTheFilesThatGainedIt) {
    // The files a run put in place: its renames.
    std::vector<std::string> replaced;
    const auto learn_again = [&](const char* date, std::size_t names, std::size_t texts) {
        const auto before = static_cast<std::size_t>(files.operation_count());
        const auto run = learn_into(files, kPaths, date);
        ASSERT_TRUE(run.ok()) << to_utf8(run.error().message);
        EXPECT_EQ(run->new_names, names);
        EXPECT_EQ(run->new_texts, texts);
        replaced = files.described_since(before);
        std::erase_if(replaced,
                      [](const std::string& done) { return !done.starts_with("rename "); });
    };
    const auto memory_with_dialog = [](const std::string& date) {
        return fixtures::bytes_of(kMemoryBeforeDialog + "Dialog\tHello.\tHallo.\t" + date +
                                  "\tde.esp\n");
    };
    learn_again("2024-05-01", 4, 5);
    const Bytes external = encode_pair_file(kLearnedExternal);
    EXPECT_EQ(files.get(kExternal), external);
    EXPECT_EQ(files.get(kMemory), memory_with_dialog("2024-05-01"));
    // Two files read, then the databases; a write would take more operations.
    const int operations = files.operation_count();
    learn_again("2024-05-02", 0, 0);
    EXPECT_EQ(files.operation_count() - operations, 4);

    // The memory lost its last learned line: only the memory gains it back.
    files.put_text(kMemory, kMemoryBeforeDialog);
    learn_again("2024-05-02", 0, 1);
    EXPECT_EQ(replaced, std::vector{"rename " + kMemory.generic_string()});
    EXPECT_EQ(files.get(kExternal), external);
    EXPECT_EQ(files.get(kMemory), memory_with_dialog("2024-05-02"));
    // The external database lost its last learned name: only the database gains it back.
    files.put(kExternal, encode_pair_file({kLearnedExternal.begin(), kLearnedExternal.end() - 1}));
    learn_again("2024-05-03", 1, 0);
    EXPECT_EQ(replaced, std::vector{"rename " + kExternal.generic_string()});
    EXPECT_EQ(files.get(kExternal), external);
    EXPECT_EQ(files.get(kMemory), memory_with_dialog("2024-05-02"));

    // A new external database in a new folder starts with the sentinel, then the learned
    // names; the user's own entry is in the other folder.
    ASSERT_TRUE(learn_into(files, {kPaths.english, kPaths.german, "learned"}, "2024-05-01").ok());
    std::vector<PairEntry> learned = kLearnedExternal;
    learned.erase(learned.begin() + 1);
    EXPECT_EQ(files.get("learned/Extradata.dat"), encode_pair_file(learned));
    EXPECT_TRUE(files.get("learned/Memory.tsv"));
}

TEST_F(LearnIntoTest, AnyFailingFileOperationLeavesBothFilesAsTheyWere) {
    const auto external = files.get(kExternal);
    const auto memory = files.get(kMemory);
    for (int k = 1;; ++k) {
        SCOPED_TRACE(k);
        files = test::MemoryFiles();
        SetUp();
        files.fail_operation(k);
        const auto learned = learn_into(files, kPaths, "2024-05-01");
        if (learned.ok()) {
            EXPECT_GT(k, 4);
            break;
        }
        EXPECT_EQ(files.get(kExternal), external);
        EXPECT_EQ(files.get(kMemory), memory);
        EXPECT_FALSE(learned.error().message.empty());
        ASSERT_LT(k, 50);
    }
}

// A missing plugin: the batch tool's learn command checks that refusal, its message and that
// nothing is written.
TEST_F(LearnIntoTest, DamagedFilesAreRefusedWithNothingWritten) {
    // The files of the folder are named as the system joins folder and file name.
    const std::string external = to_utf8(display_path(kPaths.into / "Extradata.dat"));
    const std::string memory = to_utf8(display_path(kPaths.into / "Memory.tsv"));
    // clang-format off
    const std::vector<std::tuple<std::filesystem::path, std::string, std::string>> cases = {
        {kExternal, std::string("\x09\0\0\0FFF", 7), "Die externe Datenbank „" + external + "“ ist ab Byte 0 beschädigt.\rDie externe Datenbank und das Übersetzungsgedächtnis bleiben, wie sie waren."},
        {kMemory, "kaputt\n", "Das Übersetzungsgedächtnis „" + memory + "“ ist beschädigt"},
    };
    // clang-format on
    for (const auto& [path, contents, message] : cases) {
        SCOPED_TRACE(message);
        files = test::MemoryFiles();
        SetUp();
        files.put(path, fixtures::bytes_of(contents));
        const auto before_external = files.get(kExternal);
        const auto before_memory = files.get(kMemory);
        const auto learned = learn_into(files, kPaths, "2024-05-01");
        ASSERT_FALSE(learned.ok());
        EXPECT_TRUE(to_utf8(learned.error().message).starts_with(message))
            << to_utf8(learned.error().message);
        EXPECT_EQ(files.get(kExternal), before_external);
        EXPECT_EQ(files.get(kMemory), before_memory);
    }
}

} // namespace
} // namespace orv
