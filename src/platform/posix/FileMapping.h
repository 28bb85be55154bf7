#pragma once

#include <cstddef>
#include <memory>

#include "platform/Files.h"

namespace orv {

// Maps `size` bytes (more than zero) of the open file `descriptor` for reading, or gives
// nothing when the system will not map it; the caller then reads the file instead. The
// descriptor may be closed once this returns.
std::unique_ptr<MappedFile> map_file(int descriptor, std::size_t size);

} // namespace orv
