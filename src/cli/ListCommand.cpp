#include "cli/ListCommand.h"

#include <ostream>

#include "cli/BatchPlugin.h"
#include "translation/TextConventions.h"

namespace orv::cli {
int run_list(const Context& context, std::span<const std::string> arguments) {
    if (arguments.size() != 1) {
        return refuse(context, cp1252(u8"Aufruf: orvental-cli [--program-dir ORDNER] list PLUGIN"));
    }
    // The list shows the rows of names only; the responses and long texts are not loaded.
    auto plugin = load_batch_plugin(context, path_from_utf8(arguments[0]), LoadScope::NameRows);
    if (!plugin) {
        return refuse(context, plugin.error().message);
    }
    const ObjectLists& lists = plugin->lists;

    // The output is built in a buffer and written a part at a time, always after a whole
    // line: a large plugin's list is megabytes, which a buffer for all of it would add to
    // the command's peak memory.
    constexpr std::size_t kWriteAt = 64 * 1024;
    std::string out;
    out.reserve(kWriteAt + 1024);
    const auto end_line = [&] {
        out.push_back('\n');
        if (out.size() >= kWriteAt) {
            context.out.write(out.data(), static_cast<std::streamsize>(out.size()));
            out.clear();
        }
    };
    const auto field = [&out](TextView text) {
        append_escaped_field(out, text);
        out.push_back('\t');
    };
    for (const auto& type : kRecordTypes) {
        const std::string label = escape_field(Text(type.label)) + '\t';
        for (const auto& element : lists.list(type.index).elements) {
            out += label;
            field(element.mark.text());
            field(element.id);
            field(element.ev_name);
            append_escaped_field(out, element.dv_name);
            end_line();
        }
    }
    for (const auto& skill : lists.skills()) {
        out += "Skill\t";
        out += std::to_string(skill.skill_index);
        out.push_back('\t');
        field(skill.id);
        field(skill.ev_name);
        append_escaped_field(out, skill.dv_name);
        end_line();
    }
    context.out.write(out.data(), static_cast<std::streamsize>(out.size()));
    context.out.flush();
    leave_to_process_end(context, plugin);
    return kExitOk;
}

} // namespace orv::cli
