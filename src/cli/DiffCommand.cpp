#include "cli/DiffCommand.h"

#include <ostream>

#include "learn/PluginDiff.h"
#include "translation/TextConventions.h"

namespace orv::cli {

int run_diff(const Context& context, std::span<const std::string> arguments) {
    if (arguments.size() != 2) {
        return refuse(context,
                      cp1252(u8"Aufruf: orvental-cli [--program-dir ORDNER] diff ALT NEU"));
    }
    const auto older_path = path_from_utf8(arguments[0]);
    const auto newer_path = path_from_utf8(arguments[1]);
    auto older = context.files.read_all(older_path);
    if (!older) {
        return refuse(context, older.error().message);
    }
    auto newer = context.files.read_all(newer_path);
    if (!newer) {
        return refuse(context, newer.error().message);
    }
    const auto changes =
        diff_plugins(*older, *newer, display_path(older_path), display_path(newer_path));
    if (!changes) {
        return refuse(context, changes.error().message);
    }
    std::string out;
    for (const auto& change : *changes) {
        append_escaped_line(out, {change.kind, change.key, text_change_word(change.change),
                                  change.old_text, change.new_text});
    }
    context.out.write(out.data(), static_cast<std::streamsize>(out.size()));
    context.out.flush();
    return kExitOk;
}

} // namespace orv::cli
