// Database reading and the name lookup on any bytes. The input is a database file, optionally
// followed by the marker "#REC" and a record to run the name lookup on. Checked:
// - the entries read, written again, give exactly the bytes before the damage (or the whole
//   file), for pair and triple files alike, and a filter applied while reading keeps exactly
//   the entries it accepts;
// - the index answers what reading the file from its start gives: the first entry whose
//   original (or translation) equals the key;
// - the name lookup of the record's name (or of records built from the entries) replaces
//   exactly when the first matching entry's translation differs from the name, keeps every
//   size field right, and the name then reads as that translation.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "fixtures/PluginBuilder.h"
#include "plugin/Subrecord.h"
#include "translation/DatabaseFile.h"
#include "translation/NameIndex.h"
#include "translation/NameLookup.h"
#include "translation/TextKeys.h"

using namespace orv;

namespace {

// Looking every entry up is quadratic in the linear check; this many is plenty.
constexpr std::size_t kCheckedEntries = 300;

template <std::size_t N>
void check_round_trip(const DatabaseFile<N>& file, ByteSpan bytes,
                      Bytes (*encode)(const std::vector<DatabaseEntry<N>>&)) {
    const std::size_t whole = file.damaged ? file.damaged_at : bytes.size();
    if (whole > bytes.size()) {
        fuzz::fail("the damage lies past the end of the file");
    }
    const Bytes encoded = encode(file.entries);
    if (!std::equal(encoded.begin(), encoded.end(), bytes.begin(), bytes.begin() + whole) ||
        encoded.size() != whole) {
        fuzz::fail("the entries read do not write back to the bytes they came from");
    }
}

std::optional<std::size_t> first_linear(const PairFile& file, TextView key, bool translations) {
    for (std::size_t i = 0; i < file.entries.size(); ++i) {
        if (file.entries[i][0] == key || (translations && file.entries[i][1] == key)) {
            return i;
        }
    }
    return std::nullopt;
}

void check_index(const PairFile& file, const NameIndex& both, const NameIndex& originals) {
    const std::size_t count = std::min(file.entries.size(), kCheckedEntries);
    for (std::size_t i = 0; i < count; ++i) {
        for (const auto& text : file.entries[i]) {
            for (const Text& key : {text, text + "x", text.substr(0, text.size() / 2)}) {
                if (both.first_match(key) != first_linear(file, key, true)) {
                    fuzz::fail("the index finds another entry than reading the file");
                }
                if (originals.first_original_match(key) != first_linear(file, key, false) ||
                    both.first_original_match(key) != first_linear(file, key, false)) {
                    fuzz::fail("the index of originals finds another entry than reading");
                }
            }
        }
    }
}

// Filtering while reading must keep exactly the entries `keeps` accepts and find the same
// damage as reading everything.
template <class Keeps>
void check_filtered(const PairFile& filtered, const PairFile& all, Keeps keeps, const char* what) {
    std::vector<PairEntry> expected;
    std::copy_if(all.entries.begin(), all.entries.end(), std::back_inserter(expected),
                 [&keeps](const PairEntry& entry) { return keeps(entry[0], entry[1]); });
    if (filtered.entries != expected || filtered.damaged != all.damaged ||
        filtered.damaged_at != all.damaged_at) {
        fuzz::fail(what);
    }
}

// Runs the lookup on `block`'s subrecord `tag`, if it has one, and checks the result against
// reading both files in order.
void check_lookup(Block block, TextView tag, const PairFile& external_file,
                  const NameIndex& external, const PairFile& names_file, const NameIndex& names) {
    const auto name = find_subrecord(block, tag);
    // The loader looks up only names of at least one byte besides the terminating one; a
    // shorter name gives a row without name instead.
    if (!name || name->size <= 1) {
        return;
    }
    const std::size_t length_before = block.size();
    const Text key = subrecord_text(block, *name, TextKind::Terminated);
    const auto result = lookup_name(block, *name, external, names);

    const auto in_external = first_linear(external_file, key, true);
    const auto in_names = first_linear(names_file, key, true);
    const PairEntry* entry = in_external ? &external_file.entries[*in_external]
                             : in_names  ? &names_file.entries[*in_names]
                                         : nullptr;
    if (entry == nullptr) {
        if (result.code != LookupCode::NotFound || block.size() != length_before) {
            fuzz::fail("a name no entry knows was changed");
        }
        return;
    }
    const bool translated = (*entry)[1] == key;
    const LookupCode expected =
        in_external ? (translated ? LookupCode::ExternalTranslation : LookupCode::ExternalOriginal)
                    : (translated ? LookupCode::ShippedTranslation : LookupCode::ShippedOriginal);
    if (result.code != expected) {
        fuzz::fail("the lookup's result code differs from reading the files");
    }
    if (translated) {
        if (result.english != (*entry)[0] || block.size() != length_before) {
            fuzz::fail("an already translated name was changed or lost its original");
        }
        return;
    }
    const auto size = read_u32_le(block, kRecordSizeOffset);
    if (!size || std::uint64_t{*size} + kRecordHeaderSize != block.size()) {
        fuzz::fail("a replacement broke the record size field");
    }
    const auto replaced = subrecord_at(block, name->offset);
    if (!replaced || replaced->size != (*entry)[1].size() + 1 ||
        subrecord_text(block, *replaced, TextKind::Terminated) !=
            fuzz::without_zero_bytes((*entry)[1])) {
        fuzz::fail("the replaced name does not read as the translation");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Bytes input = fuzz::owned(data, size);
    const ByteSpan all = input;
    const std::string_view text(reinterpret_cast<const char*>(all.data()), all.size());
    const auto marker = text.find("#REC");
    const ByteSpan database = marker == std::string_view::npos ? all : all.first(marker);

    const PairFile pairs = parse_pair_file(database);
    check_round_trip<2>(pairs, database, encode_pair_file);
    const TripleFile triples = parse_triple_file(database);
    check_round_trip<3>(triples, database, encode_triple_file);

    const auto keep = [](TextView original, TextView translation) {
        return (original.size() + translation.size()) % 2 == 0;
    };
    check_filtered(parse_pair_file(database, keep), pairs, keep,
                   "filtering while reading keeps other entries or finds other damage");

    // A key set keeps exactly the entries holding a key, compared byte for byte with every
    // key in turn.
    std::vector<Text> key_list;
    TextKeySet keys;
    for (std::size_t i = 0; i < pairs.entries.size() && key_list.size() < 50; i += 2) {
        key_list.push_back(pairs.entries[i][i % 4 == 0 ? 0 : 1]);
        keys.insert(key_list.back());
    }
    const auto is_key = [&key_list](TextView text) {
        return std::find(key_list.begin(), key_list.end(), text) != key_list.end();
    };
    check_filtered(
        parse_pair_file(database, keys), pairs,
        [&is_key](TextView a, TextView b) { return is_key(a) || is_key(b); },
        "filtering by a key set keeps other entries or finds other damage");

    const NameIndex both(pairs);
    const NameIndex originals(pairs, NameIndex::Keys::OriginalsOnly);
    check_index(pairs, both, originals);

    // The shipped names are the same entries the other way round, so that a name can be
    // found in either file.
    PairFile swapped;
    for (const auto& [original, translation] : pairs.entries) {
        swapped.entries.push_back({translation, original});
    }
    const NameIndex names(swapped);

    if (marker != std::string_view::npos) {
        const auto record = all.subspan(marker + 4);
        Block block(record);
        if (block.size() >= kRecordHeaderSize) {
            // The loader only hands over blocks whose size field matches their length.
            write_u32_le(block, kRecordSizeOffset,
                         static_cast<std::uint32_t>(block.size() - kRecordHeaderSize));
            check_lookup(block, "NAME", pairs, both, swapped, names);
            check_lookup(block, "FNAM", pairs, both, swapped, names);
        }
        return 0;
    }
    const std::size_t count = std::min(pairs.entries.size(), std::size_t{20});
    for (std::size_t i = 0; i < count; ++i) {
        for (const auto& key : pairs.entries[i]) {
            const Block block = fixtures::RecordBuilder("WEAP")
                                    .text("NAME", "id")
                                    .text("FNAM", key)
                                    .raw("DATA", "abcd")
                                    .bytes();
            check_lookup(block, "FNAM", pairs, both, swapped, names);
        }
    }
    return 0;
}
