#include "plugin/Progress.h"

#include <string>

namespace orv {

Text block_progress(const Text& label, std::size_t block, std::int32_t record_count) {
    return label + std::to_string(block) + " / " + std::to_string(record_count);
}

} // namespace orv
