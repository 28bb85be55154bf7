#include "FuzzSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "plugin/PluginReader.h"
#include "translation/DatabaseFile.h"
#include "translation/ExternalDatabase.h"
#include "translation/TranslationDatabase.h"
#include "translation/TranslationMemory.h"

namespace orv::fuzz {

void fail(const char* what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

std::vector<std::pair<std::string, Bytes>> database_files() {
    Bytes external = sentinel_pair();
    append_entry(external, PairEntry{"Gloomy Den", "Finstere H\xF6hle"});
    append_entry(external, PairEntry{"Club", "Keule"});
    return {
        {"dataextra/Extradata.dat", external},
        {"data/Celldata.dat",
         encode_pair_file({{"Foo Town", "Nebelhain"}, {"Keep", "Burg"}, {"Same", "Same"}})},
        {"data/Regndata.dat", encode_pair_file({{"Ash Coast", "Aschek\xFCste"}})},
        {"data/Weapdata.dat",
         encode_pair_file({{"Long Sword", "Langschwert"}, {"Club", "Kn\xFCppel"}})},
        {"data/Gmstdata.dat", encode_pair_file({{"Some text", "Etwas Text"}})},
        {"data/Skildata.dat",
         encode_triple_file({{"Block", "Block", "Blocken"}, {"Armorer", "Armorer", "Schmied"}})},
        // The memory fills names and texts of the seed plugins at Open, each changing its
        // record's length: a name, a cell the shipped file also knows, a response, a journal
        // title, the texts of a result script and a skill's long text made empty.
        {"dataextra/Memory.tsv",
         encode_memory({{20, "Mira", "Mira die Weise", "2024-01-01", "de.esp"},
                        {0, "Keep", "Festung", "2024-01-01", ""},
                        {kDialogMemory, "Club", "Keule als Antwort", "2024-01-01", ""},
                        {kJournalMemory, "Title", "Titel", "2024-01-01", ""},
                        {kScriptTextMemory, "Ok", "Gut so", "2024-01-01", ""},
                        {kScriptTextMemory, "Hello", "Sei gegr\xFC\xDFt", "2024-01-01", ""},
                        {kFirstTextMemory + 3, "Repairs armor", "", "2024-01-01", ""}})},
    };
}

void put_database(test::MemoryFiles& files) {
    for (const auto& [name, bytes] : database_files()) {
        files.put(kProgramDir / name, bytes);
    }
}

void require_same_blocks(const BlockStore& a, const BlockStore& b, const char* count_differs,
                         const char* bytes_differ) {
    if (a.block_count() != b.block_count()) {
        fail(count_differs);
    }
    for (std::size_t k = 0; k < a.block_count(); ++k) {
        if (a.block(k) != b.block(k)) {
            fail(bytes_differ);
        }
    }
}

bool load_with_database(ByteSpan plugin, test::MemoryFiles& files, BlockStore& store,
                        ObjectLists& lists) {
    TranslationDatabase database(files, kProgramDir);
    NullLoaderView view;
    return static_cast<bool>(load_plugin(plugin, database, store, lists, view));
}

void check_loaded(const BlockStore& store, const ObjectLists& lists) {
    if (!store.loaded()) {
        fail("a loaded plugin has no blocks");
    }
    for (std::size_t k = 0; k < store.block_count(); ++k) {
        const Block& block = store.block(k);
        const auto size = read_u32_le(block, kRecordSizeOffset);
        if (!size || std::uint64_t{*size} + kRecordHeaderSize != block.size()) {
            fail("a block's record size field does not match its length");
        }
    }
    if (read_u32_le(store.block(0), kRecordCountOffset) !=
        static_cast<std::uint32_t>(store.record_count())) {
        fail("block 0 does not hold the record count");
    }
    const auto valid_block = [&store](std::int32_t block) {
        return block >= 0 && static_cast<std::size_t>(block) < store.block_count();
    };
    for (int list_index = 0; list_index < kObjectListCount; ++list_index) {
        for (const auto& element : lists.list(list_index).elements) {
            if (!valid_block(element.block)) {
                fail("a row names a block that does not exist");
            }
        }
    }
    for (const auto& skill : lists.skills()) {
        if (!valid_block(skill.block)) {
            fail("a skill row names a block that does not exist");
        }
    }
}

Text without_zero_bytes(TextView text) {
    Text out;
    std::copy_if(text.begin(), text.end(), std::back_inserter(out), [](char c) { return c != 0; });
    return out;
}

} // namespace orv::fuzz
