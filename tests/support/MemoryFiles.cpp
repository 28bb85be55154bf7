#include "MemoryFiles.h"

#include <algorithm>

#include "fixtures/PluginBuilder.h"

namespace orv::test {
namespace {

// Files are kept under their UTF-8 path with "/" between the parts on every system, so
// that tests name them the same way on Linux and Windows.
std::string key_of(const std::filesystem::path& path) {
    const auto generic = path.lexically_normal().generic_u8string();
    return std::string(generic.begin(), generic.end());
}

// A mapping of a file that another program shortened while it was read, noticed after
// `whole_answers` questions.
class ShortenedMapping final : public MappedFile {
public:
    ShortenedMapping(Bytes bytes, int whole_answers)
        : m_bytes(std::move(bytes)), m_whole_answers(whole_answers) {}
    ByteSpan bytes() const override { return m_bytes; }
    bool whole() const override { return m_whole_answers-- > 0; }

private:
    Bytes m_bytes;
    mutable int m_whole_answers;
};

} // namespace

std::string native_path(std::string path) {
    std::replace(path.begin(), path.end(), '/', kPathSeparator);
    return path;
}

std::vector<std::string> MemoryFiles::described_since(std::size_t first) const {
    std::vector<std::string> described;
    for (std::size_t k = first; k < m_log.size(); ++k) {
        described.push_back(m_log[k].describe());
    }
    return described;
}

std::string LoggedOperation::describe() const {
    static constexpr const char* kNames[] = {"read",   "create", "write", "close",
                                             "rename", "remove", "mkdir"};
    return kNames[static_cast<int>(kind)] + (" " + path);
}

class MemoryOutputFile final : public OutputFile {
public:
    MemoryOutputFile(MemoryFiles& files, std::filesystem::path path)
        : m_files(files), m_path(std::move(path)) {}

    Result<void> write(ByteSpan bytes) override {
        if (auto error = m_files.fault(FileOperation::Write, ErrorKind::WriteFailed, m_path)) {
            return *error;
        }
        auto& contents = m_files.m_files[key_of(m_path)];
        contents.insert(contents.end(), bytes.begin(), bytes.end());
        return {};
    }

    Result<void> close() override {
        auto error = m_files.fault(FileOperation::Close, ErrorKind::WriteFailed, m_path);
        return error ? Result<void>(*error) : Result<void>();
    }

private:
    MemoryFiles& m_files;
    std::filesystem::path m_path;
};

std::optional<Error> MemoryFiles::fault(FileOperation operation, ErrorKind kind,
                                        const std::filesystem::path& path) {
    m_log.push_back({operation, key_of(path)});
    if (m_fail_countdown <= 0 || (m_fail_kind && *m_fail_kind != operation) ||
        --m_fail_countdown != 0) {
        return std::nullopt;
    }
    return file_error(kind, path, m_fail_reason);
}

bool MemoryFiles::folder_exists(const std::filesystem::path& folder) const {
    const auto key = key_of(folder);
    // The first file at or after "folder/" in key order is in the folder if any is.
    const auto next = m_files.lower_bound(key + "/");
    return folder.empty() || key == "." || m_folders.contains(key) ||
           (next != m_files.end() && next->first.starts_with(key + "/"));
}

Result<Bytes> MemoryFiles::read_all(const std::filesystem::path& path) {
    if (auto error = fault(FileOperation::Read, ErrorKind::ReadFailed, path)) {
        return *error;
    }
    const auto found = m_files.find(key_of(path));
    return found == m_files.end() ? Result<Bytes>(file_error(ErrorKind::NotFound, path))
                                  : Result<Bytes>(found->second);
}

Result<FileContents> MemoryFiles::read_contents(const std::filesystem::path& path) {
    const auto shortened = m_shortened.find(key_of(path));
    if (shortened == m_shortened.end()) {
        return Files::read_contents(path);
    }
    auto bytes = read_all(path);
    if (!bytes) {
        return bytes.error();
    }
    return FileContents(std::make_unique<ShortenedMapping>(std::move(*bytes), shortened->second),
                        path);
}

void MemoryFiles::shorten_while_read(const std::filesystem::path& path, int whole_answers) {
    m_shortened[key_of(path)] = whole_answers;
}

bool MemoryFiles::exists(const std::filesystem::path& path) {
    return m_files.contains(key_of(path)) || (!path.empty() && folder_exists(path));
}

Result<std::unique_ptr<OutputFile>> MemoryFiles::create(const std::filesystem::path& path) {
    auto error = fault(FileOperation::Create, ErrorKind::CreateFailed, path);
    if (error || (m_require_folders && !folder_exists(path.parent_path()))) {
        return error ? *error : file_error(ErrorKind::CreateFailed, path, m_fail_reason);
    }
    m_files[key_of(path)].clear();
    return std::unique_ptr<OutputFile>(std::make_unique<MemoryOutputFile>(*this, path));
}

Result<void> MemoryFiles::rename(const std::filesystem::path& from,
                                 const std::filesystem::path& to) {
    const auto found = m_files.find(key_of(from));
    auto error = fault(FileOperation::Rename, ErrorKind::RenameFailed, to);
    if (error || found == m_files.end()) {
        return error ? *error : file_error(ErrorKind::RenameFailed, to, m_fail_reason);
    }
    Bytes bytes = std::move(found->second);
    m_files.erase(found);
    m_files[key_of(to)] = std::move(bytes);
    return {};
}

Result<void> MemoryFiles::remove(const std::filesystem::path& path) {
    auto error = fault(FileOperation::Remove, ErrorKind::RemoveFailed, path);
    return error ? Result<void>(*error) : (m_files.erase(key_of(path)), Result<void>());
}

Result<void> MemoryFiles::create_directories(const std::filesystem::path& path) {
    if (auto error = fault(FileOperation::CreateDirectories, ErrorKind::CreateFailed, path)) {
        return *error;
    }
    for (auto folder = path.lexically_normal(); !folder.empty() && folder != folder.parent_path();
         folder = folder.parent_path()) {
        m_folders.insert(key_of(folder));
    }
    return {};
}

void MemoryFiles::put(const std::filesystem::path& path, Bytes bytes) {
    m_files[key_of(path)] = std::move(bytes);
}

void MemoryFiles::put_text(const std::filesystem::path& path, std::string_view bytes) {
    put(path, fixtures::bytes_of(bytes));
}

std::optional<Bytes> MemoryFiles::get(const std::filesystem::path& path) const {
    const auto found = m_files.find(key_of(path));
    return found == m_files.end() ? std::nullopt : std::optional<Bytes>(found->second);
}

std::vector<std::string> MemoryFiles::paths() const {
    std::vector<std::string> out;
    for (const auto& [path, bytes] : m_files) {
        out.push_back(path);
    }
    return out;
}

void MemoryFiles::fail_operation(int k, std::optional<FileOperation> kind, FileErrorReason reason) {
    m_fail_countdown = k;
    m_fail_kind = kind;
    m_fail_reason = reason;
}

} // namespace orv::test
