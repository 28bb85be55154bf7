#include "platform/LocalFiles.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "platform/BufferedOutputFile.h"
#include "platform/posix/FileMapping.h"

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
        if (m_flusher.joinable()) {
            m_flusher.join();
        }
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
        // The disk starts on these bytes now, while the next ones are made; the flush at
        // the close then waits for the last piece only instead of the whole file. Only a
        // hint: whether it worked, the close's flush tells.
        (void)::sync_file_range(m_descriptor, m_written, static_cast<off_t>(bytes.size()),
                                SYNC_FILE_RANGE_WRITE);
        m_written += static_cast<off_t>(bytes.size());
        return {};
    }

    // A second thread asks the system to bring what is written so far to the disk; on a
    // virtual machine the flush takes as long as the host needs for every byte since the
    // last one, and the host does this while the program goes on. One flush at a time: a
    // call while one runs, or with nothing written since the last, does nothing.
    void flush_written_in_background() override {
        if (m_flushing || m_written == m_flushed_to) {
            return;
        }
        if (m_flusher.joinable()) {
            m_flusher.join();
        }
        m_flushing = true;
        m_flushed_to = m_written;
        m_flusher = std::thread([this] {
            if (::fdatasync(m_descriptor) != 0) {
                // The system reports a failed write to one flush only: the close must see it.
                m_flush_failure = errno;
            }
            m_flushing = false;
        });
    }

    Result<void> sync_and_close() override {
        if (m_flusher.joinable()) {
            m_flusher.join();
        }
        int failure = ::fsync(m_descriptor) == 0 ? 0 : errno;
        if (m_flush_failure != 0) {
            failure = m_flush_failure;
        }
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
    // The bytes written so far: where the next write begins.
    off_t m_written = 0;
    // The bytes written when the last flush began.
    off_t m_flushed_to = 0;
    std::thread m_flusher;
    std::atomic<bool> m_flushing{false};
    std::atomic<int> m_flush_failure{0};
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

// From this size on, the memory a file is read into is faulted in by two threads at once.
constexpr std::size_t kPopulateFrom = std::size_t{4} << 20;

// Gives the pages of [data, data + size) their memory now, half of them on a second thread.
// Every fresh page costs a fault when first touched, and on a virtual machine a fault takes
// microseconds: the pages of a plugin of several megabytes take milliseconds, which two
// threads halve. The pages read as zeros, as fresh memory does; nothing is written into
// them, so a page that already has its memory stays as it is. A system without this advice
// refuses it, and the pages fault in when they are written, as before.
void populate_on_two_threads(std::byte* data, std::size_t size) {
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<std::uintptr_t>(data) / page * page;
    const auto end = reinterpret_cast<std::uintptr_t>(data) + size;
    const std::uintptr_t middle = (start + (end - start) / 2) / page * page;
    std::thread later([middle, end] {
        (void)::madvise(reinterpret_cast<void*>(middle), end - middle, MADV_POPULATE_WRITE);
    });
    (void)::madvise(reinterpret_cast<void*>(start), middle - start, MADV_POPULATE_WRITE);
    later.join();
}

// A regular file opened for reading, closed when this goes.
class InputFile {
public:
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile() { ::close(m_descriptor); }

    static Result<std::unique_ptr<InputFile>> open(const std::filesystem::path& path) {
        const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (descriptor < 0) {
            return errno == ENOENT ? missing_file_error(path)
                                   : system_error(ErrorKind::ReadFailed, path);
        }
        auto file = std::unique_ptr<InputFile>(new InputFile(descriptor));
        struct stat status {};
        if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
            return file_error(ErrorKind::ReadFailed, path);
        }
        file->m_size = static_cast<std::size_t>(status.st_size);
        return file;
    }

    int descriptor() const { return m_descriptor; }
    std::size_t size() const { return m_size; }

    // All of it; fails when fewer bytes come than the file had when it was opened.
    Result<Bytes> read_all(const std::filesystem::path& path) const {
        Bytes bytes;
        bytes.reserve(m_size);
        populate(bytes.data());
        bytes.resize(m_size);
        if (!fill(bytes)) {
            return file_error(ErrorKind::ReadFailed, path);
        }
        return bytes;
    }
    // The same into a buffer whose memory is not cleared first: the read fills every byte.
    Result<ByteBuffer> read_buffer(const std::filesystem::path& path) const {
        ByteBuffer buffer(m_size);
        populate(buffer.writable().data());
        if (!fill(buffer.writable())) {
            return file_error(ErrorKind::ReadFailed, path);
        }
        return buffer;
    }

private:
    explicit InputFile(int descriptor) : m_descriptor(descriptor) {}

    // Gives the memory of a large file's buffer, starting at `data`, its pages before the
    // read fills them (see populate_on_two_threads).
    void populate(std::byte* data) const {
        if (m_size >= kPopulateFrom) {
            populate_on_two_threads(data, m_size);
        }
    }

    // Reads the file into `bytes`, which is as large as the file was when it was opened;
    // false when fewer bytes come.
    bool fill(std::span<std::byte> bytes) const {
        std::size_t filled = 0;
        while (filled < bytes.size()) {
            const auto got = ::read(m_descriptor, bytes.data() + filled, bytes.size() - filled);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                break;
            }
            filled += static_cast<std::size_t>(got);
        }
        return filled == bytes.size();
    }

    int m_descriptor;
    std::size_t m_size = 0;
};

} // namespace

Result<Bytes> LocalFiles::read_all(const std::filesystem::path& path) {
    auto file = InputFile::open(path);
    if (!file) {
        return file.error();
    }
    return (*file)->read_all(path);
}

// A large file is mapped, so that it is not held twice, in the system's file cache and in a
// copy: a page past the end of a file another program shortened, or one the disk fails to
// deliver, raises SIGBUS, which the mapping's guard turns into zeros and a read error. A
// smaller one is read: every page of a mapping costs a fault when it is first touched, and
// on a virtual machine a fault takes microseconds, while the memory a read fills is what the
// heap gave back from the file read before.
Result<FileContents> LocalFiles::read_contents(const std::filesystem::path& path) {
    auto file = InputFile::open(path);
    if (!file) {
        return file.error();
    }
    if ((*file)->size() > 0 && (*file)->size() >= m_map_from) {
        if (auto mapped = map_file((*file)->descriptor(), (*file)->size())) {
            return FileContents(std::move(mapped), path);
        }
    }
    auto buffer = (*file)->read_buffer(path);
    if (!buffer) {
        return buffer.error();
    }
    return FileContents(std::move(*buffer));
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
