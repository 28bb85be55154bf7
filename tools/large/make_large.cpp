// orv-make-large FOLDER
//
// Writes the generated large set into FOLDER as a program folder: the database files under
// data/ and dataextra/, the plugin Large.esp (50,001 records with game settings, dialogue
// conditions and cell references to translate, then 20,000 responses under 2,000 topics) and
// edits.tsv, name edits for `orvental-cli translate --edits` on every tenth row the name-edit
// dialog lets the user change. For stress tests of whole commands, such as killing a save part-way.
#include <cstdio>
#include <filesystem>
#include <string>

#include "fixtures/LargePlugin.h"
#include "fixtures/NullViews.h"
#include "platform/AtomicWrite.h"
#include "platform/LocalFiles.h"
#include "translation/NameEdit.h"
#include "translation/PluginLoader.h"
#include "translation/TranslationDatabase.h"

namespace orv {
namespace {

// One edit line per tenth editable row: "LABEL<TAB>ID<TAB>NEW NAME". The generated IDs and
// names are plain ASCII, so they need no escaping.
Result<Bytes> edit_lines(Files& files, const std::filesystem::path& folder, const Bytes& plugin) {
    TranslationDatabase database(files, folder);
    BlockStore store;
    ObjectLists lists;
    fixtures::NullLoaderView view;
    if (auto loaded = load_plugin(plugin, database, store, lists, view); !loaded) {
        return loaded.error();
    }
    std::string text;
    for (const auto& type : kRecordTypes) {
        const auto& elements = lists.list(type.index).elements;
        for (std::size_t row = 0; row < elements.size(); row += 10) {
            const auto& element = elements[row];
            if (element.mark == mark::kShipped ||
                name_edit_refusal(store.is_master_file(), element.mark)) {
                continue;
            }
            const std::string new_name =
                ("Neu " + element.ev_name).substr(0, static_cast<std::size_t>(type.name_limit));
            text += std::string(type.label) + "\t" + element.id + "\t" + new_name + "\n";
        }
    }
    return Bytes(reinterpret_cast<const std::byte*>(text.data()),
                 reinterpret_cast<const std::byte*>(text.data() + text.size()));
}

Result<void> make_large(const std::filesystem::path& folder) {
    const auto set = fixtures::make_large_set({.references = true, .responses = 20000});
    LocalFiles files;
    for (const auto& [name, bytes] : set.database) {
        const auto path = folder / name;
        if (auto made = files.create_directories(path.parent_path()); !made) {
            return made;
        }
        if (auto written = write_file_atomically(files, path, bytes); !written) {
            return written;
        }
    }
    if (auto written = write_file_atomically(files, folder / "Large.esp", set.plugin); !written) {
        return written;
    }
    auto edits = edit_lines(files, folder, set.plugin);
    if (!edits) {
        return edits.error();
    }
    return write_file_atomically(files, folder / "edits.tsv", *edits);
}

} // namespace
} // namespace orv

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: orv-make-large FOLDER\n");
        return 2;
    }
    if (auto made = orv::make_large(argv[1]); !made) {
        std::fprintf(stderr, "orv-make-large: %s\n", orv::to_utf8(made.error().message).c_str());
        return 1;
    }
    return 0;
}
