#include "platform/LocalFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <random>

#include "platform/AtomicWrite.h"

namespace orv {
namespace {

class LocalFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A new folder of our own; create_directory says whether it was new.
        std::random_device random;
        do {
            m_folder = std::filesystem::temp_directory_path() /
                       ("orvental-test-" + std::to_string(random()));
        } while (!std::filesystem::create_directory(m_folder));
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    std::filesystem::path m_folder;
    LocalFiles m_files;
};

Bytes pattern_bytes(std::size_t size, unsigned seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::byte>((i * 131 + seed) & 0xFF);
    }
    return bytes;
}

TEST_F(LocalFilesTest, WritesPiecesOfAnySizeInOrder) {
    // Small pieces are gathered, a piece larger than the gathering buffer goes straight
    // through, and a piece that just overflows it flushes first.
    const std::vector<Bytes> pieces = {pattern_bytes(10, 1),
                                       pattern_bytes(3 << 20, 2),
                                       pattern_bytes((1 << 20) - 5, 3),
                                       pattern_bytes(7, 4),
                                       {}};
    const auto path = m_folder / "out.bin";
    auto file = m_files.create(path);
    ASSERT_TRUE(file.ok());
    Bytes expected;
    for (const auto& piece : pieces) {
        ASSERT_TRUE((*file)->write(piece).ok());
        expected.insert(expected.end(), piece.begin(), piece.end());
    }
    ASSERT_TRUE((*file)->close().ok());
    EXPECT_EQ(m_files.read_all(path).value(), expected);
}

TEST_F(LocalFilesTest, ReportsMissingAndUnwritablePlaces) {
    EXPECT_EQ(m_files.read_all(m_folder / "missing").error().kind, ErrorKind::NotFound);
    EXPECT_EQ(m_files.read_all(m_folder).error().kind, ErrorKind::ReadFailed);
    EXPECT_EQ(m_files.create(m_folder / "no" / "file").error().kind, ErrorKind::CreateFailed);
    EXPECT_TRUE(m_files.remove(m_folder / "missing").ok());
    EXPECT_EQ(read_if_present(m_files, m_folder / "missing").value(), Bytes{});
}

#ifndef _WIN32
TEST(LocalFiles, NamesTheSystemsReasons) {
    const std::vector<std::pair<int, FileErrorReason>> cases = {
        {ENOSPC, FileErrorReason::DiskFull},    {EACCES, FileErrorReason::AccessDenied},
        {EPERM, FileErrorReason::AccessDenied}, {EROFS, FileErrorReason::ReadOnly},
        {ENOENT, FileErrorReason::PathMissing}, {ENOTDIR, FileErrorReason::PathMissing},
        {EIO, FileErrorReason::Other},
    };
    for (const auto& [error_number, reason] : cases) {
        SCOPED_TRACE(error_number);
        EXPECT_EQ(reason_of_system_error(error_number), reason);
    }
    EXPECT_EQ(file_error(ErrorKind::CreateFailed, "a/b.esp", FileErrorReason::PathMissing).message,
              cp1252(u8"Die Datei „a/b.esp“ konnte nicht angelegt werden: der Ordner existiert "
                     u8"nicht."));
    EXPECT_EQ(file_error(ErrorKind::WriteFailed, "b.esp", FileErrorReason::Other).message,
              cp1252(u8"Die Datei „b.esp“ konnte nicht vollständig geschrieben werden."));
}
#endif

TEST_F(LocalFilesTest, AtomicWriteReportsTheTargetAndTheReason) {
    const auto missing = write_file_atomically(m_files, m_folder / "no" / "x.esp", Bytes(1));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().reason, FileErrorReason::PathMissing);
    EXPECT_EQ(missing.error().message.find("orvental-tmp"), std::string::npos);
    if (std::filesystem::exists("/dev/full")) {
        auto file = m_files.create("/dev/full");
        ASSERT_TRUE(file.ok());
        (void)(*file)->write(Bytes(10));
        const auto closed = (*file)->close();
        ASSERT_FALSE(closed.ok());
        EXPECT_EQ(closed.error().reason, FileErrorReason::DiskFull);
    }
}

TEST_F(LocalFilesTest, AtomicWriteReplacesOnlyWhenComplete) {
    const auto target = m_folder / "target.dat";
    ASSERT_TRUE(write_file_atomically(m_files, target, pattern_bytes(100, 5)).ok());
    // A failing writer leaves the old file and no temporary file.
    const auto failed = write_file_atomically(m_files, target, [](OutputFile& out) -> Result<void> {
        (void)out.write(pattern_bytes(50, 6));
        return Error{ErrorKind::WriteFailed, 0, "kaputt"};
    });
    EXPECT_FALSE(failed.ok());
    EXPECT_EQ(m_files.read_all(target).value(), pattern_bytes(100, 5));
    EXPECT_FALSE(m_files.exists(temporary_path_for(target)));
    // A folder that does not exist: nothing is created anywhere.
    EXPECT_EQ(
        write_file_atomically(m_files, m_folder / "no" / "x", pattern_bytes(1, 0)).error().kind,
        ErrorKind::CreateFailed);
}

TEST(Paths, FolderPartKeepsTheLastSeparator) {
    const auto native = [](std::string path) {
        std::replace(path.begin(), path.end(), '/', kPathSeparator);
        return path;
    };
    EXPECT_EQ(folder_part(native("/home/a b/Foo Town.esp")), native("/home/a b/"));
    EXPECT_EQ(folder_part(native("\"/x/y.esp\"")), native("/x/"));
    EXPECT_EQ(folder_part(native("/y.esp")), native("/"));
    EXPECT_EQ(folder_part(native("x/")), native("x/"));
    EXPECT_EQ(folder_part("y.esp"), "");
    EXPECT_EQ(folder_part("\"y.esp"), "");
}

} // namespace
} // namespace orv
