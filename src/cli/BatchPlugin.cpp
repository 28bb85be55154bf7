#include "cli/BatchPlugin.h"

#include "translation/PluginLoader.h"
#include "translation/TranslationDatabase.h"

namespace orv::cli {
namespace {

// A batch command shows no progress and no list views; it prints what it needs afterwards.
class SilentLoaderView final : public LoaderView {
public:
    explicit SilentLoaderView(int& replaced_names) : m_replaced_names(replaced_names) {}
    void show_progress(const Text&) override {}
    bool wants_progress() const override { return false; }
    void show_rows(int, const std::vector<Element>&) override {}
    void report_replaced_names(std::size_t count) override {
        m_replaced_names = static_cast<int>(count);
    }

private:
    int& m_replaced_names;
};

} // namespace

Result<BatchPlugin> load_batch_plugin(const Context& context, const std::filesystem::path& path,
                                      LoadScope scope) {
    auto file = context.files.read_contents(path);
    if (!file) {
        return file.error();
    }
    TranslationDatabase database(context.files, context.program_dir);
    BatchPlugin plugin;
    SilentLoaderView view(plugin.names_from_database);
    if (auto loaded =
            load_plugin(std::move(*file), database, plugin.store, plugin.lists, view, scope);
        !loaded) {
        return loaded.error();
    }
    return plugin;
}

} // namespace orv::cli
