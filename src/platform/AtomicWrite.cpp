#include "platform/AtomicWrite.h"

namespace orv {

std::filesystem::path temporary_path_for(const std::filesystem::path& target) {
    auto name = target.filename().string();
    return target.parent_path() / ("." + name + ".orvental-tmp");
}

Result<void> write_file_atomically(Files& files, const std::filesystem::path& target,
                                   ByteSpan contents) {
    return write_file_atomically(files, target,
                                 [contents](OutputFile& out) { return out.write(contents); });
}

Result<void> write_file_atomically(Files& files, const std::filesystem::path& target,
                                   const WriteContents& write_contents) {
    const auto temporary = temporary_path_for(target);
    auto file = files.create(temporary);
    if (!file) {
        (void)files.remove(temporary);
        return file.error();
    }
    auto written = write_contents(**file);
    if (written) {
        written = (*file)->close();
    }
    file->reset();
    if (written) {
        written = files.rename(temporary, target);
    }
    if (!written) {
        // The target was never touched; only the temporary file has to go.
        (void)files.remove(temporary);
    }
    return written;
}

} // namespace orv
