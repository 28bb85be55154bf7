#include "cli/BatchPlugin.h"

#include "plugin/PluginReader.h"
#include "translation/PluginLoader.h"

namespace orv::cli {
namespace {

// A batch command shows no progress and no list views; it prints what it needs afterwards.
class SilentLoaderView final : public LoaderView {
public:
    void show_progress(const Text&) override {}
    void show_rows(int, const std::vector<Element>&) override {}
};

} // namespace

Result<BatchPlugin> load_batch_plugin(const Context& context, const std::filesystem::path& path) {
    auto file = context.files.read_all(path);
    if (!file) {
        return file.error();
    }
    TranslationDatabase database(context.files, context.program_dir);
    BatchPlugin plugin;
    SilentLoaderView view;
    if (auto loaded = load_plugin(std::move(*file), database, plugin.store, plugin.lists, view);
        !loaded) {
        return loaded.error();
    }
    // The loader writes a German name into a record only where it replaces the name, so a
    // record that differs from the file's is one name taken from the database.
    if (const auto original = read_plugin(*file)) {
        for (const auto& type : kRecordTypes) {
            for (const auto& element : plugin.lists.list(type.index).elements) {
                const auto block = static_cast<std::size_t>(element.block);
                if (block < original->blocks.size() && block < plugin.store.block_count() &&
                    original->blocks[block] != plugin.store.block(block)) {
                    ++plugin.names_from_database;
                }
            }
        }
    }
    return plugin;
}

} // namespace orv::cli
