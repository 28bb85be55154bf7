#include "platform/LocalFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/BufferedOutputFile.h"

namespace orv {

FileErrorReason reason_of_system_error(int error_number) {
    switch (error_number) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return FileErrorReason::DiskFull;
    case EACCES:
    case EPERM:
        return FileErrorReason::AccessDenied;
    case EROFS:
        return FileErrorReason::ReadOnly;
    case ENOENT:
    case ENOTDIR:
        return FileErrorReason::PathMissing;
    default:
        return FileErrorReason::Other;
    }
}

namespace {

// The error of the call that just failed; errno is read before anything else can change it.
Error system_error(ErrorKind kind, const std::filesystem::path& path) {
    return file_error(kind, path, reason_of_system_error(errno));
}

class LocalOutputFile final : public BufferedOutputFile {
public:
    LocalOutputFile(int descriptor, std::filesystem::path path)
        : BufferedOutputFile(std::move(path)), m_descriptor(descriptor) {}

    ~LocalOutputFile() override {
        if (m_descriptor >= 0) {
            ::close(m_descriptor);
        }
    }

private:
    Result<void> write_through(ByteSpan bytes) override {
        const auto* data = reinterpret_cast<const char*>(bytes.data());
        std::size_t left = bytes.size();
        while (left > 0) {
            const auto written = ::write(m_descriptor, data, left);
            if (written < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return system_error(ErrorKind::WriteFailed, path());
            }
            data += written;
            left -= static_cast<std::size_t>(written);
        }
        return {};
    }

    Result<void> sync_and_close() override {
        int failure = ::fsync(m_descriptor) == 0 ? 0 : errno;
        if (::close(m_descriptor) != 0 && failure == 0) {
            failure = errno;
        }
        m_descriptor = -1;
        if (failure != 0) {
            return file_error(ErrorKind::WriteFailed, path(), reason_of_system_error(failure));
        }
        return {};
    }

    int m_descriptor;
};

// Makes a finished rename survive a power cut; a failure here is not worth reporting,
// the rename itself has happened.
void sync_folder_of(const std::filesystem::path& path) {
    auto folder = path.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        (void)::fsync(descriptor);
        ::close(descriptor);
    }
}

} // namespace

Result<Bytes> LocalFiles::read_all(const std::filesystem::path& path) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return errno == ENOENT ? missing_file_error(path)
                               : system_error(ErrorKind::ReadFailed, path);
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return file_error(ErrorKind::ReadFailed, path);
    }
    Bytes bytes(static_cast<std::size_t>(status.st_size));
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const auto got = ::read(descriptor, bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    ::close(descriptor);
    if (filled != bytes.size()) {
        return file_error(ErrorKind::ReadFailed, path);
    }
    return bytes;
}

bool LocalFiles::exists(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

Result<std::unique_ptr<OutputFile>> LocalFiles::create(const std::filesystem::path& path) {
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        return system_error(ErrorKind::CreateFailed, path);
    }
    return std::unique_ptr<OutputFile>(std::make_unique<LocalOutputFile>(descriptor, path));
}

Result<void> LocalFiles::rename(const std::filesystem::path& from,
                                const std::filesystem::path& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) {
        return system_error(ErrorKind::RenameFailed, to);
    }
    sync_folder_of(to);
    return {};
}

Result<void> LocalFiles::remove(const std::filesystem::path& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        return system_error(ErrorKind::RemoveFailed, path);
    }
    return {};
}

Result<void> LocalFiles::create_directories(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (error) {
        return file_error(ErrorKind::CreateFailed, path, reason_of_system_error(error.value()));
    }
    return {};
}

} // namespace orv
