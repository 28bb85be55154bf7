#pragma once

#include "platform/Files.h"

namespace orv {

// The files of the local file system: POSIX calls on Linux, wide-character Win32 calls on
// Windows (one implementation file per system).
class LocalFiles final : public Files {
public:
    Result<Bytes> read_all(const std::filesystem::path& path) override;
    // Maps the file where a page the system fails to deliver can be survived (Linux);
    // copies it elsewhere. Each system's implementation file says why.
    Result<FileContents> read_contents(const std::filesystem::path& path) override;
    bool exists(const std::filesystem::path& path) override;
    Result<std::unique_ptr<OutputFile>> create(const std::filesystem::path& path) override;
    Result<void> rename(const std::filesystem::path& from,
                        const std::filesystem::path& to) override;
    Result<void> remove(const std::filesystem::path& path) override;
    Result<void> create_directories(const std::filesystem::path& path) override;
};

// The reason for the system's error code of a failed file operation: an errno value on
// Linux, a GetLastError() value on Windows.
FileErrorReason reason_of_system_error(int code);

} // namespace orv
