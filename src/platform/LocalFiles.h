#pragma once

#include "platform/Files.h"

namespace orv {

// The files of the local file system: POSIX calls on Linux, wide-character Win32 calls on
// Windows (one implementation file per system).
class LocalFiles final : public Files {
public:
    // The size from which read_contents() maps a file where it maps files at all.
    static constexpr std::size_t kMapFrom = std::size_t{16} << 20;

    explicit LocalFiles(std::size_t map_from = kMapFrom) : m_map_from(map_from) {}

    Result<Bytes> read_all(const std::filesystem::path& path) override;
    // Maps a file of map_from bytes or more where a page the system fails to deliver can be
    // survived (Linux); reads it into memory otherwise. Each system's implementation file
    // says why.
    Result<FileContents> read_contents(const std::filesystem::path& path) override;
    bool exists(const std::filesystem::path& path) override;
    Result<std::unique_ptr<OutputFile>> create(const std::filesystem::path& path) override;
    Result<void> rename(const std::filesystem::path& from,
                        const std::filesystem::path& to) override;
    Result<void> remove(const std::filesystem::path& path) override;
    Result<void> create_directories(const std::filesystem::path& path) override;

private:
    std::size_t m_map_from;
};

// The reason for the system's error code of a failed file operation: an errno value on
// Linux, a GetLastError() value on Windows.
FileErrorReason reason_of_system_error(int code);

} // namespace orv
