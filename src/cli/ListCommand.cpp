#include "cli/ListCommand.h"

#include <ostream>

#include "cli/BatchPlugin.h"
#include "cli/TextConventions.h"

namespace orv::cli {
int run_list(const Context& context, std::span<const std::string> arguments) {
    if (arguments.size() != 1) {
        return refuse(context, cp1252(u8"Aufruf: orvental-cli [--program-dir ORDNER] list PLUGIN"));
    }
    const auto plugin = load_batch_plugin(context, path_from_utf8(arguments[0]));
    if (!plugin) {
        return refuse(context, plugin.error().message);
    }
    const ObjectLists& lists = plugin->lists;

    std::string out;
    for (const auto& type : kRecordTypes) {
        const std::string label = escape_field(Text(type.label));
        for (const auto& element : lists.list(type.index).elements) {
            out += label + '\t' + escape_field(element.mark) + '\t' + escape_field(element.id) +
                   '\t' + escape_field(element.ev_name) + '\t' + escape_field(element.dv_name) +
                   '\n';
        }
    }
    for (const auto& skill : lists.skills()) {
        out += "Skill\t" + std::to_string(skill.skill_index) + '\t' + escape_field(skill.id) +
               '\t' + escape_field(skill.ev_name) + '\t' + escape_field(skill.dv_name) + '\n';
    }
    context.out << out;
    context.out.flush();
    return kExitOk;
}

} // namespace orv::cli
