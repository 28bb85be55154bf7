#include "platform/AtomicWrite.h"

#include <optional>

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
        return file_error_for(file.error(), target);
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
        // The target was never touched; only the temporary file has to go. The user knows
        // only the target, so the error names it.
        (void)files.remove(temporary);
        return file_error_for(written.error(), target);
    }
    return written;
}

} // namespace orv

namespace orv {

Result<void> replace_files(Files& files, const std::vector<FileReplacement>& replacements) {
    // The old bytes of every target but the last, for putting them back; nothing means
    // the target did not exist.
    std::vector<std::optional<Bytes>> old_contents;
    for (std::size_t i = 0; i + 1 < replacements.size(); ++i) {
        auto old = files.read_all(replacements[i].target);
        if (!old && old.error().kind != ErrorKind::NotFound) {
            return old.error();
        }
        old_contents.push_back(old ? std::optional<Bytes>(std::move(*old)) : std::nullopt);
    }

    auto remove_temporaries = [&](std::size_t from) {
        for (std::size_t i = from; i < replacements.size(); ++i) {
            (void)files.remove(temporary_path_for(replacements[i].target));
        }
    };

    for (const auto& replacement : replacements) {
        const auto temporary = temporary_path_for(replacement.target);
        auto file = files.create(temporary);
        Result<void> written =
            file ? replacement.write_contents(**file) : Result<void>(file.error());
        if (written) {
            written = (*file)->close();
        }
        if (!written) {
            remove_temporaries(0);
            return file_error_for(written.error(), replacement.target);
        }
    }

    for (std::size_t i = 0; i < replacements.size(); ++i) {
        auto renamed =
            files.rename(temporary_path_for(replacements[i].target), replacements[i].target);
        if (renamed) {
            continue;
        }
        remove_temporaries(i);
        for (std::size_t j = 0; j < i; ++j) {
            const auto& old = old_contents[j];
            // Putting the old bytes back can fail as well; the rename's failure is what
            // gets reported either way.
            (void)(old ? write_file_atomically(files, replacements[j].target, *old)
                       : files.remove(replacements[j].target));
        }
        return renamed;
    }
    return {};
}

} // namespace orv
