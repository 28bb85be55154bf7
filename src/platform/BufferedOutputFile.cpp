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
