#pragma once

#include "platform/Files.h"

namespace orv {

// The part of an output file that every system shares: many small writes (a plugin is
// written record by record) are gathered into few system calls. A system's file supplies
// the two calls that reach its disk.
class BufferedOutputFile : public OutputFile {
public:
    Result<void> write(ByteSpan bytes) final;
    // What went through to the system may go to the disk now; what is still gathered here
    // follows with the next write through.
    void start_flush() final { flush_written_in_background(); }
    // Writes what is gathered, then flushes the file to the disk and closes it; the file is
    // closed whatever failed, and the first failure is returned.
    Result<void> close() final;

protected:
    explicit BufferedOutputFile(std::filesystem::path path) : m_path(std::move(path)) {}
    const std::filesystem::path& path() const { return m_path; }

    // Writes all of `bytes`, or fails with a German message naming the file.
    virtual Result<void> write_through(ByteSpan bytes) = 0;
    // Flushes the file to the disk and closes it; called once.
    virtual Result<void> sync_and_close() = 0;
    // Starts flushing what was written through so far, unless a system does not do this;
    // a failure of it is returned by sync_and_close().
    virtual void flush_written_in_background() {}

private:
    static constexpr std::size_t kBufferSize = 1 << 20;

    std::filesystem::path m_path;
    Bytes m_buffer;
};

} // namespace orv
