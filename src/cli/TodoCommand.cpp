#include "cli/TodoCommand.h"

#include <ostream>

#include "cli/BatchPlugin.h"
#include "translation/PlayerTexts.h"
#include "translation/RowFilter.h"
#include "translation/TextConventions.h"

namespace orv::cli {

int run_todo(const Context& context, std::span<const std::string> arguments) {
    if (arguments.size() != 1) {
        return refuse(context, cp1252(u8"Aufruf: orvental-cli [--program-dir ORDNER] todo PLUGIN"));
    }
    const auto plugin = load_batch_plugin(context, path_from_utf8(arguments[0]));
    if (!plugin) {
        return refuse(context, plugin.error().message);
    }
    std::string out;
    for (const auto& type : kRecordTypes) {
        for (const auto& element : plugin->lists.list(type.index).elements) {
            if (!needs_translation(element)) {
                continue;
            }
            append_escaped_line(out, {type.label, element.id, element.ev_name});
        }
    }
    // The text databases are read as every command reads the database: a file that exists
    // but cannot be read must not make its texts look untranslated.
    TranslationDatabase database(context.files, context.program_dir);
    for (const auto& kind : player_text_kinds()) {
        for (const auto& text : texts_to_do(kind, plugin->store, plugin->lists, database)) {
            append_escaped_line(out, {kind.label, text.key, text.text});
        }
    }
    if (const auto& error = database.read_error()) {
        return refuse(context, error->message);
    }
    context.out.write(out.data(), static_cast<std::streamsize>(out.size()));
    context.out.flush();
    return kExitOk;
}

} // namespace orv::cli
