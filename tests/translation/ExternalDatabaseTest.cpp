#include "translation/ExternalDatabase.h"

#include <gtest/gtest.h>

#include "MemoryFiles.h"
#include "fixtures/PluginBuilder.h"
#include "platform/AtomicWrite.h"

namespace orv {
namespace {

using fixtures::bytes_of;

const Bytes kSentinel = bytes_of(std::string("\x04\0\0\0FFFF\x04\0\0\0FFFF", 16));
const Bytes kOldBytes = bytes_of(std::string("\x03\0\0\0Foo\x03\0\0\0Bar", 14));

TEST(ExternalDatabase, ResetLeavesExactlyTheSentinelPair) {
    EXPECT_EQ(sentinel_pair(), kSentinel);

    test::MemoryFiles files;
    files.require_folders(true);
    files.put("prog/dataextra/Extradata.dat", kOldBytes);
    ASSERT_TRUE(reset_external_database(files, "prog/dataextra/Extradata.dat"));
    EXPECT_EQ(files.get("prog/dataextra/Extradata.dat"), kSentinel);

    // A missing folder is created with the file.
    ASSERT_TRUE(reset_external_database(files, "other/dataextra/Extradata.dat"));
    EXPECT_EQ(files.get("other/dataextra/Extradata.dat"), kSentinel);
    EXPECT_EQ(files.paths(), (std::vector<std::string>{"other/dataextra/Extradata.dat",
                                                       "prog/dataextra/Extradata.dat"}));
}

TEST(ExternalDatabase, FailedResetKeepsTheOldFile) {
    const std::filesystem::path target = "prog/dataextra/Extradata.dat";
    // The steps of a reset in order: folder, temporary file, write, close, rename.
    const ErrorKind kinds[] = {ErrorKind::CreateFailed, ErrorKind::CreateFailed,
                               ErrorKind::WriteFailed, ErrorKind::WriteFailed,
                               ErrorKind::RenameFailed};
    for (int step = 1; step <= 6; ++step) {
        SCOPED_TRACE(step);
        test::MemoryFiles files;
        files.put(target, kOldBytes);
        files.fail_operation(step);
        const auto reset = reset_external_database(files, target);
        EXPECT_EQ(files.paths(), std::vector<std::string>{target.string()});
        if (step == 6) {
            EXPECT_TRUE(reset);
            EXPECT_EQ(files.get(target), kSentinel);
            continue;
        }
        ASSERT_FALSE(reset);
        EXPECT_EQ(reset.error().kind, kinds[step - 1]);
        EXPECT_FALSE(reset.error().message.empty());
        EXPECT_EQ(files.get(target), kOldBytes);
    }
}

TEST(ExternalDatabase, QuestionNamesTheFileInCapitals) {
    const auto expected = [](std::u8string_view name) {
        return cp1252(u8"LÖSCHT DIE EXTERNE DATENBANK NUR WENN IHR EUCH SICHER\rSEID, DASS IHR "
                      u8"DIE ENTHALTENEN DATEN NICHT FÜR ZUKÜNFTIGE\rÜBERSETZUNGEN BENÖTIGT."
                      u8"\r\rAKTUELLE DATEI : ") +
               cp1252(name) + cp1252(u8"\r\r                EXTERNE DATENBANK LÖSCHEN?");
    };
    EXPECT_EQ(reset_question("prog/dataextra/Extradata.dat"), expected(u8"EXTRADATA.DAT"));
    EXPECT_EQ(reset_question(std::filesystem::path(u8"C:/Spiele/dataextra/Übersetzung_größe.dat")),
              expected(u8"ÜBERSETZUNG_GRÖßE.DAT"));
    EXPECT_EQ(kResetDoneMessage, cp1252(u8"EXTERNE DATENBANK GELÖSCHT."));
}

} // namespace
} // namespace orv
