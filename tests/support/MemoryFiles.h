#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Files.h"

namespace orv::test {

// A path written with "/" as it reads on this system: "/spiele/a.esp" is "\\spiele\\a.esp" on
// Windows. For tests of code that splits paths at the system's separator.
std::string native_path(std::string path);

// The operations MemoryFiles counts, for making one of them fail.
enum class FileOperation { Read, Create, Write, Close, Rename, Remove, CreateDirectories };

// One counted operation: its kind and the file it touched (the target of a rename), written
// with "/" on every system, as paths() gives it.
struct LoggedOperation {
    FileOperation kind;
    std::string path;

    // "read a/b.dat", "mkdir a", ...: for comparing whole logs readably.
    std::string describe() const;
    bool operator==(const LoggedOperation&) const = default;
};

// Files held in memory. Every operation is counted and logged, and the k-th operation
// (counting from 1 over all kinds, or over one kind) can be made to fail, so a test can walk
// a failure through every step of a save. Folders are implied by the files in them, except
// for folders created explicitly.
class MemoryFiles final : public Files {
public:
    Result<Bytes> read_all(const std::filesystem::path& path) override;
    // As read_all, but a file named to shorten_while_read() comes as a mapping that another
    // program shortened while it was read: its bytes are whole, yet not the file's, which
    // the mapping tells from the question after `whole_answers` (0: at once).
    Result<FileContents> read_contents(const std::filesystem::path& path) override;
    bool exists(const std::filesystem::path& path) override;
    Result<std::unique_ptr<OutputFile>> create(const std::filesystem::path& path) override;
    Result<void> rename(const std::filesystem::path& from,
                        const std::filesystem::path& to) override;
    Result<void> remove(const std::filesystem::path& path) override;
    Result<void> create_directories(const std::filesystem::path& path) override;

    // Test set-up and inspection.
    void put(const std::filesystem::path& path, Bytes bytes);
    void put_text(const std::filesystem::path& path, std::string_view bytes);
    std::optional<Bytes> get(const std::filesystem::path& path) const;
    std::vector<std::string> paths() const;
    const std::map<std::string, Bytes>& all() const { return m_files; }
    void shorten_while_read(const std::filesystem::path& path, int whole_answers = 0);
    // Whether writing into `folder` is possible (a folder that does not exist refuses).
    void require_folders(bool required) { m_require_folders = required; }

    // Makes the k-th operation from now fail (1 = the next one), counting all operations,
    // or only those of `kind` when given, for `reason`.
    void fail_operation(int k, std::optional<FileOperation> kind = std::nullopt,
                        FileErrorReason reason = FileErrorReason::None);
    int operation_count() const { return static_cast<int>(m_log.size()); }
    // Every counted operation so far, in order, the failed ones included.
    const std::vector<LoggedOperation>& operation_log() const { return m_log; }
    // The operations from the `first`-th on (counting from 0), described.
    std::vector<std::string> described_since(std::size_t first) const;

private:
    friend class MemoryOutputFile;
    // Counts and logs an operation; the error of `kind` when it is the one to fail.
    std::optional<Error> fault(FileOperation operation, ErrorKind kind,
                               const std::filesystem::path& path);
    bool folder_exists(const std::filesystem::path& folder) const;

    std::map<std::string, Bytes> m_files;
    std::set<std::string> m_folders;
    std::map<std::string, int> m_shortened;
    bool m_require_folders = false;
    std::vector<LoggedOperation> m_log;
    int m_fail_countdown = 0;
    std::optional<FileOperation> m_fail_kind;
    FileErrorReason m_fail_reason = FileErrorReason::None;
};

} // namespace orv::test
