#include "cli/SuggestCommand.h"

#include <optional>
#include <ostream>

#include "plugin/RecordTypes.h"
#include "translation/Suggestions.h"
#include "translation/TextConventions.h"

namespace orv::cli {

int run_suggest(const Context& context, std::span<const std::string> arguments) {
    const Text usage =
        cp1252(u8"Aufruf: orvental-cli [--program-dir ORDNER] suggest \"EV NAME\" [--list LISTE]");
    if (arguments.size() != 1 && !(arguments.size() == 3 && arguments[1] == "--list")) {
        return refuse(context, usage);
    }
    const auto ev_name = from_utf8(arguments[0]);
    if (!ev_name) {
        return refuse(context, field_problem(arguments[0]));
    }
    std::optional<int> list_index;
    if (arguments.size() == 3) {
        const auto label = from_utf8(arguments[2]);
        list_index = label ? object_type_labelled(*label) : std::nullopt;
        if (!list_index) {
            return refuse(context,
                          cp1252(u8"Unbekannte Liste „") + label.value_or("?") + cp1252(u8"“."));
        }
    }
    const auto loaded = load_suggestions(context.files, context.program_dir);
    if (loaded.problem) {
        (void)refuse(context, loaded.problem->message);
    }
    std::string out;
    for (const auto& suggestion : loaded.index.suggest(*ev_name, list_index)) {
        append_escaped_line(
            out, {suggestion.dv_name, suggestion.source, suggestion_kind_text(suggestion.kind)});
    }
    context.out.write(out.data(), static_cast<std::streamsize>(out.size()));
    context.out.flush();
    return kExitOk;
}

} // namespace orv::cli
