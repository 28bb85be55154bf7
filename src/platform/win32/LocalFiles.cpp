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
                return file_error(ErrorKind::WriteFailed, path());
            }
            bytes = bytes.subspan(written);
        }
        return {};
    }

    Result<void> sync_and_close() override {
        const bool synced = FlushFileBuffers(m_handle) != 0;
        const bool closed = CloseHandle(m_handle) != 0;
        m_handle = INVALID_HANDLE_VALUE;
        if (!synced || !closed) {
            return file_error(ErrorKind::WriteFailed, path());
        }
        return {};
    }

    HANDLE m_handle;
};

} // namespace

Result<Bytes> LocalFiles::read_all(const std::filesystem::path& path) {
    // Other programs may keep the file open, even for writing: reading it is still allowed,
    // as in every Windows program.
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return file_error(is_missing(GetLastError()) ? ErrorKind::NotFound : ErrorKind::ReadFailed,
                          path);
    }
    HandleCloser closer(handle);
    LARGE_INTEGER size{};
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileSizeEx(handle, &size) ||
        size.QuadPart < 0) {
        return file_error(ErrorKind::ReadFailed, path);
    }
    Bytes bytes(static_cast<std::size_t>(size.QuadPart));
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
    return bytes;
}

bool LocalFiles::exists(const std::filesystem::path& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

Result<std::unique_ptr<OutputFile>> LocalFiles::create(const std::filesystem::path& path) {
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return file_error(ErrorKind::CreateFailed, path);
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
        return file_error(ErrorKind::RenameFailed, to);
    }
    if (!MoveFileExW(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return file_error(ErrorKind::RenameFailed, to);
    }
    return {};
}

Result<void> LocalFiles::remove(const std::filesystem::path& path) {
    if (!DeleteFileW(path.c_str()) && !is_missing(GetLastError())) {
        return file_error(ErrorKind::RemoveFailed, path);
    }
    return {};
}

Result<void> LocalFiles::create_directories(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (error) {
        return file_error(ErrorKind::CreateFailed, path);
    }
    return {};
}

} // namespace orv
