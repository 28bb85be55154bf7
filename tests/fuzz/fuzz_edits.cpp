// An edits file of any bytes applied to a plugin holding names and every kind of player text.
// Whatever the file, every block keeps size fields that match its length and subrecords that
// end exactly at the record's end, the header keeps its length and the rank fields theirs.
// When the whole file is accepted, each text a line set reads back as that line's text (the
// last line for a key wins).
#include <cstddef>
#include <cstdint>
#include <map>

#include "DialogueRecords.h"
#include "FuzzSupport.h"
#include "TextRecords.h"
#include "cli/EditsFile.h"
#include "plugin/Subrecord.h"
#include "translation/PlayerTexts.h"
#include "translation/TextConventions.h"

using namespace orv;
using fixtures::RecordBuilder;

namespace {

Bytes make_plugin() {
    const std::vector<Bytes> records = {
        fixtures::record("WEAP", {{"NAME", "w1"}, {"FNAM", "Stick"}}),
        RecordBuilder("BOOK").text("NAME", "b1").text("FNAM", "Tale").raw("TEXT", "Once").bytes(),
        RecordBuilder("CLAS").text("NAME", "c1").text("FNAM", "Smith").raw("DESC", "Hits").bytes(),
        RecordBuilder("RACE").text("NAME", "r1").raw("DESC", "Tall folk").bytes(),
        RecordBuilder("BSGN").text("NAME", "s1").raw("DESC", "Stars").bytes(),
        RecordBuilder("SKIL").u32("INDX", 0).raw("DESC", "Blocks blows").bytes(),
        RecordBuilder("GMST").text("NAME", "sA").raw("STRV", "Alpha").bytes(),
        RecordBuilder("FACT")
            .text("NAME", "f1")
            .raw("RNAM", test::rank_field("Novice"))
            .raw("RNAM", "short")
            .raw("RNAM", test::rank_field("Master"))
            .bytes(),
        RecordBuilder("MGEF").u32("INDX", 3).raw("DESC", "Burns").bytes(),
        test::topic("rumours"),
        test::info("i1", "Ask about rumours.",
                   "AddTopic rumours\r\nChoice \"Yes\" 1 \"No\" 2\r\nSay \"a.wav\" \"Hi\""),
        test::topic("quest", '\4'),
        RecordBuilder("INFO")
            .text("INAM", "j1")
            .text("NAME", "The Quest")
            .raw("QSTN", "\1")
            .bytes(),
    };
    Bytes file = test::described_header("A small mod", static_cast<std::int32_t>(records.size()));
    for (const auto& record : records) {
        file.insert(file.end(), record.begin(), record.end());
    }
    return file;
}

void check_blocks(const BlockStore& store, std::size_t header_length) {
    if (store.block(0).size() != header_length) {
        fuzz::fail("an edit changed the header's length");
    }
    for (std::size_t k = 0; k < store.block_count(); ++k) {
        const Block& block = store.block(k);
        std::size_t end = kRecordHeaderSize;
        for (auto subrecord = first_subrecord(block); subrecord;
             subrecord = next_subrecord(block, *subrecord)) {
            // The plugin's rank fields are 32 bytes long, but for one damaged of 5.
            if (subrecord_tag(block, *subrecord) == "RNAM" && subrecord->size != 32 &&
                subrecord->size != 5) {
                fuzz::fail("an edit changed the length of a rank field");
            }
            end = subrecord->end();
        }
        if (end != block.size()) {
            fuzz::fail("an edit left subrecords that do not end at the record's end");
        }
    }
}

// The text each accepted text line set, by kind and key; the last line for a key wins.
std::map<std::pair<const PlayerTextKind*, Text>, Text> text_lines(ByteSpan file) {
    std::map<std::pair<const PlayerTextKind*, Text>, Text> set;
    const std::string_view contents(reinterpret_cast<const char*>(file.data()), file.size());
    for (const auto line : split_lines(contents)) {
        const auto fields = split_fields(line);
        if (fields.size() != 3) {
            continue;
        }
        const auto label = unescape_field(fields[0]);
        const auto key = unescape_field(fields[1]);
        const auto text = unescape_field(fields[2]);
        const auto* kind = label ? player_text_kind_labelled(*label) : nullptr;
        if (kind != nullptr && key && text) {
            const Text wanted = key->empty() ? Text(kind->key_when_empty) : *key;
            set[{kind, wanted}] = fuzz::without_zero_bytes(*text);
        }
    }
    return set;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Bytes plugin = make_plugin();
    const Bytes input = fuzz::owned(data, size);
    test::MemoryFiles files;
    fuzz::put_database(files);

    BlockStore store;
    ObjectLists lists;
    if (!fuzz::load_with_database(plugin, files, store, lists)) {
        fuzz::fail("the plugin of the edits target does not load");
    }
    const std::size_t header_length = store.block(0).size();
    const bool accepted = static_cast<bool>(cli::apply_edits(input, store, lists, {}));
    fuzz::check_loaded(store, lists);
    check_blocks(store, header_length);
    if (!accepted) {
        return 0;
    }
    for (const auto& [where, text] : text_lines(input)) {
        const auto& [kind, key] = where;
        for (const auto& found : kind->find(*kind, store, lists)) {
            if (found.key == key && found.text != text) {
                fuzz::fail("an accepted text line does not read back as its text");
            }
        }
    }
    return 0;
}
