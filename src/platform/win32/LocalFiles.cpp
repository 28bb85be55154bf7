#include "platform/LocalFiles.h"

#include <algorithm>

#include <windows.h>

#include "platform/BufferedOutputFile.h"

namespace orv {
namespace {

// ReadFile and WriteFile move at most a DWORD's worth of bytes per call; pieces of 64 MiB
// keep every call far below that.
constexpr std::size_t kLargestPiece = std::size_t{1} << 26;

bool is_missing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// The error of the call that just failed, named by the system's reason.
Error system_error(ErrorKind kind, const std::filesystem::path& path) {
    return file_error(kind, path, reason_of_system_error(static_cast<int>(GetLastError())));
}

// The library's error codes come from the C runtime or from Windows; compared as
// conditions they read the same.
FileErrorReason reason_of_library_error(const std::error_code& error) {
    if (error == std::errc::no_space_on_device) {
        return FileErrorReason::DiskFull;
    }
    if (error == std::errc::permission_denied) {
        return FileErrorReason::AccessDenied;
    }
    if (error == std::errc::read_only_file_system) {
        return FileErrorReason::ReadOnly;
    }
    if (error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory) {
        return FileErrorReason::PathMissing;
    }
    return FileErrorReason::Other;
}

class HandleCloser {
public:
    explicit HandleCloser(HANDLE handle) : m_handle(handle) {}
    HandleCloser(const HandleCloser&) = delete;
    HandleCloser& operator=(const HandleCloser&) = delete;
    ~HandleCloser() { CloseHandle(m_handle); }

private:
    HANDLE m_handle;
};

class LocalOutputFile final : public BufferedOutputFile {
public:
    LocalOutputFile(HANDLE handle, std::filesystem::path path)
        : BufferedOutputFile(std::move(path)), m_handle(handle) {}

    ~LocalOutputFile() override {
        if (m_handle != INVALID_HANDLE_VALUE) {
            CloseHandle(m_handle);
        }
    }

private:
    Result<void> write_through(ByteSpan bytes) override {
        while (!bytes.empty()) {
            const auto piece = static_cast<DWORD>(std::min(bytes.size(), kLargestPiece));
            DWORD written = 0;
            if (!WriteFile(m_handle, bytes.data(), piece, &written, nullptr) || written == 0) {
                return system_error(ErrorKind::WriteFailed, path());
            }
            bytes = bytes.subspan(written);
        }
        return {};
    }

    Result<void> sync_and_close() override {
        DWORD failure = FlushFileBuffers(m_handle) ? 0 : GetLastError();
        if (!CloseHandle(m_handle) && failure == 0) {
            failure = GetLastError();
        }
        m_handle = INVALID_HANDLE_VALUE;
        if (failure != 0) {
            return file_error(ErrorKind::WriteFailed, path(),
                              reason_of_system_error(static_cast<int>(failure)));
        }
        return {};
    }

    HANDLE m_handle;
};

} // namespace

FileErrorReason reason_of_system_error(int code) {
    switch (static_cast<DWORD>(code)) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return FileErrorReason::DiskFull;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return FileErrorReason::AccessDenied;
    case ERROR_WRITE_PROTECT:
        return FileErrorReason::ReadOnly;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return FileErrorReason::PathMissing;
    default:
        return FileErrorReason::Other;
    }
}

namespace {

// Reads the whole file at `path` into memory that make(size) gives for the file's size, and
// returns it; fails when fewer bytes come than the file had when it was opened.
template <typename Memory, typename Make>
Result<Memory> read_whole_file(const std::filesystem::path& path, Make&& make) {
    // Other programs may keep the file open, even for writing: reading it is still allowed,
    // as in every Windows program.
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return is_missing(GetLastError()) ? missing_file_error(path)
                                          : system_error(ErrorKind::ReadFailed, path);
    }
    HandleCloser closer(handle);
    LARGE_INTEGER size{};
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileSizeEx(handle, &size) ||
        size.QuadPart < 0) {
        return file_error(ErrorKind::ReadFailed, path);
    }
    Memory memory = make(static_cast<std::size_t>(size.QuadPart));
    const std::span<std::byte> bytes(memory.data(), memory.size());
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const auto piece = static_cast<DWORD>(std::min(bytes.size() - filled, kLargestPiece));
        DWORD got = 0;
        if (!ReadFile(handle, bytes.data() + filled, piece, &got, nullptr) || got == 0) {
            break;
        }
        filled += got;
    }
    if (filled != bytes.size()) {
        return file_error(ErrorKind::ReadFailed, path);
    }
    return memory;
}

} // namespace

Result<Bytes> LocalFiles::read_all(const std::filesystem::path& path) {
    return read_whole_file<Bytes>(path, [](std::size_t size) { return Bytes(size); });
}

// Copied, not mapped: a page of a mapped view that Windows fails to deliver (a network drive
// gone, a failing disk) raises an exception that ends the program, where a failed ReadFile is
// an error like any other. The copy's memory is not cleared first.
Result<FileContents> LocalFiles::read_contents(const std::filesystem::path& path) {
    auto buffer =
        read_whole_file<ByteBuffer>(path, [](std::size_t size) { return ByteBuffer(size); });
    if (!buffer) {
        return buffer.error();
    }
    return FileContents(std::move(*buffer));
}

bool LocalFiles::exists(const std::filesystem::path& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

Result<std::unique_ptr<OutputFile>> LocalFiles::create(const std::filesystem::path& path) {
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return system_error(ErrorKind::CreateFailed, path);
    }
    return std::unique_ptr<OutputFile>(std::make_unique<LocalOutputFile>(handle, path));
}

Result<void> LocalFiles::rename(const std::filesystem::path& from,
                                const std::filesystem::path& to) {
    // Replaces the target in one step and returns only once the change is on the disk. A
    // target held open by another program is not replaced, and neither is a read-only one:
    // Windows refuses that itself, Wine would not, so it is checked here first.
    const DWORD attributes = GetFileAttributesW(to.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return file_error(ErrorKind::RenameFailed, to, FileErrorReason::AccessDenied);
    }
    if (!MoveFileExW(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return system_error(ErrorKind::RenameFailed, to);
    }
    return {};
}

Result<void> LocalFiles::remove(const std::filesystem::path& path) {
    if (!DeleteFileW(path.c_str()) && !is_missing(GetLastError())) {
        return system_error(ErrorKind::RemoveFailed, path);
    }
    return {};
}

Result<void> LocalFiles::create_directories(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (error) {
        return file_error(ErrorKind::CreateFailed, path, reason_of_library_error(error));
    }
    return {};
}

} // namespace orv
