// Loading a plugin from any bytes: the file is split into blocks, every name is looked up in
// a small database (replacing the names it knows) and the rows are built. A refused file must
// come back with a message and leave the plugin loaded before untouched; a loaded one must
// satisfy check_loaded, and must give the same blocks and rows as a load whose database
// files were all read whole beforehand (the loader keeps only the entries the plugin's names
// can find).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <tuple>

#include "FuzzSupport.h"
#include "fixtures/PluginBuilder.h"
#include "translation/TranslationDatabase.h"

using namespace orv;

namespace {

bool same_rows(const ObjectLists& left, const ObjectLists& right) {
    const auto row = [](const Element& e) {
        return std::tie(e.mark, e.id, e.ev_name, e.dv_name, e.block);
    };
    for (int list_index = 0; list_index < kObjectListCount; ++list_index) {
        const auto& a = left.list(list_index).elements;
        const auto& b = right.list(list_index).elements;
        if (!std::equal(a.begin(), a.end(), b.begin(), b.end(),
                        [&](const Element& x, const Element& y) { return row(x) == row(y); })) {
            return false;
        }
    }
    return left.skills().size() == right.skills().size();
}

// A load against a database whose pair files are all read whole before the load starts.
void check_against_whole_database(ByteSpan file, test::MemoryFiles& files, const BlockStore& store,
                                  const ObjectLists& lists) {
    TranslationDatabase whole(files, fuzz::kProgramDir);
    (void)whole.external();
    for (const auto& type : kRecordTypes) {
        (void)whole.data_pairs(type.name_database);
        if (!type.second_name_database.empty()) {
            (void)whole.data_pairs(type.second_name_database);
        }
    }
    BlockStore reference;
    ObjectLists reference_lists;
    fuzz::NullLoaderView view;
    if (!load_plugin(file, whole, reference, reference_lists, view)) {
        fuzz::fail("the plugin loads with the limited database but not with the whole one");
    }
    fuzz::require_same_blocks(reference, store, "the whole database gives another number of blocks",
                              "the whole database gives other block bytes");
    if (!same_rows(reference_lists, lists)) {
        fuzz::fail("the whole database gives other rows");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static test::MemoryFiles files = [] {
        test::MemoryFiles folder;
        fuzz::put_database(folder);
        return folder;
    }();
    const Bytes input = fuzz::owned(data, size);

    TranslationDatabase database(files, fuzz::kProgramDir);
    BlockStore store;
    ObjectLists lists;
    fuzz::NullLoaderView view;
    // The plugin loaded before, which a refused file must leave as it was.
    const Bytes previous = fixtures::header_record(0, 0);
    store.assign({previous}, 0);

    const auto loaded = load_plugin(input, database, store, lists, view);
    if (!loaded) {
        if (loaded.error().message.empty()) {
            fuzz::fail("a refused plugin has no message");
        }
        if (store.block_count() != 1 || store.block(0) != previous) {
            fuzz::fail("a refused plugin changed the plugin loaded before");
        }
        return 0;
    }
    fuzz::check_loaded(store, lists);
    check_against_whole_database(input, files, store, lists);
    return 0;
}
