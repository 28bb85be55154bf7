#pragma once

#include <filesystem>
#include <functional>

#include "platform/Files.h"

namespace orv {

// Writes a file so that a crash, a full disk or a kill never leaves a half file: the
// bytes go to a temporary file beside the target, which is closed (flushed to the disk)
// and then renamed over the target. On any failure the temporary file is removed and the
// target is left exactly as it was.
//
//   auto written = write_file_atomically(files, "dataextra/Extradata.dat", bytes);
Result<void> write_file_atomically(Files& files, const std::filesystem::path& target,
                                   ByteSpan contents);

// The same, for contents produced piece by piece (a plugin written block by block).
using WriteContents = std::function<Result<void>(OutputFile&)>;
Result<void> write_file_atomically(Files& files, const std::filesystem::path& target,
                                   const WriteContents& write_contents);

// The temporary file that write_file_atomically uses for `target`.
std::filesystem::path temporary_path_for(const std::filesystem::path& target);

} // namespace orv
