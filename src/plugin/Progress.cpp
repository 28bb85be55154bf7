#include "plugin/Progress.h"

#include <charconv>

namespace orv {
namespace {

template <typename Number>
void append_number(Text& out, Number number) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    out.append(digits, end);
}

} // namespace

Text block_progress(const Text& label, std::size_t block, std::int32_t record_count) {
    return BlockProgress(label, record_count).text(block);
}

BlockProgress::BlockProgress(const Text& label, std::int32_t record_count)
    : m_text(label), m_label_size(label.size()), m_tail(" / ") {
    append_number(m_tail, record_count);
    // Room for any block number, so that the buffer never grows again.
    m_text.reserve(m_label_size + 20 + m_tail.size());
}

void BlockProgress::show(std::size_t block, const ProgressFunction& progress) {
    if (progress) {
        progress(text(block));
    }
}

const Text& BlockProgress::text(std::size_t block) {
    m_text.resize(m_label_size);
    append_number(m_text, block);
    m_text += m_tail;
    return m_text;
}

} // namespace orv
