#pragma once

#include <filesystem>
#include <functional>
#include <vector>

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

namespace orv {

// One file of a set replaced together.
struct FileReplacement {
    std::filesystem::path target;
    WriteContents write_contents;
};

// Replaces several files so that a failure leaves every one of them as it was: all new
// contents are first written completely to temporary files, then renamed over their
// targets in order. If a rename fails, the targets already replaced get their old bytes
// back (read before anything was touched). A kill part-way leaves each target either old
// or new, never half written. Put the most valuable file last: it needs no copy of its
// old bytes in memory.
Result<void> replace_files(Files& files, const std::vector<FileReplacement>& replacements);

} // namespace orv
