#include "translation/TranslationMemory.h"

#include <gtest/gtest.h>

#include "MemoryFiles.h"
#include "fixtures/PluginBuilder.h"
#include "plugin/RecordTypes.h"

namespace orv {
namespace {

using Entries = std::vector<MemoryEntry>;
constexpr int kMisc = 16;
const std::filesystem::path kPath = "prog/dataextra/Memory.tsv";

TEST(TranslationMemory, GrowsAndALaterTranslationReplacesTheEarlierLine) {
    const Entries old = {{kMisc, "Rock", "Stein", "2024-01-01"},
                         {kCellType, "Rock", "Fels", "2024-01-01"},
                         {kMisc, "Key", "Schl\xFCssel", "2024-01-02"}};
    struct Case {
        const char* name;
        Entries added;
        bool changed;
        Entries expected;
    };
    const std::vector<Case> cases = {
        {"new name is appended",
         {{kMisc, "Ore", "Erz", "2024-02-01"}},
         true,
         {old[0], old[1], old[2], {kMisc, "Ore", "Erz", "2024-02-01"}}},
        {"same list and EV Name: replaced, moved to the end",
         {{kMisc, "Rock", "Felsbrocken", "2024-02-01"}},
         true,
         {old[1], old[2], {kMisc, "Rock", "Felsbrocken", "2024-02-01"}}},
        {"same translation again changes nothing",
         {{kMisc, "Rock", "Stein", "2024-02-01"}},
         false,
         old},
        {"of two added for one name the last wins",
         {{kMisc, "Ore", "Erz", "2024-02-01"}, {kMisc, "Ore", "Eisenerz", "2024-02-01"}},
         true,
         {old[0], old[1], old[2], {kMisc, "Ore", "Eisenerz", "2024-02-01"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Entries memory = old;
        EXPECT_EQ(merge_into_memory(memory, c.added), c.changed);
        EXPECT_EQ(memory, c.expected);
        // And through the file: written in the TSV conventions, read back the same.
        test::MemoryFiles files;
        files.put(kPath, encode_memory(old));
        ASSERT_TRUE(add_to_memory(files, kPath, c.added).ok());
        const auto read = read_memory(files, kPath);
        ASSERT_TRUE(read.ok());
        EXPECT_EQ(*read, c.expected);
    }
    EXPECT_EQ(encode_memory({{18, "A\tb", "\xC4", "2024-03-04"}}),
              fixtures::bytes_of("Repair Item\tA\\tb\t\xC3\x84\t2024-03-04\n"));
}

TEST(TranslationMemory, DamagedOrUnreadableFileIsReportedAndNeverOverwritten) {
    struct Case {
        const char* name;
        std::string contents;
        bool unreadable;
        std::string message_part;
    };
    const std::vector<Case> cases = {
        {"three fields", "Misc Item\tRock\tStein\n", false, "Zeile 1: Erwartet werden genau vier"},
        {"unknown list", "Misc\tRock\tStein\t2024-01-01\n", false, "Unbekannte Liste"},
        {"bad date", "Cell\tA\tB\t2024-1-01\nCell\tC\tD\t2024-01-01\n", false,
         "Zeile 1: Das Datum"},
        {"CR LF line ends", "Cell\tA\tB\t2024-01-01\r\n", false, "Zeile 1"},
        {"bad escape", "Cell\tA\\x\tB\t2024-01-01\n", false, "Zeile 1"},
        {"unreadable", "Cell\tA\tB\t2024-01-01\n", true, "konnte nicht gelesen werden"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::MemoryFiles files;
        files.put_text(kPath, c.contents);
        if (c.unreadable) {
            files.fail_operation(1, test::FileOperation::Read);
        }
        const auto added = add_to_memory(files, kPath, {{kMisc, "Ore", "Erz", "2024-02-01"}});
        ASSERT_FALSE(added.ok());
        const std::string message = to_utf8(added.error().message);
        EXPECT_NE(message.find("Übersetzungsgedächtnis „prog/dataextra/Memory.tsv“"),
                  std::string::npos)
            << message;
        EXPECT_NE(message.find(c.message_part), std::string::npos) << message;
        EXPECT_NE(message.find("Es bleibt unverändert"), std::string::npos) << message;
        EXPECT_EQ(files.get(kPath), fixtures::bytes_of(c.contents));
        EXPECT_EQ(files.paths().size(), 1u);
    }
}

TEST(TranslationMemory, FailedWriteLeavesTheOldFile) {
    const Bytes old = encode_memory({{kMisc, "Rock", "Stein", "2024-01-01"}});
    for (const auto operation : {test::FileOperation::Create, test::FileOperation::Write,
                                 test::FileOperation::Close, test::FileOperation::Rename}) {
        SCOPED_TRACE(static_cast<int>(operation));
        test::MemoryFiles files;
        files.put(kPath, old);
        files.fail_operation(1, operation);
        const auto added = add_to_memory(files, kPath, {{kMisc, "Ore", "Erz", "2024-02-01"}});
        ASSERT_FALSE(added.ok());
        EXPECT_NE(to_utf8(added.error().message).find("nicht ins Übersetzungsgedächtnis"),
                  std::string::npos);
        EXPECT_EQ(files.get(kPath), old);
        EXPECT_EQ(files.paths().size(), 1u);
    }
}

} // namespace
} // namespace orv
