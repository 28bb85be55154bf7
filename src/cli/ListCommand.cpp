#include "cli/ListCommand.h"

#include <ostream>

#include "cli/TextConventions.h"
#include "translation/PluginLoader.h"

namespace orv::cli {
namespace {

// The batch tool shows neither progress nor list views: it prints the lists afterwards.
class SilentView final : public LoaderView {
public:
    void show_progress(const Text&) override {}
    void show_rows(int, const std::vector<Element>&) override {}
};

} // namespace

int run_list(const Context& context, std::span<const std::string> arguments) {
    if (arguments.size() != 1) {
        return refuse(context, cp1252(u8"Aufruf: orvental-cli [--program-dir ORDNER] list PLUGIN"));
    }
    const std::filesystem::path plugin_path = arguments[0];
    auto file = context.files.read_all(plugin_path);
    if (!file) {
        return refuse(context, file.error().message);
    }
    TranslationDatabase database(context.files, context.program_dir);
    BlockStore store;
    ObjectLists lists;
    SilentView view;
    if (auto loaded = load_plugin(*file, database, store, lists, view); !loaded) {
        return refuse(context, loaded.error().message);
    }

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
