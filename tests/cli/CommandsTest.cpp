#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <sstream>
#include <tuple>

#include "BatchToolTest.h"
#include "cli/CheckCommand.h"
#include "fixtures/PluginBuilder.h"
#include "translation/DatabaseFile.h"

namespace orv::cli {
namespace {

using fixtures::record;
using namespace test_support;
using test::FileOperation;
using Arguments = std::vector<std::string>;

const std::string kPlugin = "mods/Test.esp";
const std::string kOut = "out/Test.esp";
const std::string kEdits = "edits.tsv";
const std::string kExternal = "prog/dataextra/Extradata.dat";
const std::string kUsage = "Aufruf: orvental-cli [--program-dir ORDNER] ";
const std::string kDbUsage = "Aufruf: orvental-cli db export";

// An expected call: its err is all of stderr when it succeeds, else the start of stderr.
Call ok(Arguments arguments, std::string out, int status = kExitOk) {
    return {std::move(arguments), status, std::move(out), ""};
}

Call refused(Arguments arguments, std::string message) {
    return {std::move(arguments), kExitRefused, "", std::move(message)};
}

// Runs the calls one after another; none may change, create or remove a file.
void expect_calls(test::MemoryFiles& files, const std::vector<Call>& calls) {
    const auto before = files.all();
    for (const auto& call : calls) {
        SCOPED_TRACE(testing::PrintToString(call.arguments));
        const auto result = run_tool(files, call.arguments);
        EXPECT_EQ(result.status, call.status);
        EXPECT_EQ(result.out, call.out);
        if (call.status == kExitOk || call.status == kExitFindings) {
            EXPECT_EQ(result.err, call.err);
        } else {
            EXPECT_TRUE(result.err.starts_with(call.err)) << result.err;
            EXPECT_NE(result.out + result.err, "");
            EXPECT_EQ(result.err.find('\r'), std::string::npos);
        }
        EXPECT_EQ(files.all(), before);
    }
}

// The test plugin with the given names. Its NPC points at both cells and at the region's
// name, so the references must follow the names a save gives the cells and the region; the
// path grid takes the name of its cell.
std::vector<Bytes> records(const Text& town, const Text& mill, const Text& coast, const Text& rock,
                           const Text& sword, const Text& setting) {
    // clang-format off
    return {
        record("CELL", {{"NAME", town}}),
        record("CELL", {{"NAME", mill}}),
        record("PGRD", {{"NAME", town}}),
        record("REGN", {{"NAME", "coast"}, {"FNAM", coast}}),
        record("ACTI", {{"NAME", "lever"}}),
        record("MISC", {{"NAME", "rock"}, {"FNAM", rock}}),
        record("MISC", {{"NAME", "rock"}, {"FNAM", rock}}),
        record("WEAP", {{"NAME", "sword"}, {"FNAM", sword}}),
        record("NPC_", {{"NAME", "guard"}, {"FNAM", "Guard"}, {"DNAM", town}, {"DNAM", coast},
                        {"DNAM", mill}}),
        fixtures::RecordBuilder("GMST").text("NAME", "sYes").raw("STRV", setting).bytes(),
    };
    // clang-format on
}

const std::vector<Bytes> kRecords =
    records("Foo Town", "Old Mill", "Misty Coast", "Rock", "Iron Sword", "Yes");
const Text kMill = cp1252(u8"Alte Mühle");

class TranslateCommand : public ::testing::Test {
protected:
    void SetUp() override {
        m_files.put("prog/data/Weapdata.dat", encode_pair_file({{"Iron Sword", "Eisenschwert"}}));
        m_files.put("prog/data/Gmstdata.dat", encode_pair_file({{"Yes", "Ja"}}));
        m_files.put(kExternal, encode_pair_file({{"FFFF", "FFFF"}, {"Old Mill", kMill}}));
        m_files.put(kPlugin, fixtures::plugin(kRecords));
    }

    test::MemoryFiles m_files;
};

// The new names are unescaped and converted before the name rules measure them: the misc
// item's name of 29 umlauts, a TAB and a backslash has 62 bytes here and 31 in the record.
const std::string kEditText = utf8(u8"Cell\tFoo Town\tFoostadt\n"
                                   u8"Region\tcoast\tNebelküste\n"
                                   u8"Misc Item\trock\tÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄÄ\\t\\\\\n");
const Text kMiscName = Text(29, '\xC4') + "\t\\";

TEST_F(TranslateCommand, WritesEditedNamesAndTranslatedReferences) {
    const auto external = m_files.get(kExternal);
    m_files.put_text(kEdits, kEditText);
    const auto result = run_tool(m_files, {"translate", kPlugin, "--edits", kEdits, "-o", kOut});
    EXPECT_EQ(result.status, kExitOk);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, utf8(u8"Gespeichert. Zeilen nach Art und Markierung:\n"
                               u8"  Cell: Ü 2\n  Region: Ü 1\n  Pgrd: Ü 1\n  Activator: E 1\n"
                               u8"  Misc Item: Ü 2\n  Weapon: B 1\n  NPC: ohne 1\n"
                               u8"Namen aus der Datenbank übernommen: 2\n"
                               u8"Namen durch Änderungen geändert: 5\n"
                               u8"Game Settings übersetzt: 1\nZellenverweise übersetzt: 3\n"
                               u8"Themenverweise übersetzt: 0\n"));
    // Both "rock" rows take the name; the region's new name reaches the reference through
    // the rebuilt external database although that is not written.
    EXPECT_EQ(m_files.get(kOut), fixtures::plugin(records("Foostadt", kMill, cp1252(u8"Nebelküste"),
                                                          kMiscName, "Eisenschwert", "Ja")));
    EXPECT_EQ(m_files.get(kExternal), external);
    EXPECT_EQ(m_files.paths().size(), 6U);
    // The plugin itself is replaced only when asked for, with or without "-o".
    for (const Arguments& in_place : {Arguments{"--in-place"}, {"-o", kPlugin, "--in-place"}}) {
        m_files.put(kPlugin, fixtures::plugin(kRecords));
        Arguments arguments = {"translate", kPlugin, "--edits", kEdits};
        arguments.insert(arguments.end(), in_place.begin(), in_place.end());
        EXPECT_EQ(run_tool(m_files, arguments).status, kExitOk);
        EXPECT_EQ(m_files.get(kPlugin), m_files.get(kOut));
        EXPECT_EQ(m_files.paths().size(), 6U);
    }
    // Another program folder: the shipped weapon name of prog/ is unknown there, so the row
    // may be edited, and its own external database is written.
    m_files.put(kPlugin, fixtures::plugin(kRecords));
    m_files.put("other/data/Actidata.dat", {});
    m_files.put_text(kEdits, "Weapon\tsword\tSchwert\n");
    EXPECT_EQ(run_tool(m_files, {"--program-dir", "other", "translate", kPlugin, "-o", kOut,
                                 "--edits", kEdits, "--update-external"})
                  .status,
              kExitOk);
    EXPECT_EQ(m_files.get("other/dataextra/Extradata.dat"),
              encode_pair_file({{"FFFF", "FFFF"}, {"Iron Sword", "Schwert"}}));
    // A kind's marks are counted in the order of their texts, not of their first rows.
    m_files.put(kPlugin, fixtures::plugin(records("Old Mill", "Foo Town", "Misty Coast", "Rock",
                                                  "Iron Sword", "Yes")));
    const auto swapped = run_tool(m_files, {"translate", kPlugin, "-o", kOut});
    EXPECT_NE(swapped.out.find("  Cell: ohne 1 \xc3\x9c 1\n"), std::string::npos) << swapped.out;
}

// A batch run leaves its plugin and tables to the end of the process: the answers and the
// file are those of a run that frees them, and only what was left stays alive.
TEST_F(TranslateCommand, LeavingMemoryToTheSystemChangesNoAnswer) {
    const auto run_until = [&](ProcessEnd end, const Arguments& arguments) {
        const auto call = run_tool(m_files, arguments, end);
        return std::tuple(call.status, call.out, call.err, m_files.get(kOut));
    };
    for (const Arguments& arguments :
         {Arguments{"translate", kPlugin, "-o", kOut}, Arguments{"list", kPlugin}}) {
        EXPECT_EQ(run_until(ProcessEnd::LeaveMemoryToSystem, arguments),
                  run_until(ProcessEnd::FreeEverything, arguments));
    }
    for (const ProcessEnd end : {ProcessEnd::FreeEverything, ProcessEnd::LeaveMemoryToSystem}) {
        std::ostringstream ignored;
        const Context context{m_files, "prog", ignored, ignored, end};
        std::weak_ptr<int> watched;
        {
            auto object = std::make_shared<int>(1);
            watched = object;
            leave_to_process_end(context, object);
        }
        EXPECT_EQ(watched.expired(), end == ProcessEnd::FreeEverything);
    }
}

// Every argument loop refuses a second input, an empty one and a repeated option; learn and
// diff refuse a missing or damaged file, writing nothing. The check loads and edits as
// translate does; the plugin's own region, renamed by the edits, is a place
// the NPC may go.
TEST_F(TranslateCommand, ChecksAndRefusesBadCallsAndMasterFiles) {
    m_files.put("mods/Master.esm", fixtures::plugin(kRecords, 1));
    std::vector<Bytes> broken = kRecords;
    broken.push_back(fixtures::RecordBuilder("SCPT")
                         .raw("SCHD", "Travel")
                         .raw("SCTX", "AIFollowCell \"Foo Town\"")
                         .bytes());
    broken.push_back(record("NPC_", {{"NAME", "scout"}, {"DNAM", "Nowhere"}}));
    m_files.put("mods/Broken.esp", fixtures::plugin(broken));
    Bytes cut = fixtures::plugin(kRecords);
    cut.resize(cut.size() - 3);
    m_files.put("mods/Cut.esp", cut);
    m_files.put_text(kEdits, kEditText);
    const std::string reference =
        utf8(u8"reference\tNPC_\tscout\tDNAM „Nowhere“: weder eine Zelle dieses Plugins noch "
             u8"eine Übersetzung der Zellen- oder Regionsdatenbank\n");
    const std::string script =
        utf8(u8"script\tSCPT\tTravel\tZeile 1: „Foo Town“ heißt nach dem Speichern „Foostadt“; den "
             u8"Namen im Skripttext ändern und das Skript im Editor neu kompilieren\n");
    // The script's header is too short to be read: its texts stay as they are.
    const std::string script_code =
        utf8(u8"script-code\tSCPT\tTravel\tDie Texte des Skripts bleiben, wie sie sind: Das "
             u8"Skript hat keinen vollständigen Kopf (SCHD).\n");
    const std::string usage = kUsage + "translate";
    const std::string check = kUsage + "check";
    // clang-format off
    expect_calls(m_files, {
        refused({"translate", kPlugin}, usage),
        refused({"translate", "-o", kOut}, usage),
        refused({"translate", kPlugin, "-o"}, usage),
        refused({"translate", kPlugin, "-o", kOut, "-o", "b.esp"}, usage),
        refused({"translate", kPlugin, "-o", kOut, "--edits", kEdits, "--edits", kEdits}, usage),
        refused({"translate", kPlugin, "other.esp", "-o", kOut}, usage),
        refused({"translate", "", "-o", kOut}, usage),
        refused({"translate", kPlugin, "--in-place", "--in-place"}, usage),
        // The input stays unchanged unless --in-place says otherwise.
        refused({"translate", kPlugin, "-o", kPlugin}, utf8(u8"Die Ausgabe „mods/Test.esp“")),
        refused({"translate", kPlugin, "-o", "mods/../mods/./Test.esp"}, "Die Ausgabe"),
        // A program folder must exist and hold the database; none is created.
        refused({"--program-dir", "nowhere", "translate", kPlugin, "-o", kOut},
                utf8(u8"Den Programmordner „nowhere“ gibt es nicht.\n")),
        refused({"--program-dir", "mods", "translate", kPlugin, "-o", kOut},
                utf8(u8"Im Programmordner „mods“ fehlt der Ordner „data“")),
        refused({"translate", "mods/Master.esm", "-o", kOut, "--edits", kEdits},
                utf8(u8"DIES IST EINE ESM-DATEI. FUNKTION NICHT VERFÜGBAR.\n")),
        refused({"check"}, check),
        refused({"check", kPlugin, "--edits"}, check),
        refused({"check", kPlugin, "--edits", kEdits, "--edits", kEdits}, check),
        refused({"check", kPlugin, "b.esp"}, check),
        refused({"check", ""}, check),
        refused({}, kUsage + "BEFEHL"),
        refused({"--program-dir"}, kUsage + "BEFEHL"),
        refused({"frobnicate", kPlugin}, kUsage + "BEFEHL"),
        refused({"list", "a.esp", "b.esp"}, kUsage + "list"),
        refused({"learn", kPlugin, "mods/None.esp"},
                utf8(u8"Die Datei „mods/None.esp“ gibt es nicht.\nEs wurde nichts gelernt.\n")),
        refused({"learn", kPlugin}, kUsage + "learn ENGLISCH DEUTSCH [--into ORDNER]\n"),
        refused({"learn", kPlugin, "mods/Cut.esp", "--into"}, kUsage + "learn"),
        refused({"diff", kPlugin, "mods/Cut.esp"},
                utf8(u8"Die Datei „mods/Cut.esp“ ist beschädigt oder abgeschnitten: ")),
        refused({"diff", kPlugin}, kUsage + "diff ALT NEU\n"),
        ok({"--version"}, "orvental-cli v3.03a\n"),
        ok({"check", kPlugin, "--edits", kEdits}, ""),
        ok({"check", "mods/Broken.esp", "--edits", kEdits}, script + script_code + reference,
           kExitFindings),
        refused({"check", "mods/None.esp"}, ""),
        refused({"check", kPlugin, "--edits", "none.tsv"}, ""),
    });
    // clang-format on
    // A save names on stderr only what the check finds in scripts and references.
    const Arguments save = {"translate", "mods/Broken.esp", "--edits", kEdits, "-o", kOut};
    const auto saved = run_tool(m_files, save);
    EXPECT_EQ(saved.status, kExitOk);
    EXPECT_EQ(saved.err, script + reference);
    // The findings go out while the save waits for the disk: a save that fails after the
    // plugin's bytes are made prints them before its error, one that fails before prints
    // only its error.
    for (const auto& [failing, findings] :
         {std::pair{FileOperation::Rename, true}, std::pair{FileOperation::Close, true},
          std::pair{FileOperation::Create, false}}) {
        SCOPED_TRACE(static_cast<int>(failing));
        m_files.fail_operation(1, failing);
        const auto failed = run_tool(m_files, save);
        EXPECT_EQ(failed.status, kExitWriteFailed);
        const std::string expected = findings ? script + reference : "";
        EXPECT_TRUE(failed.err.starts_with(expected + utf8(u8"Die Datei „"))) << failed.err;
    }
}

// A bad edits file is refused naming each bad line. A failed read anywhere (each of the 18
// before the save writes: the plugin, the edits, the databases and the memory of the load,
// of the topic names, of the check and of the save, the old external database kept for
// putting it back) refuses before anything is written.
TEST_F(TranslateCommand, RefusesBadEditsAndFailedReads) {
    const Arguments arguments = {"translate", kPlugin, "--in-place",
                                 "--edits",   kEdits,  "--update-external"};
    // clang-format off
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Misc Item\trock\tStein\nMisc Item\tstone\tX\n", "Zeile 2: Keine Zeile der Liste"},
        {"Activator\tlever\tHebel\n", "Zeile 1: KEIN NAME"},
        {"Misc Item\trock\t" + std::string(32, 'x'), "Zeile 1: Der name hat mehr als 31 zeichen."},
        {"Cells\tFoo Town\tX\nMisc Item\tro\\ck\tStein\nWeapon\tsword\tS\nNPC\tguard\n",
         utf8(u8"Zeile 1: Unbekannte Liste „Cells“.\n"
              u8"Zeile 2, Feld 2: Ungültiges Fluchtzeichen: auf \\ folgt nur \\, t, r oder n.\n"
              u8"Zeile 3: Die Zeile „sword“ ist mit „B“ markiert und kann nicht geändert werden.\n"
              u8"Zeile 4: Erwartet werden genau drei Felder: LISTE, ID und neuer DV Name, durch "
              u8"Tabulatoren getrennt.\n")},
    };
    // clang-format on
    for (const auto& [edits, message] : cases) {
        m_files.put_text(kEdits, edits);
        expect_calls(m_files, {refused(arguments, message)});
    }
    // A line that gives a "B" row the German name it has records nothing and is no error.
    m_files.put_text(kEdits, "Weapon\tsword\tEisenschwert\n");
    EXPECT_EQ(run_tool(m_files, {"check", kPlugin, "--edits", kEdits}).status, kExitOk);
    m_files.put_text(kEdits, kEditText);
    for (int k = 1; k <= 18; ++k) {
        SCOPED_TRACE(k);
        m_files.fail_operation(k, FileOperation::Read);
        expect_calls(m_files, {refused(arguments, "")});
    }
}

TEST(ListCommand, ListAndSuggestPrintTsv) {
    test::MemoryFiles files;
    files.put("prog/data/Weapdata.dat", encode_pair_file({{"Iron Sword", "Eisenschwert"}}));
    files.put("prog/data/Miscdata.dat", encode_pair_file({{"Rock", "Stein"}}));
    files.put("prog/data/Skildata.dat", encode_triple_file({{"Axe", "Axe", "Axt"}}));
    files.put(kExternal, encode_pair_file({{"FFFF", "FFFF"}, {"Dark\tCave", "Dunkle H\xF6hle"}}));
    files.put_text("prog/dataextra/Memory.tsv",
                   "Weapon\tRock\tFelsklinge\t2024-01-01\nMisc Item\tRock\tFels\t2024-01-01\n");
    files.put(kPlugin,
              fixtures::plugin({record("CELL", {{"NAME", "Dark\tCave"}}),
                                record("WEAP", {{"NAME", "sword_01"}, {"FNAM", "Iron Sword"}}),
                                record("ACTI", {{"NAME", "lever"}}),
                                fixtures::RecordBuilder("SKIL").u32("INDX", 0).bytes()}));
    files.put("mods/Short.esp", fixtures::bytes_of("HEDR"));
    expect_calls(
        files,
        {ok({"list", kPlugin}, utf8(u8"Cell\tÜ\tDark\\tCave\tDark\\tCave\tDunkle Höhle\n"
                                    u8"Activator\tE\tlever\t\t\n"
                                    u8"Weapon\tB\tsword_01\tIron Sword\tEisenschwert\n"
                                    u8"Skill\t0\tAxe\tAxe\tAxt\n")),
         refused({"list", "mods/Short.esp"}, ""),
         ok({"suggest", "Rock", "--list", "Misc Item"},
            utf8(u8"Fels\tGedächtnis\texakt\nStein\tMiscdata.dat\texakt\n")),
         refused({"suggest", "Rock", "--list", "Misc"}, utf8(u8"Unbekannte Liste „Misc“.\n")),
         refused({"suggest", "Rock", "Misc Item"}, kUsage + "suggest"),
         refused({"suggest", "\xC4\x80"}, utf8(u8"Ein Zeichen, das Windows-1252 nicht"))});
    for (const std::string flag : {"--help", "-h"}) {
        SCOPED_TRACE(flag);
        const auto help = run_tool(files, {flag});
        EXPECT_EQ(help.status, kExitOk);
        EXPECT_EQ(help.err, "");
        EXPECT_TRUE(help.out.starts_with(kUsage + "BEFEHL ...\nBefehle:\n"));
        EXPECT_NE(help.out.find("--in-place"), std::string::npos);
    }
}

// The format comes from the file's name here (--triples is tested with export). The import
// warns of each translation that would break a name: cell names may take 63 bytes; a file no
// list takes names from is not measured. How the check lists them is the damaged file's
// report below.
TEST(DbCommands, ExportThenImportGivesBackTheSameBytesAndTellsOfBrokenNames) {
    // Every byte value once: 00, the controls, and the five bytes Windows-1252 leaves undefined.
    Text every(256, '\0');
    std::iota(every.begin(), every.end(), '\0');
    const std::string x63(63, 'x');
    const std::string emptied = utf8(u8"Warnung: Eintrag 2 („Rock“): die Übersetzung ist leer, "
                                     u8"das Original nicht.\n");
    // clang-format off
    const std::vector<std::tuple<std::string, Bytes, std::string>> cases = {
        {"Empty.dat", {}, ""},
        {"Celldata.dat", encode_pair_file({{"", ""}, {"Rock", ""}, {every, "\x81\x8D\x8F\x90\x9D"},
                                           {"Rock", "Rock"}, {"B", x63 + "y"}, {"A", x63}}),
         utf8(u8"Warnung: Eintrag 5 („B“): die Übersetzung hat 64 Bytes, mehr als 63.\n") + emptied},
        {"Gmstdata.dat", encode_pair_file({{"B", x63 + "y"}, {"Rock", ""}}), emptied},
        {"Skildata.dat", encode_triple_file({{"", "", ""}, {"id\t1", "Line\rtwo", "Zeile\nzwei\\"},
                                             {every, std::string(1, '\0'), "\xD6l \x80"}}), ""},
    };
    // clang-format on
    for (const auto& [name, file, warnings] : cases) {
        SCOPED_TRACE(name);
        test::MemoryFiles files;
        files.put("in/" + name, file);
        const auto exported = run_tool(files, {"db", "export", "in/" + name});
        ASSERT_EQ(exported.status, kExitOk);
        EXPECT_EQ(exported.err, "");
        files.put_text("lines.txt", exported.out);
        const auto imported = run_tool(files, {"db", "import", "lines.txt", "-o", name});
        EXPECT_EQ(imported.status, kExitOk);
        EXPECT_EQ(imported.out, "");
        EXPECT_EQ(imported.err, warnings);
        EXPECT_EQ(files.get(name), file);
    }
}

// Export and check read the format from the file's name where the program uses the file;
// --triples decides only for other names. Neither changes a file, nor does a refused import.
TEST(DbCommands, ExportCheckAndRefusedImportChangeNothing) {
    const Bytes triples = encode_triple_file({{"id", "Text", "Der Text"}});
    const std::string triple_line = "id\tText\tDer Text\n";
    test::MemoryFiles files;
    for (const char* name : {"data/Skildata.dat", "data/Txtbookdata.dat", "other.dat"}) {
        files.put(name, triples);
    }
    files.put("data/Celldata.dat",
              encode_pair_file({{"Dark\tCave\\", "Dunkle H\xF6hle\r\n"}, {"\x81", "\x80"}}));
    files.put_text("lines.txt", triple_line);
    // A damaged file: check and export tell of the whole entries before the damage. The
    // external database's fixed start entry is no missing translation; the same pair later is.
    const std::string x64(64, 'x');
    Bytes pairs = encode_pair_file({{"FFFF", "FFFF"},
                                    {"Rock", "Stein"},
                                    {"Foo Town", "Foostadt"},
                                    {"Rock", "Rock"},
                                    {"Foo Town", ""},
                                    {"", ""},
                                    {"FFFF", "FFFF"},
                                    {"Long", x64}});
    pairs.insert(pairs.end(), {std::byte{1}, std::byte{0}});
    files.put("db/Extradata.dat", pairs);
    // For triples the original is the second text: entry 2 has its ID equal to the original,
    // which is no sign of a missing translation.
    // clang-format off
    files.put("Triples.dat",
              encode_triple_file({{"id1", "Text", "Text"}, {"same", "same", "Gleich"}, {"id1", "X", "Y"}}));
    // clang-format on
    const auto mismatch = [](const std::string& name) {
        return utf8(u8"„") + name + utf8(u8"“ hält zwei Texte je Eintrag");
    };
    // clang-format off
    expect_calls(files, {
        ok({"db", "export", "data/Skildata.dat"}, triple_line),
        ok({"db", "export", "data/Txtbookdata.dat", "--triples"}, triple_line),
        ok({"db", "export", "other.dat", "--triples"}, triple_line),
        ok({"db", "export", "data/Celldata.dat"},
           "Dark\\tCave\\\\\tDunkle H\xC3\xB6hle\\r\\n\n\xC2\x81\t\xE2\x82\xAC\n"),
        refused({"db", "check", "db/Extradata.dat", "--triples"}, mismatch("Extradata.dat")),
        refused({"db", "import", "lines.txt", "-o", "data/Gmstdata.dat", "--triples"}, mismatch("Gmstdata.dat")),
        ok({"db", "check", "Triples.dat", "--triples"},
           utf8(u8"Einträge: 3\n"
                u8"Mehrfach vorkommende IDs (erster Text): 1 (verwendet wird nur der erste "
                u8"Eintrag)\n"
                u8"  „id1“: 2-mal, Einträge 1, 3\n"
                u8"Einträge mit Übersetzung (dritter Text) gleich Original (zweiter Text): 1\n"
                u8"  Eintrag 1: „id1“\n"
                u8"Leere Übersetzungen nicht leerer Originale (sie löschen den Namen): 0\n"
                u8"Die Datei ist unbeschädigt: sie endet nicht mitten in einem Eintrag.\n")),
        ok({"db", "check", "db/Extradata.dat"},
           utf8(u8"Einträge: 8\n"
                u8"Mehrfach vorkommende Originale: 3 (verwendet wird nur der erste Eintrag)\n"
                u8"  „FFFF“: 2-mal, Einträge 1, 7\n"
                u8"  „Rock“: 2-mal, Einträge 2, 4\n"
                u8"  „Foo Town“: 2-mal, Einträge 3, 5\n"
                u8"Einträge mit Übersetzung gleich Original: 3\n"
                u8"  Eintrag 4: „Rock“\n"
                u8"  Eintrag 6: „“\n"
                u8"  Eintrag 7: „FFFF“\n"
                u8"Übersetzungen länger als 63 Bytes (die Grenze der Listen, die diese Datei "
                u8"benutzen): 1\n"
                u8"  Eintrag 8: „Long“ (64 Bytes)\n"
                u8"Leere Übersetzungen nicht leerer Originale (sie löschen den Namen): 1\n"
                u8"  Eintrag 5: „Foo Town“\n"
                u8"Die Datei (191 Bytes) endet mitten in einem Eintrag: der Eintrag ab Byte 189 "
                u8"ist unvollständig.\n"),
           kExitRefused),
        {{"db", "export", "db/Extradata.dat"}, kExitRefused,
         "FFFF\tFFFF\nRock\tStein\nFoo Town\tFoostadt\nRock\tRock\nFoo Town\t\n\t\nFFFF\tFFFF\n"
         "Long\t" + x64 + "\n",
         utf8(u8"„db/Extradata.dat“ endet mitten in einem Eintrag: der Eintrag ab Byte 189 ist "
              u8"unvollständig. Ausgegeben wurden die 8 ganzen Einträge davor.\n")},
        refused({"db"}, kDbUsage),
        refused({"db", "export"}, kDbUsage),
        refused({"db", "export", "a.dat", "b.dat"}, kDbUsage),
        refused({"db", "export", ""}, kDbUsage),
        refused({"db", "export", "a.dat", "--triples", "--triples"}, kDbUsage),
        refused({"db", "check", "a.dat", "-o", "b.dat"}, kDbUsage),
        refused({"db", "import", "a.txt"}, kDbUsage),
        refused({"db", "import", "a.txt", "-o"}, kDbUsage),
        refused({"db", "import", "a.txt", "-o", "b.dat", "-o", "c.dat"}, kDbUsage),
        refused({"db", "check", "missing.dat"}, ""),
        refused({"db", "import", "missing.txt", "-o", "b.dat"}, ""),
    });
    // clang-format on
    // An import refuses its first bad line and keeps the old file.
    const std::u8string two = u8"erwartet werden genau zwei Felder (Original und Übersetzung), "
                              u8"getrennt durch einen Tabulator.\n";
    // Txtracedata.dat holds triples.
    const std::vector<std::tuple<std::string, std::string, std::u8string>> cases = {
        {"a\tb\nalone\n", "Out.dat", u8"Zeile 2: Die Zeile hat nur ein Feld; " + two},
        {"a\tb\tc\n", "Out.dat", u8"Zeile 1: Die Zeile hat 3 Felder; " + two},
        {"a\tb\n\nc\td\n", "Out.dat", u8"Zeile 2: Die Zeile ist leer; " + two},
        {"i\ta\tb\ni\ta\n", "Txtracedata.dat",
         u8"Zeile 2: Die Zeile hat 2 Felder; erwartet werden genau drei Felder, getrennt durch "
         u8"Tabulatoren.\n"},
        {"a\tb\nc\td\ne\tf\\x\n", "Out.dat",
         u8"Zeile 3, Feld 2: Ungültiges Fluchtzeichen: auf \\ folgt nur \\, t, r oder n.\n"},
    };
    files.put("Out.dat", encode_pair_file({{"Old", "Alt"}}));
    for (const auto& [text, output, message] : cases) {
        files.put_text("In.txt", text);
        expect_calls(files, {refused({"db", "import", "In.txt", "-o", output},
                                     utf8(u8"„In.txt“, ") + utf8(message))});
    }
    files.put_text("In.txt", "Rock\tStein\n");
    files.fail_operation(1, FileOperation::Rename);
    expect_calls(files, {{{"db", "import", "In.txt", "-o", "Out.dat"}, kExitWriteFailed, "", ""}});
}

} // namespace
} // namespace orv::cli
