#pragma once

#include "platform/Files.h"

namespace orv {

// The files of the local file system, through the C++ and POSIX libraries.
class LocalFiles final : public Files {
public:
    Result<Bytes> read_all(const std::filesystem::path& path) override;
    bool exists(const std::filesystem::path& path) override;
    Result<std::unique_ptr<OutputFile>> create(const std::filesystem::path& path) override;
    Result<void> rename(const std::filesystem::path& from,
                        const std::filesystem::path& to) override;
    Result<void> remove(const std::filesystem::path& path) override;
    Result<void> create_directories(const std::filesystem::path& path) override;
};

// The reason for an errno value of a failed file operation.
FileErrorReason reason_of_errno(int error_number);

} // namespace orv
