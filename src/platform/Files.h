#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ByteBuffer.h"
#include "platform/Result.h"

namespace orv {

using Bytes = std::vector<std::byte>;
using ByteSpan = std::span<const std::byte>;

// A file being written. Bytes reach the disk for certain only once close() succeeded;
// destroying an unclosed file closes it without any promise about its contents.
class OutputFile {
public:
    virtual ~OutputFile() = default;
    virtual Result<void> write(ByteSpan bytes) = 0;
    // A hint from a writer that makes its bytes over a while: what is written so far may go
    // to the disk now, while the rest is made, so that close() waits for less. Whether it
    // does, close() tells; a file without a disk of its own ignores it.
    virtual void start_flush() {}
    // Flushes the bytes to the disk and closes the file.
    virtual Result<void> close() = 0;
};

// A whole file that the system maps into memory instead of copying it: its pages come
// straight from the system's file cache, with no copy and no fresh memory to fill.
class MappedFile {
public:
    virtual ~MappedFile() = default;
    virtual ByteSpan bytes() const = 0;
    // False once another program shortened the file under the mapping (or the system
    // failed to read a page of it): the bytes from there on read as zeros.
    virtual bool whole() const = 0;
};

// The bytes of a whole file that is parsed and then let go: a copy in memory, or the file
// mapped. Either way the bytes stay valid while this object lives.
class FileContents {
public:
    FileContents() = default;
    explicit FileContents(ByteBuffer copy) : m_copy(std::move(copy)) {}
    // A copy of `bytes` (what a Files without a read of its own gives, and tests).
    explicit FileContents(ByteSpan bytes) : m_copy(ByteBuffer::copy_of(bytes)) {}
    FileContents(std::unique_ptr<MappedFile> mapped, std::filesystem::path path)
        : m_mapped(std::move(mapped)), m_path(std::move(path)) {}

    ByteSpan bytes() const { return m_mapped ? m_mapped->bytes() : m_copy.bytes(); }
    // The bytes as a copy for the caller to keep and change: a copy in memory is handed
    // over, a mapped file is copied. check_whole() still tells whether they are the file's.
    ByteBuffer take_copy();
    // Asked after the bytes were used: fails with a read error when the file was shortened
    // while it was mapped, and whatever was made of the bytes must then be thrown away.
    Result<void> check_whole() const;

private:
    ByteBuffer m_copy;
    std::unique_ptr<MappedFile> m_mapped;
    std::filesystem::path m_path;
};

// The file operations the program uses. Every one of them can fail, and every failure
// comes back as an Error with a German message; tests replace this to make any step fail.
class Files {
public:
    virtual ~Files() = default;

    // The whole file. A missing file fails with ErrorKind::NotFound.
    virtual Result<Bytes> read_all(const std::filesystem::path& path) = 0;
    // The whole file for a reader that parses it and lets it go; a large file is best
    // mapped. Fails as read_all does. This default copies it with read_all.
    virtual Result<FileContents> read_contents(const std::filesystem::path& path);
    virtual bool exists(const std::filesystem::path& path) = 0;
    // Creates a new file or truncates an existing one.
    virtual Result<std::unique_ptr<OutputFile>> create(const std::filesystem::path& path) = 0;
    // Replaces `to` by `from` in one step.
    virtual Result<void> rename(const std::filesystem::path& from,
                                const std::filesystem::path& to) = 0;
    // Removing a file that does not exist succeeds.
    virtual Result<void> remove(const std::filesystem::path& path) = 0;
    virtual Result<void> create_directories(const std::filesystem::path& path) = 0;
};

// The whole file, or no bytes when it does not exist. Any other failure is returned: a
// database that exists but cannot be read must not pass for an empty one.
Result<Bytes> read_if_present(Files& files, const std::filesystem::path& path);
// The same for a file that is parsed and let go (see Files::read_contents).
Result<FileContents> read_contents_if_present(Files& files, const std::filesystem::path& path);

// The separator that ends the folder part of a path on this platform.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Paths cross the program as UTF-8 where they are text (command-line arguments, the
// configuration file's folders after conversion, messages). These two convert without the
// system's narrow code page, which on Windows is not UTF-8.
std::filesystem::path path_from_utf8(std::string_view utf8);
std::string utf8_of(const std::filesystem::path& path);

// The folder part of a chosen path: everything up to and including its last
// kPathSeparator, with a leading double quote dropped; empty when there is no separator.
// Works on the path's bytes, so it serves UTF-8 paths and Windows-1252 folders alike.
//
//   folder_part("/home/nutzer/Daten/Foo Town.esp") == "/home/nutzer/Daten/"
std::string folder_part(std::string_view path);

// A path as it appears in a German message (Windows-1252; characters it cannot hold are
// shown as "?").
Text display_path(const std::filesystem::path& path);

// Why the system refused a file operation, in terms every platform can give: each Files
// implementation maps its own error codes onto these.
enum class FileErrorReason : int {
    None = 0,
    DiskFull,
    AccessDenied,
    ReadOnly,
    PathMissing,
    Other,
};

// The German words for a reason ("der Datenträger ist voll"); empty for None and Other.
Text file_error_reason_text(FileErrorReason reason);

// The German messages of the file errors, shared by every Files implementation; the reason,
// when known, ends the message.
Error file_error(ErrorKind kind, const std::filesystem::path& path,
                 FileErrorReason reason = FileErrorReason::None);

// The error of a file to be read that is not there. The message names the true culprit,
// the file itself or a missing folder on its way, which the systems' error codes do not
// always tell apart.
Error missing_file_error(const std::filesystem::path& path);

// The same error told about `path` instead: a failure while writing the temporary file of
// an atomic write is reported under the name of the file the user chose.
Error file_error_for(const Error& error, const std::filesystem::path& path);

} // namespace orv
