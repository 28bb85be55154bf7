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

void write_block_progress(Text& out, const Text& label, std::size_t block,
                          std::int32_t record_count) {
    out.assign(label);
    append_number(out, block);
    out += " / ";
    append_number(out, record_count);
}

Text block_progress(const Text& label, std::size_t block, std::int32_t record_count) {
    Text out;
    write_block_progress(out, label, block, record_count);
    return out;
}

} // namespace orv
