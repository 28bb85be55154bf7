#include "platform/LocalFiles.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <random>

#include "MemoryFiles.h"
#include "platform/AtomicWrite.h"

namespace orv {
namespace {

Bytes pattern_bytes(std::size_t size, unsigned seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::byte>((i * 131 + seed) & 0xFF);
    }
    return bytes;
}

TEST(LocalFiles, WritesPiecesOfAnySizeInOrderAndNamesTheSystemsFailures) {
    const auto folder = std::filesystem::temp_directory_path() /
                        ("orvental-test-" + std::to_string(std::random_device{}()));
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    LocalFiles files;
    // Small pieces are gathered, a piece larger than the buffer goes straight through, and
    // one that just overflows it flushes first.
    const auto path = folder / "out.bin";
    auto file = files.create(path);
    ASSERT_TRUE(file.ok());
    Bytes expected;
    for (const Bytes& piece : {pattern_bytes(10, 1), pattern_bytes(3 << 20, 2),
                               pattern_bytes((1 << 20) - 5, 3), pattern_bytes(7, 4), Bytes{}}) {
        ASSERT_TRUE((*file)->write(piece).ok());
        expected.insert(expected.end(), piece.begin(), piece.end());
    }
    ASSERT_TRUE((*file)->close().ok());
    EXPECT_EQ(files.read_all(path).value(), expected);
    // A missing file in an existing folder is just missing; in a missing folder, the folder
    // is named as the reason.
    EXPECT_EQ(files.read_all(folder / "missing").error().message,
              file_error(ErrorKind::NotFound, folder / "missing").message);
    EXPECT_EQ(
        files.read_all(folder / "no" / "missing").error().message,
        file_error(ErrorKind::NotFound, folder / "no" / "missing", FileErrorReason::PathMissing)
            .message);
    EXPECT_EQ(files.read_all(folder).error().kind, ErrorKind::ReadFailed);
    EXPECT_TRUE(files.remove(folder / "missing").ok());
    EXPECT_EQ(read_if_present(files, folder / "missing").value(), Bytes{});

    // A missing folder (where the atomic write leaves nothing behind) and a full disk name
    // their reasons. What a failed write keeps and tells is the fault matrix's (tests/save).
    const auto written = write_file_atomically(files, folder / "no" / "x.esp", Bytes(1));
    ASSERT_FALSE(written.ok());
    EXPECT_EQ(written.error().kind, ErrorKind::CreateFailed);
    EXPECT_EQ(written.error().reason, FileErrorReason::PathMissing);
    EXPECT_FALSE(std::filesystem::exists(folder / "no"));
    std::filesystem::remove_all(folder);
    if (std::filesystem::exists("/dev/full")) {
        auto full = files.create("/dev/full");
        ASSERT_TRUE(full.ok());
        (void)(*full)->write(Bytes(10));
        EXPECT_EQ((*full)->close().error().reason, FileErrorReason::DiskFull);
    }
}

#ifndef _WIN32
TEST(LocalFiles, NamesTheSystemsReasons) {
    for (const auto& [error_number, reason] :
         std::vector<std::pair<int, FileErrorReason>>{{ENOSPC, FileErrorReason::DiskFull},
                                                      {EACCES, FileErrorReason::AccessDenied},
                                                      {EPERM, FileErrorReason::AccessDenied},
                                                      {EROFS, FileErrorReason::ReadOnly},
                                                      {ENOENT, FileErrorReason::PathMissing},
                                                      {ENOTDIR, FileErrorReason::PathMissing},
                                                      {EIO, FileErrorReason::Other}}) {
        EXPECT_EQ(reason_of_system_error(error_number), reason) << error_number;
    }
    EXPECT_EQ(file_error(ErrorKind::CreateFailed, "a/b.esp", FileErrorReason::PathMissing).message,
              cp1252(u8"Die Datei „a/b.esp“ konnte nicht angelegt werden: der Ordner existiert "
                     u8"nicht."));
    EXPECT_EQ(file_error(ErrorKind::WriteFailed, "b.esp", FileErrorReason::Other).message,
              cp1252(u8"Die Datei „b.esp“ konnte nicht vollständig geschrieben werden."));
}
#endif

TEST(Paths, FolderPartKeepsTheLastSeparator) {
    for (const auto& [path, folder] :
         std::vector<std::pair<std::string, std::string>>{{"/home/a b/Foo Town.esp", "/home/a b/"},
                                                          {"\"/x/y.esp\"", "/x/"},
                                                          {"/y.esp", "/"},
                                                          {"x/", "x/"},
                                                          {"y.esp", ""},
                                                          {"\"y.esp", ""}}) {
        EXPECT_EQ(folder_part(test::native_path(path)), test::native_path(folder)) << path;
    }
}

} // namespace
} // namespace orv
