#include "cli/CheckCommand.h"

#include <optional>
#include <ostream>

#include "cli/BatchPlugin.h"
#include "cli/EditsFile.h"
#include "save/ReferenceCheck.h"
#include "translation/TextConventions.h"
#include "translation/TranslationDatabase.h"

namespace orv::cli {
namespace {

struct CheckArguments {
    std::filesystem::path plugin;
    std::optional<std::filesystem::path> edits;
};

std::optional<CheckArguments> parse_arguments(std::span<const std::string> arguments) {
    CheckArguments parsed;
    bool have_plugin = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const auto& argument = arguments[i];
        if (argument == "--edits" && i + 1 < arguments.size() && !parsed.edits) {
            parsed.edits = path_from_utf8(arguments[++i]);
        } else if (!have_plugin && !argument.empty() && argument[0] != '-') {
            parsed.plugin = path_from_utf8(argument);
            have_plugin = true;
        } else {
            return std::nullopt;
        }
    }
    if (!have_plugin) {
        return std::nullopt;
    }
    return parsed;
}

} // namespace

int run_check(const Context& context, std::span<const std::string> arguments) {
    const auto parsed = parse_arguments(arguments);
    if (!parsed) {
        return refuse(context, cp1252(u8"Aufruf: orvental-cli [--program-dir ORDNER] check "
                                      u8"PLUGIN [--edits ÄNDERUNGEN]"));
    }
    auto edits = read_edits_file(context.files, parsed->edits);
    if (!edits) {
        return refuse(context, edits.error().message);
    }
    auto plugin = load_batch_plugin(context, parsed->plugin);
    if (!plugin) {
        return refuse(context, plugin.error().message);
    }
    if (*edits) {
        const auto topics = read_topic_names(context.files, context.program_dir);
        if (!topics) {
            return refuse(context, topics.error().message);
        }
        if (auto applied = apply_edits(**edits, plugin->store, plugin->lists, *topics); !applied) {
            return refuse(context, applied.error().message);
        }
    }
    const auto findings =
        check_plugin(plugin->store, plugin->lists, context.files, context.program_dir);
    if (!findings) {
        return refuse(context, findings.error().message);
    }

    std::string out;
    for (const auto& finding : *findings) {
        append_escaped_line(
            out, {finding_kind_word(finding.kind), finding.record, finding.id, finding.detail});
    }
    context.out.write(out.data(), static_cast<std::streamsize>(out.size()));
    context.out.flush();
    return findings->empty() ? kExitOk : kExitFindings;
}

} // namespace orv::cli
