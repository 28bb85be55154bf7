// orv-fuzz-seeds FOLDER
//
// Writes the binary seed inputs of the fuzz targets into FOLDER/<target>/, built from the
// same record builder as the tests, so that no binary file lives in the repository. The
// configuration seeds are readable files kept under fuzz/seeds/fuzz_config/ instead.
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "LearnFixtures.h"
#include "ScriptSamples.h"
#include "fixtures/LargePlugin.h"
#include "fixtures/PluginBuilder.h"
#include "platform/AtomicWrite.h"
#include "platform/LocalFiles.h"
#include "translation/DatabaseFile.h"

using namespace orv;
using fixtures::record;
using fixtures::RecordBuilder;

namespace {

// Two inputs in one, joined by the marker at which the target splits them.
Bytes joined(Bytes first, std::string_view marker, const Bytes& second) {
    for (const char c : marker) {
        first.push_back(static_cast<std::byte>(c));
    }
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// Plugins that reach every part of the loader and the save: names the fuzz database knows
// as original, as translation and not at all, a header record counting 0, padding after the
// last record, skills, game settings and cell references.
std::vector<Bytes> plugin_seeds() {
    const std::vector<Bytes> records{
        RecordBuilder("CELL").text("NAME", "Foo Town").raw("DATA", "abcdefgh").bytes(),
        record("CELL", {{"NAME", "Gloomy Den"}, {"DNAM", "Keep"}}),
        RecordBuilder("WEAP").text("NAME", "w1").text("FNAM", "Club").raw("DATA", "xyz").bytes(),
        record("WEAP", {{"NAME", "w2"}, {"FNAM", "Langschwert"}}),
        record("NPC_",
               {{"NAME", "guide"}, {"FNAM", "Mira"}, {"DNAM", "Ash Coast"}, {"DNAM", "Foo Town"}}),
        RecordBuilder("INFO")
            .text("INAM", "info1")
            .text("ANAM", "Keep")
            .raw("SCVR", "0BLX0Keep")
            .bytes(),
        RecordBuilder("GMST").text("NAME", "sSetting").raw("STRV", "Some text").bytes(),
        RecordBuilder("SKIL").u32("INDX", 1).raw("DESC", "Repairs armor").bytes(),
        record("PGRD", {{"NAME", "Ash Coast"}}),
        record("DOOR", {{"NAME", "d1"}}),
        // The other places a cell is named, and the look-alikes that are no cell.
        RecordBuilder("CREA")
            .text("NAME", "boatman")
            .text("DNAM", "Keep")
            .raw("AI_E", "ab")
            .text("CNDT", "Foo Town")
            .raw("AI_W", "ab")
            .text("CNDT", "Keep")
            .bytes(),
        RecordBuilder("NPC_").text("NAME", "escort").raw("AI_F", "ab").text("CNDT", "Keep").bytes(),
        RecordBuilder("CELL")
            .text("NAME", "Keep")
            .u32("MVRF", 1)
            .text("CNAM", "Foo Town")
            .u32("MVRF", 2)
            .raw("CNDT", "abcdefgh")
            .bytes(),
        RecordBuilder("CONT").text("NAME", "chest").raw("CNDT", "abcd").bytes(),
        RecordBuilder("INFO")
            .text("INAM", "info2")
            .raw("BNAM", "AiFollowCell, Player, \"Keep\" ; comment\r\n"
                         "player->PositionCell 0 0 0 0 keep\r\nShowMap \"Foo Town\r\n"
                         "Choice \"Ja\" 1 \"Nein\" 2\r\nif ( GetPCCell \"foo town\" )")
            .bytes(),
        // Dialogue: a topic with responses (text with and without its zero byte, a result
        // script with topic and text arguments), a journal with its title, a topic without
        // a type and the response behind it.
        test::topic("Foo Town"),
        test::info("r1", "Ask about Foo Town, %PCName.",
                   "AddTopic \"Foo Town\"\r\nMessageBox \"Hi ^PCName %g\" x \"Ok\"\r\n"
                   "Say \"v\\a.wav\" \"Hello\"\r\nChoice \"Open"),
        record("INFO", {{"INAM", "r2"}, {"NAME", "Club"}}),
        test::topic("quest", '\4'),
        RecordBuilder("INFO").text("INAM", "q1").raw("NAME", "Title").raw("QSTN", "\1").bytes(),
        record("DIAL", {{"NAME", "broken"}}),
        test::info("lost", "Lost"),
    };
    std::vector<Bytes> seeds{fixtures::plugin(records), fixtures::plugin(records, 0, 0),
                             fixtures::plugin({records[0], records[2]}, 1)};
    Bytes padded = fixtures::plugin({records[2], records[6]});
    padded.resize(padded.size() + 24, std::byte{0});
    seeds.push_back(padded);
    seeds.push_back(fixtures::plugin({}));
    // Header records tagged like records the load and the save translate.
    for (auto header : {RecordBuilder("CELL").text("NAME", "Foo Town").text("DNAM", "Keep"),
                        RecordBuilder("GMST").raw("STRV", "Some text")}) {
        Bytes file = header.raw("DATA", std::string(300, 'p')).bytes();
        file.insert(file.end(), records[0].begin(), records[0].end());
        seeds.push_back(file);
    }
    // A compiled script the save can change: a message, a cell the database renames and a
    // topic of the plugin.
    scriptcode::test::ScriptWriter script;
    script.message_box("%g Gold", {"count"}, {"Ja"});
    script.position_cell(1, "Foo Town");
    script.add_topic("Foo Town");
    script.end();
    seeds.push_back(fixtures::plugin(
        {records[0],
         scriptcode::test::script_record("demo_script", script.source(), script.code())}));
    seeds.push_back(
        fixtures::make_large_set({.records = 60, .database_entries = 20, .references = true})
            .plugin);
    return seeds;
}

std::vector<Bytes> database_seeds() {
    std::vector<Bytes> seeds;
    for (const auto& [name, bytes] : fuzz::database_files()) {
        seeds.push_back(bytes);
    }
    // A file ending inside an entry, and one with inner zero bytes and equal texts.
    Bytes damaged = encode_pair_file({{"Foo", "Bar"}, {"Long", "Lang"}});
    damaged.resize(damaged.size() - 3);
    seeds.push_back(damaged);
    seeds.push_back(encode_pair_file(
        {{std::string("a\0b", 3), "ab"}, {"Same", "Same"}, {"", "leer"}, {"Same", "Other"}}));
    // The lookup on a record of its own, after the marker.
    seeds.push_back(joined(encode_pair_file({{"Club", "Keule"}, {"Keule", "Club"}}), "#REC",
                           RecordBuilder("WEAP").text("NAME", "Club").bytes()));
    const Bytes armour =
        RecordBuilder("ARMO").text("NAME", "a1").text("FNAM", "Foo Town").raw("DATA", "q").bytes();
    seeds.push_back(joined(encode_pair_file({{"Foo Town", "Nebelhain"}}), "#REC", armour));
    return seeds;
}

// Pairs for learning: each plugin seed beside itself, and an English file beside a German
// one whose names, cell, topic and response differ, joined by the marker "#DE#".
std::vector<Bytes> learn_pair_seeds(const std::vector<Bytes>& plugins) {
    std::vector<Bytes> seeds;
    for (const auto& plugin : plugins) {
        seeds.push_back(joined(plugin, "#DE#", plugin));
    }
    const auto version = [](std::string_view npc, std::string_view cell, std::string_view topic,
                            std::string_view response) {
        return fixtures::plugin({test::named("NPC_", "guard", npc),
                                 test::interior_cell(cell, 1, "rat"), test::topic(topic),
                                 test::info("1001", response, "Choice \"Yes\" 1")});
    };
    seeds.push_back(joined(version("Guard", "Dark Cave", "rumours", "Heard anything?"), "#DE#",
                           version("Wache", "Dunkle Hoehle", "Geruechte", "Schon was gehoert?")));
    return seeds;
}

// Compiled code of every statement kind: message boxes with variables and buttons, names,
// a reference, nested blocks, and the end.
std::vector<Bytes> script_code_seeds() {
    using scriptcode::test::ScriptWriter;
    ScriptWriter blocks;
    blocks.open_if("count == 1", " s\x01\x00 == 1");
    blocks.message_box("%g Pfeile", {"count"}, {"Ja", "Nein"});
    blocks.elseif_block("count == 2", " s\x01\x00 == 2");
    blocks.add_topic("Fuhaven");
    blocks.else_block();
    blocks.open_while("count < 3", " s\x01\x00 < 3");
    blocks.set_local("count", 1, " s\x01\x00 + 1");
    blocks.end_block();
    blocks.end_block();
    blocks.end();
    ScriptWriter calls;
    calls.position_cell(10, "Keller");
    calls.reference_call("wache", "gold_001", 5);
    calls.message_box("Hallo", {}, {});
    calls.end();
    return {fixtures::bytes_of(blocks.code()), fixtures::bytes_of(calls.code())};
}

// The same scripts as whole records, source beside code.
std::vector<Bytes> script_record_seeds() {
    using scriptcode::test::ScriptWriter;
    ScriptWriter writer;
    writer.message_box("%g Pfeile", {"count"}, {"Ja", "Nein"});
    writer.open_if("count == 1", " s\x01\x00 == 1");
    writer.add_topic("Fuhaven", false);
    writer.end_block();
    writer.position_cell(10, "Keller");
    writer.end();
    return {scriptcode::test::script_record("demo_script", writer.source(), writer.code())};
}

bool write_seeds(const std::filesystem::path& folder, const std::vector<Bytes>& seeds) {
    LocalFiles files;
    if (!files.create_directories(folder)) {
        return false;
    }
    for (std::size_t i = 0; i < seeds.size(); ++i) {
        if (!write_file_atomically(files, folder / ("seed-" + std::to_string(i)), seeds[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: orv-fuzz-seeds FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const auto plugins = plugin_seeds();
    if (!write_seeds(folder / "fuzz_plugin_load", plugins) ||
        !write_seeds(folder / "fuzz_plugin_save", plugins) ||
        !write_seeds(folder / "fuzz_database", database_seeds()) ||
        !write_seeds(folder / "fuzz_learn_pairs", learn_pair_seeds(plugins)) ||
        !write_seeds(folder / "fuzz_script_code", script_code_seeds()) ||
        !write_seeds(folder / "fuzz_script_record", script_record_seeds())) {
        std::fprintf(stderr, "orv-fuzz-seeds: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
