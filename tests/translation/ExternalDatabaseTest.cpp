#include "translation/ExternalDatabase.h"

#include <gtest/gtest.h>

#include "MemoryFiles.h"
#include "fixtures/PluginBuilder.h"

namespace orv {
namespace {

using fixtures::bytes_of;

TEST(ExternalDatabase, ResetLeavesExactlyTheSentinelPairOrTheOldFile) {
    const Bytes sentinel = bytes_of(std::string("\x04\0\0\0FFFF\x04\0\0\0FFFF", 16));
    test::MemoryFiles files;
    files.require_folders(true);
    files.put("prog/dataextra/Extradata.dat", bytes_of("old"));
    ASSERT_TRUE(reset_external_database(files, "prog/dataextra/Extradata.dat"));
    EXPECT_EQ(files.get("prog/dataextra/Extradata.dat"), sentinel);
    // A missing folder is created with the file.
    ASSERT_TRUE(reset_external_database(files, "other/dataextra/Extradata.dat"));
    EXPECT_EQ(files.get("other/dataextra/Extradata.dat"), sentinel);

    // The folder cannot be made: nothing is written (the atomic write owns later failures).
    files.fail_operation(1, test::FileOperation::CreateDirectories);
    const auto failed = reset_external_database(files, "prog/dataextra/Extradata.dat");
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error().kind, ErrorKind::CreateFailed);
    EXPECT_EQ(files.get("prog/dataextra/Extradata.dat"), sentinel);
}

TEST(ExternalDatabase, QuestionNamesTheFileInCapitals) {
    const std::pair<std::filesystem::path, std::u8string_view> cases[] = {
        {"prog/dataextra/Extradata.dat", u8"EXTRADATA.DAT"},
        {std::filesystem::path(u8"C:/Spiele/dataextra/Übersetzung_größe.dat"),
         u8"ÜBERSETZUNG_GRÖßE.DAT"},
    };
    for (const auto& [path, name] : cases) {
        SCOPED_TRACE(cp1252(name));
        EXPECT_EQ(reset_question(path),
                  cp1252(u8"LÖSCHT DIE EXTERNE DATENBANK NUR WENN IHR EUCH SICHER\rSEID, DASS "
                         u8"IHR DIE ENTHALTENEN DATEN NICHT FÜR ZUKÜNFTIGE\rÜBERSETZUNGEN "
                         u8"BENÖTIGT.\r\rAKTUELLE DATEI : ") +
                      cp1252(name) + cp1252(u8"\r\r                EXTERNE DATENBANK LÖSCHEN?"));
    }
}

} // namespace
} // namespace orv
