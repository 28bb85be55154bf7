// Loading a plugin from any bytes, editing some of its names, saving it and loading the saved
// file again. The saved file must be exactly the blocks back to back, must load again (with an
// empty database, so that nothing is replaced on the way) and must give the same records,
// block for block; the external database written must read back whole.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "translation/DatabaseFile.h"
#include "translation/NameEdit.h"
#include "translation/TranslationDatabase.h"

using namespace orv;

namespace {

const std::filesystem::path kTarget = "out.esp";

// Edits every other row that the name-edit dialog would let the user edit, with names that
// grow, shrink or empty the record's name (the dialog's length limit applies).
void edit_rows(ObjectLists& lists, bool master_file) {
    int edited = 0;
    for (int list_index = 0; list_index < kObjectListCount; ++list_index) {
        auto& elements = lists.list(list_index).elements;
        for (std::size_t row = 0; row < elements.size(); row += 2) {
            if (elements[row].mark == mark::kShipped ||
                name_edit_refusal(master_file, elements[row].mark)) {
                continue;
            }
            const Text ev_name = elements[row].ev_name;
            const int way = edited++ % 3;
            const Text new_name = way == 0   ? "Neu " + ev_name
                                  : way == 1 ? ev_name.substr(0, ev_name.size() / 2)
                                             : Text();
            (void)apply_name_edit(lists, list_index, row, ev_name, new_name);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Bytes input = fuzz::owned(data, size);
    test::MemoryFiles files;
    fuzz::put_database(files);

    BlockStore store;
    ObjectLists lists;
    if (!fuzz::load_with_database(input, files, store, lists)) {
        return 0;
    }
    fuzz::check_loaded(store, lists);
    if (store.is_master_file()) {
        // Saving a master file is refused before the pipeline runs.
        return 0;
    }
    edit_rows(lists, store.is_master_file());

    fuzz::NullSaveView save_view;
    const auto saved = save_plugin(store, lists, files, fuzz::kProgramDir, kTarget, save_view);
    if (!saved) {
        fuzz::fail("saving into memory failed");
    }
    fuzz::check_loaded(store, lists);
    const auto written = files.get(kTarget);
    if (!written) {
        fuzz::fail("the save wrote no target");
    }
    Bytes expected;
    for (std::size_t k = 0; k < store.block_count(); ++k) {
        expected.insert(expected.end(), store.block(k).begin(), store.block(k).end());
    }
    if (*written != expected) {
        fuzz::fail("the saved file is not the blocks back to back");
    }

    const auto external = files.get(fuzz::kProgramDir / "dataextra/Extradata.dat");
    if (!external || parse_pair_file(*external).damaged) {
        fuzz::fail("the saved external database does not read back whole");
    }

    TranslationDatabase empty(files, fuzz::kEmptyProgramDir);
    fuzz::NullLoaderView loader_view;
    BlockStore reloaded;
    ObjectLists reloaded_lists;
    const auto again = load_plugin(*written, empty, reloaded, reloaded_lists, loader_view);
    if (!again) {
        fuzz::fail("the saved file does not load again");
    }
    fuzz::require_same_blocks(reloaded, store,
                              "the saved file loads with another number of records",
                              "a saved record loads with other bytes");
    for (const auto& path : files.paths()) {
        if (path.find("orvental-tmp") != std::string::npos) {
            fuzz::fail("a save left a temporary file");
        }
    }
    return 0;
}
