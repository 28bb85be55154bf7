#include "cli/ListCommand.h"

#include <ostream>

#include "cli/BatchPlugin.h"
#include "translation/TextConventions.h"

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

    // The whole output is built in one buffer and written at once. The buffer is allocated
    // once, for the texts plus an eighth for escapes and umlauts: grown step by step, every
    // larger copy would be fresh memory again, and the last two would be held at once.
    std::size_t text_size = 0;
    for (const auto& type : kRecordTypes) {
        for (const auto& element : lists.list(type.index).elements) {
            text_size += type.label.size() + element.mark.size() + element.id.size() +
                         element.ev_name.size() + element.dv_name.size() + 5;
        }
    }
    for (const auto& skill : lists.skills()) {
        text_size += 16 + skill.id.size() + skill.ev_name.size() + skill.dv_name.size();
    }
    std::string out;
    out.reserve(text_size + text_size / 8);
    const auto field = [&out](TextView text) {
        append_escaped_field(out, text);
        out.push_back('\t');
    };
    for (const auto& type : kRecordTypes) {
        const std::string label = escape_field(Text(type.label)) + '\t';
        for (const auto& element : lists.list(type.index).elements) {
            out += label;
            field(element.mark);
            field(element.id);
            field(element.ev_name);
            append_escaped_field(out, element.dv_name);
            out.push_back('\n');
        }
    }
    for (const auto& skill : lists.skills()) {
        out += "Skill\t";
        out += std::to_string(skill.skill_index);
        out.push_back('\t');
        field(skill.id);
        field(skill.ev_name);
        append_escaped_field(out, skill.dv_name);
        out.push_back('\n');
    }
    context.out.write(out.data(), static_cast<std::streamsize>(out.size()));
    context.out.flush();
    return kExitOk;
}

} // namespace orv::cli
