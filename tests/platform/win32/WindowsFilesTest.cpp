#include "platform/LocalFiles.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include <windows.h>

#include "platform/AtomicWrite.h"

namespace orv {
namespace {

// The Windows file system as a user's plugins live in it: drive letters, folders with
// spaces and umlauts, files that are read-only or held open by another program.
class WindowsFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = std::filesystem::temp_directory_path() / u8"orvental Prüfung ";
        m_folder += std::to_string(std::random_device{}());
        ASSERT_TRUE(std::filesystem::create_directory(m_folder));
        m_target = m_folder / u8"Übersetzung Ä.esp";
        ASSERT_TRUE(write_file_atomically(m_files, m_target, kOld).ok());
    }
    void TearDown() override {
        SetFileAttributesW(m_target.c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove_all(m_folder);
    }

    static inline const Bytes kOld = {std::byte{'a'}, std::byte{0xE4}, std::byte{'\n'}};
    static inline const Bytes kNew = {std::byte{'n'}, std::byte{'e'}, std::byte{'u'}};
    std::filesystem::path m_folder;
    std::filesystem::path m_target;
    LocalFiles m_files;
};

TEST_F(WindowsFilesTest, UmlautPathsOnADriveRoundTripInEverySpelling) {
    ASSERT_TRUE(m_folder.has_root_name()) << "no drive letter in " << m_folder;
    ASSERT_TRUE(write_file_atomically(m_files, m_target, kNew).ok());
    EXPECT_EQ(m_files.read_all(std::filesystem::path(m_target.generic_wstring())).value(), kNew);
    EXPECT_EQ(m_files.read_all(path_from_utf8(utf8_of(m_target))).value(), kNew);
    EXPECT_TRUE(std::filesystem::exists(m_folder / L"\u00dcbersetzung \u00c4.esp"));
    // Renaming a missing file fails, also in a missing folder (reading and creating there are
    // the local files' test's, on every system).
    for (const auto& path : {m_folder / L"fehlt" / L"a.esp", m_folder / L"fehlt.esp"}) {
        EXPECT_EQ(m_files.rename(path, m_folder / L"b.esp").error().kind, ErrorKind::RenameFailed);
    }
}

// A target that is read-only, or held open by another program that lets others read it,
// is not replaced: it keeps its bytes, and no temporary file is left beside it.
TEST_F(WindowsFilesTest, ReadOnlyOrOpenTargetKeepsItsBytes) {
    HANDLE other = INVALID_HANDLE_VALUE;
    const std::vector<std::pair<const char*, std::function<void()>>> rows = {
        {"read-only", [&] { SetFileAttributesW(m_target.c_str(), FILE_ATTRIBUTE_READONLY); }},
        {"held open", [&] {
             SetFileAttributesW(m_target.c_str(), FILE_ATTRIBUTE_NORMAL);
             other = CreateFileW(m_target.c_str(), GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
         }}};
    for (const auto& [name, hold] : rows) {
        SCOPED_TRACE(name);
        hold();
        const auto written = write_file_atomically(m_files, m_target, kNew);
        ASSERT_FALSE(written.ok());
        EXPECT_EQ(written.error().kind, ErrorKind::RenameFailed);
        EXPECT_EQ(written.error().reason, FileErrorReason::AccessDenied);
        EXPECT_EQ(written.error().message.find("orvental-tmp"), std::string::npos);
        EXPECT_EQ(m_files.read_all(m_target).value(), kOld);
        EXPECT_FALSE(m_files.exists(temporary_path_for(m_target)));
    }
    CloseHandle(other);
    EXPECT_TRUE(write_file_atomically(m_files, m_target, kNew).ok());
}

TEST(WindowsFiles, NamesTheSystemsReasons) {
    for (const auto& [code, reason] : std::vector<std::pair<DWORD, FileErrorReason>>{
             {ERROR_DISK_FULL, FileErrorReason::DiskFull},
             {ERROR_HANDLE_DISK_FULL, FileErrorReason::DiskFull},
             {ERROR_ACCESS_DENIED, FileErrorReason::AccessDenied},
             {ERROR_SHARING_VIOLATION, FileErrorReason::AccessDenied},
             {ERROR_WRITE_PROTECT, FileErrorReason::ReadOnly},
             {ERROR_PATH_NOT_FOUND, FileErrorReason::PathMissing},
             {ERROR_INVALID_DRIVE, FileErrorReason::PathMissing},
             {ERROR_GEN_FAILURE, FileErrorReason::Other}}) {
        EXPECT_EQ(reason_of_system_error(static_cast<int>(code)), reason) << code;
    }
}

} // namespace
} // namespace orv
