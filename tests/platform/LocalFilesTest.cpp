#include "platform/LocalFiles.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <random>

#include "MemoryFiles.h"
#include "platform/AtomicWrite.h"

namespace orv {
namespace {

// Each test in a new folder of its own under the system's temporary folder, removed with
// everything in it.
class LocalFilesTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(std::filesystem::create_directory(folder)); }
    void TearDown() override { std::filesystem::remove_all(folder); }

    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("orvental-test-" + std::to_string(std::random_device{}()));
    // Every file that can be mapped is, however small.
    LocalFiles files{1};
};

Bytes pattern_bytes(std::size_t size, unsigned seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::byte>((i * 131 + seed) & 0xFF);
    }
    return bytes;
}

TEST_F(LocalFilesTest, WritesPiecesOfAnySizeInOrderAndNamesTheSystemsFailures) {
    // Small pieces are gathered, a piece larger than the buffer goes straight through, and
    // one that just overflows it flushes first. A flush to the disk begun after every piece
    // runs while the next ones are written, and loses none of them.
    const auto path = folder / "out.bin";
    auto file = files.create(path);
    ASSERT_TRUE(file.ok());
    Bytes expected;
    for (const Bytes& piece : {pattern_bytes(10, 1), pattern_bytes(3 << 20, 2),
                               pattern_bytes((1 << 20) - 5, 3), pattern_bytes(7, 4), Bytes{}}) {
        ASSERT_TRUE((*file)->write(piece).ok());
        (*file)->start_flush();
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
    if (std::filesystem::exists("/dev/full")) {
        auto full = files.create("/dev/full");
        ASSERT_TRUE(full.ok());
        (void)(*full)->write(Bytes(10));
        EXPECT_EQ((*full)->close().error().reason, FileErrorReason::DiskFull);
    }
    // A file the system cannot flush to a disk (a device) fails at the close, whether or not
    // a flush in the background failed before.
    if (std::filesystem::exists("/dev/null")) {
        for (const std::size_t size : {std::size_t{10}, std::size_t{2} << 20}) {
            auto device = files.create("/dev/null");
            ASSERT_TRUE(device.ok());
            ASSERT_TRUE((*device)->write(Bytes(size)).ok());
            (*device)->start_flush();
            EXPECT_FALSE((*device)->close().ok()) << size;
        }
    }
}

// The contents for parsing are the same bytes as read_all's, whether the file is mapped or,
// with more files open at once than the mappings kept track of, read; the errors too.
TEST_F(LocalFilesTest, ContentsAreTheFilesBytesHoweverMany) {
    const auto path = folder / "in.bin";
    // Read, not mapped: into memory that is not cleared first, so every byte must come from
    // the file; the largest is read into pages taken beforehand by two threads.
    LocalFiles reading(LocalFiles::kMapFrom);
    struct Case {
        LocalFiles* reader;
        std::size_t size;
        int open;
    };
    for (const Case& c : std::vector<Case>{{&files, 0, 100},
                                           {&files, 1, 100},
                                           {&files, 3 * 4096 + 100, 100},
                                           {&reading, 3 * 4096 + 100, 2},
                                           {&reading, (std::size_t{4} << 20) + 12, 2}}) {
        const std::size_t size = c.size;
        SCOPED_TRACE(testing::Message() << size << (c.reader == &files ? " mapped" : " read"));
        ASSERT_TRUE(write_file_atomically(files, path, pattern_bytes(size, 5)).ok());
        std::vector<FileContents> open;
        for (int i = 0; i < c.open; ++i) {
            auto contents = c.reader->read_contents(path);
            ASSERT_TRUE(contents.ok());
            const ByteSpan bytes = contents->bytes();
            ASSERT_EQ(Bytes(bytes.begin(), bytes.end()), pattern_bytes(size, 5));
            EXPECT_TRUE(contents->check_whole().ok());
            open.push_back(std::move(*contents));
        }
    }
    EXPECT_EQ(files.read_contents(folder / "missing").error().kind, ErrorKind::NotFound);
    EXPECT_EQ(files.read_contents(folder).error().kind, ErrorKind::ReadFailed);
}

#ifndef _WIN32
// Another program may shorten a mapped file; the pages past its new end must not end the
// program. They read as zeros, and the contents say they are not the file's.
TEST_F(LocalFilesTest, AFileShortenedWhileMappedReadsAsZerosAndIsNotWhole) {
    const auto path = folder / "in.bin";
    const Bytes pattern = pattern_bytes(5 * 4096, 9);
    ASSERT_TRUE(write_file_atomically(files, path, pattern).ok());
    // The first touch past the new end: inside a page, or the mapping's very first byte
    // when the file was emptied.
    for (const auto& [size, touched] :
         std::vector<std::pair<std::size_t, std::size_t>>{{5000, 3 * 4096 + 100}, {0, 0}}) {
        SCOPED_TRACE(size);
        auto contents = files.read_contents(path);
        ASSERT_TRUE(contents.ok());
        const ByteSpan bytes = contents->bytes();
        std::filesystem::resize_file(path, size);
        EXPECT_EQ(bytes[touched], std::byte{0});
        const Bytes seen(bytes.begin(), bytes.end());
        const auto cut = static_cast<std::ptrdiff_t>(size);
        EXPECT_TRUE(std::equal(seen.begin(), seen.begin() + cut, pattern.begin()));
        EXPECT_TRUE(std::all_of(seen.begin() + cut, seen.end(),
                                [](std::byte b) { return b == std::byte{0}; }));
        ASSERT_FALSE(contents->check_whole().ok());
        EXPECT_EQ(contents->check_whole().error().message,
                  file_error(ErrorKind::ReadFailed, path).message);
        // The next file mapped is whole again.
        ASSERT_TRUE(write_file_atomically(files, path, pattern).ok());
        auto again = files.read_contents(path);
        ASSERT_TRUE(again.ok());
        EXPECT_TRUE(again->check_whole().ok());
    }
    // A file below the size from which files are mapped is read into memory: shortening it
    // afterwards changes nothing.
    LocalFiles reading(pattern.size() + 1);
    auto read = reading.read_contents(path);
    ASSERT_TRUE(read.ok());
    std::filesystem::resize_file(path, 0);
    EXPECT_EQ(Bytes(read->bytes().begin(), read->bytes().end()), pattern);
    EXPECT_TRUE(read->check_whole().ok());
}

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
}
#endif

TEST(FileErrors, EachFailureHasItsOwnMessageWithTheReasonAtTheEnd) {
    // The user reads which step failed: after a failed rename the old file is still there,
    // after a failed removal the temporary one.
    struct Case {
        ErrorKind kind;
        FileErrorReason reason;
        const char8_t* message;
    };
    for (const Case& c : std::vector<Case>{
             {ErrorKind::NotFound, FileErrorReason::None, u8"Die Datei „b.esp“ gibt es nicht."},
             {ErrorKind::ReadFailed, FileErrorReason::None,
              u8"Die Datei „b.esp“ konnte nicht gelesen werden."},
             {ErrorKind::CreateFailed, FileErrorReason::PathMissing,
              u8"Die Datei „b.esp“ konnte nicht angelegt werden: der Ordner existiert nicht."},
             {ErrorKind::WriteFailed, FileErrorReason::Other,
              u8"Die Datei „b.esp“ konnte nicht vollständig geschrieben werden."},
             {ErrorKind::RenameFailed, FileErrorReason::None,
              u8"Die Datei „b.esp“ konnte nicht ersetzt werden."},
             {ErrorKind::RemoveFailed, FileErrorReason::None,
              u8"Die Datei „b.esp“ konnte nicht gelöscht werden."},
         }) {
        EXPECT_EQ(file_error(c.kind, "b.esp", c.reason).message, cp1252(c.message));
    }
}

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
