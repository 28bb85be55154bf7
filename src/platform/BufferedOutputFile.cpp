#include "platform/BufferedOutputFile.h"

namespace orv {

Result<void> BufferedOutputFile::write(ByteSpan bytes) {
    if (m_buffer.size() + bytes.size() > kBufferSize) {
        auto flushed = write_through(m_buffer);
        m_buffer.clear();
        if (!flushed) {
            return flushed;
        }
    }
    if (bytes.size() >= kBufferSize) {
        return write_through(bytes);
    }
    // The buffer gets its whole size at once. Grown step by step, it would copy what it
    // holds at every step, and the smaller buffers it left behind stay in the program's
    // memory, their pages touched: a megabyte more at the peak of a large save.
    m_buffer.reserve(kBufferSize);
    m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());
    return {};
}

Result<void> BufferedOutputFile::close() {
    auto flushed = write_through(m_buffer);
    m_buffer.clear();
    auto closed = sync_and_close();
    return flushed ? closed : flushed;
}

} // namespace orv
