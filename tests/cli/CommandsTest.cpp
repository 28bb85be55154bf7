#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

#include "MemoryFiles.h"
#include "cli/Cli.h"
#include "fixtures/PluginBuilder.h"
#include "translation/DatabaseFile.h"

namespace orv::cli {
namespace {

using fixtures::RecordBuilder;
using test::FileOperation;
using Snapshot = std::map<std::string, Bytes>;
using Arguments = std::vector<std::string>;

const std::string kPlugin = "mods/Test.esp";
const std::string kOut = "out/Test.esp";
const std::string kEdits = "edits.tsv";
const std::string kExternal = "prog/dataextra/Extradata.dat";

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome run_tool(Files& files, const Arguments& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = run(arguments, "prog", files, out, err);
    return {status, out.str(), err.str()};
}

Snapshot snapshot(const test::MemoryFiles& files) {
    Snapshot all;
    for (const auto& path : files.paths()) {
        all[path] = *files.get(path);
    }
    return all;
}

bool contains(const Bytes& haystack, const Bytes& needle) {
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) !=
           haystack.end();
}

// The test plugin with the given names. Its NPC points at both cells and at the region's
// name, so the references must follow the names a save gives the cells and the region.
std::vector<Bytes> records(const Text& town, const Text& mill, const Text& coast, const Text& rock,
                           const Text& pebble, const Text& sword, const Text& setting) {
    return {
        RecordBuilder("CELL").text("NAME", town).bytes(),
        RecordBuilder("CELL").text("NAME", mill).bytes(),
        RecordBuilder("REGN").text("NAME", "coast").text("FNAM", coast).bytes(),
        RecordBuilder("ACTI").text("NAME", "lever").bytes(),
        RecordBuilder("MISC").text("NAME", "rock").text("FNAM", rock).bytes(),
        RecordBuilder("MISC").text("NAME", "rock").text("FNAM", pebble).bytes(),
        RecordBuilder("WEAP").text("NAME", "sword").text("FNAM", sword).bytes(),
        RecordBuilder("NPC_")
            .text("NAME", "guard")
            .text("FNAM", "Guard")
            .text("DNAM", town)
            .text("DNAM", coast)
            .text("DNAM", mill)
            .bytes(),
        RecordBuilder("GMST").text("NAME", "sYes").raw("STRV", setting).bytes(),
    };
}

const std::vector<Bytes> kRecords =
    records("Foo Town", "Old Mill", "Misty Coast", "Rock", "Pebble", "Iron Sword", "Yes");

class TranslateCommand : public ::testing::Test {
protected:
    void SetUp() override {
        m_files.put("prog/data/Weapdata.dat", encode_pair_file({{"Iron Sword", "Eisenschwert"}}));
        m_files.put("prog/data/Gmstdata.dat", encode_pair_file({{"Yes", "Ja"}}));
        m_files.put(kExternal,
                    encode_pair_file({{"FFFF", "FFFF"}, {"Old Mill", cp1252(u8"Alte Mühle")}}));
        m_files.put(kPlugin, fixtures::plugin(kRecords));
    }

    void reset() {
        m_files = test::MemoryFiles();
        SetUp();
    }

    Outcome translate(std::string_view edits, Arguments extra = {}) {
        m_files.put_text(kEdits, edits);
        Arguments arguments = {"translate", kPlugin, "-o", kOut, "--edits", kEdits};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return run_tool(m_files, arguments);
    }

    // A refusal prints one German message, nothing else, and changes no file.
    void expect_refused(const Outcome& result, const Snapshot& before, std::string_view message) {
        EXPECT_EQ(result.status, kExitRefused);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.rfind(message, 0), 0U) << result.err;
        EXPECT_EQ(snapshot(m_files), before);
    }

    test::MemoryFiles m_files;
};

const std::string kEditText = "Cell\tFoo Town\tFoostadt\n"
                              "Region\tcoast\tNebelk\xC3\xBCste\n"
                              "Misc Item\trock\tStein\n";

TEST_F(TranslateCommand, WritesEditedNamesAndTranslatedReferences) {
    const auto external = m_files.get(kExternal);
    const auto result = translate(kEditText);
    EXPECT_EQ(result.status, kExitOk);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "Gespeichert. Zeilen nach Art und Markierung:\n"
                          "  Cell: \xC3\x9C 2\n  Region: \xC3\x9C 1\n  Activator: E 1\n"
                          "  Misc Item: \xC3\x9C 2\n  Weapon: B 1\n  NPC: ohne 1\n"
                          "Namen aus der Datenbank \xC3\xBC"
                          "bernommen: 2\nNamen durch \xC3\x84nderungen ge\xC3\xA4ndert: 4\n"
                          "Game Settings \xC3\xBC"
                          "bersetzt: 1\nZellenverweise \xC3\xBC"
                          "bersetzt: 3\n");
    // Both "rock" rows take the name; the region's new name reaches the reference through
    // the rebuilt external database although that is not written.
    EXPECT_EQ(m_files.get(kOut),
              fixtures::plugin(records("Foostadt", cp1252(u8"Alte Mühle"), cp1252(u8"Nebelküste"),
                                       "Stein", "Stein", "Eisenschwert", "Ja")));
    EXPECT_EQ(m_files.get(kExternal), external);
    EXPECT_EQ(m_files.paths().size(), 6U);

    // The plugin itself is replaced only when asked for, with or without "-o".
    for (const Arguments& in_place :
         {Arguments{"--in-place"}, Arguments{"-o", kPlugin, "--in-place"}}) {
        m_files.put(kPlugin, fixtures::plugin(kRecords));
        Arguments arguments = {"translate", kPlugin, "--edits", kEdits};
        arguments.insert(arguments.end(), in_place.begin(), in_place.end());
        EXPECT_EQ(run_tool(m_files, arguments).status, kExitOk);
        EXPECT_EQ(m_files.get(kPlugin), m_files.get(kOut));
        EXPECT_EQ(m_files.paths().size(), 6U);
    }
}

// The check loads and edits as translate does; the plugin's own region, renamed by the
// edits, is a place the NPC may go.
using CheckCommand = TranslateCommand;

TEST_F(CheckCommand, PrintsFindingsAsTsvAndWritesNothing) {
    std::vector<Bytes> broken = kRecords;
    broken.push_back(RecordBuilder("SCPT")
                         .raw("SCHD", "Travel")
                         .raw("SCTX", "AIFollowCell \"Foo Town\"")
                         .bytes());
    broken.push_back(RecordBuilder("NPC_").text("NAME", "scout").text("DNAM", "Nowhere").bytes());
    m_files.put_text(kEdits, kEditText);
    const std::string reference = "reference\tNPC_\tscout\tDNAM \xE2\x80\x9ENowhere\xE2\x80\x9C: "
                                  "weder eine Zelle dieses Plugins noch eine \xC3\x9C"
                                  "bersetzung der Zellen- oder Regionsdatenbank\n";
    struct Case {
        const char* name;
        std::vector<Bytes> records;
        Arguments arguments;
        int status;
        std::string out;
    };
    const std::vector<Case> cases = {
        {"clean plugin with edits", kRecords, {"check", kPlugin, "--edits", kEdits}, kExitOk, ""},
        {"findings with edits",
         broken,
         {"check", kPlugin, "--edits", kEdits},
         3,
         "script\tSCPT\tTravel\tZeile 1: \xE2\x80\x9E"
         "Foo Town\xE2\x80\x9C hei\xC3\x9Ft nach dem Speichern \xE2\x80\x9E"
         "Foostadt\xE2\x80\x9C\n" +
             reference},
        {"no edits, no rename", broken, {"check", kPlugin}, 3, reference},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        m_files.put(kPlugin, fixtures::plugin(test.records));
        const Snapshot before = snapshot(m_files);
        const auto result = run_tool(m_files, test.arguments);
        EXPECT_EQ(result.status, test.status);
        EXPECT_EQ(result.out, test.out);
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(snapshot(m_files), before);
    }
    expect_refused(run_tool(m_files, {"check", kPlugin, "--edits"}), snapshot(m_files),
                   "Aufruf: orvental-cli");
}

TEST_F(TranslateCommand, UsesTheGivenProgramFolder) {
    const auto external = m_files.get(kExternal);
    m_files.put("other/data/Actidata.dat", {});
    m_files.put_text(kEdits, "Weapon\tsword\tSchwert\n");
    const auto result = run_tool(m_files, {"--program-dir", "other", "translate", kPlugin, "-o",
                                           kOut, "--edits", kEdits, "--update-external"});
    // The shipped weapon name of prog/ is unknown there, so the row may be edited.
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_EQ(m_files.get("other/dataextra/Extradata.dat"),
              encode_pair_file({{"FFFF", "FFFF"}, {"Iron Sword", "Schwert"}}));
    EXPECT_EQ(m_files.get(kExternal), external);
}

TEST_F(TranslateCommand, WritesExternalDatabaseOnlyWhenAsked) {
    for (const bool present : {true, false}) {
        for (const bool update : {false, true}) {
            SCOPED_TRACE(testing::Message() << "present " << present << ", update " << update);
            reset();
            if (!present) {
                (void)m_files.remove(kExternal);
            }
            const auto before = m_files.get(kExternal);
            const auto result =
                translate(kEditText, update ? Arguments{"--update-external"} : Arguments{});
            EXPECT_EQ(result.status, kExitOk);
            // The old entry survives only as the row it gave; lists in tab order.
            std::vector<PairEntry> rebuilt = {{"FFFF", "FFFF"}, {"Foo Town", "Foostadt"}};
            if (present) {
                rebuilt.push_back({"Old Mill", cp1252(u8"Alte Mühle")});
            }
            rebuilt.insert(
                rebuilt.end(),
                {{"Misty Coast", cp1252(u8"Nebelküste")}, {"Rock", "Stein"}, {"Pebble", "Stein"}});
            EXPECT_EQ(m_files.get(kExternal), update ? encode_pair_file(rebuilt) : before);
        }
    }
}

TEST_F(TranslateCommand, AcceptsNamesUpToTheLimit) {
    const auto misc = [](const Text& name) {
        return RecordBuilder("MISC").text("NAME", "rock").text("FNAM", name).bytes();
    };
    std::string umlauts;
    for (int i = 0; i < 31; ++i) {
        umlauts += "\xC3\x84";
    }
    const std::vector<std::pair<std::string, Bytes>> cases = {
        {"Misc Item\trock\t" + std::string(31, 'x'), misc(std::string(31, 'x'))},
        // Umlauts take two bytes in UTF-8 but one in the record.
        {"Misc Item\trock\t" + umlauts, misc(std::string(31, '\xC4'))},
        {"Cell\tFoo Town\t" + std::string(63, 'c'),
         RecordBuilder("CELL").text("NAME", std::string(63, 'c')).bytes()},
        {"Region\tcoast\t" + std::string(40, 'r'),
         RecordBuilder("REGN").text("NAME", "coast").text("FNAM", std::string(40, 'r')).bytes()},
        {"Misc Item\trock\ta\\\\b\\tc\\r\\nd", misc("a\\b\tc\r\nd")},
        {"Misc Item\trock\t", misc("")},
        // A row from the external database may be edited again.
        {"Cell\tOld Mill\tM\xC3\xBChle", RecordBuilder("CELL").text("NAME", "M\xFChle").bytes()},
    };
    for (const auto& [line, record] : cases) {
        SCOPED_TRACE(line);
        reset();
        const auto result = translate(line + "\n");
        EXPECT_EQ(result.status, kExitOk) << result.err;
        EXPECT_TRUE(contains(m_files.get(kOut).value_or(Bytes{}), record));
    }
}

TEST_F(TranslateCommand, NameEqualToEvNameRecordsNothing) {
    ASSERT_EQ(run_tool(m_files, {"translate", kPlugin, "-o", kOut}).status, kExitOk);
    const auto expected = m_files.get(kOut);
    for (const std::string edits : {"", "NPC\tguard\tGuard\n", "Cell\tOld Mill\tOld Mill",
                                    "Region\tcoast\tMisty Coast\nCell\tFoo Town\tFoo Town\n"}) {
        SCOPED_TRACE(edits);
        (void)m_files.remove(kOut);
        const auto result = translate(edits);
        EXPECT_EQ(result.status, kExitOk);
        EXPECT_NE(result.out.find("Namen durch \xC3\x84nderungen ge\xC3\xA4ndert: 0\n"),
                  std::string::npos);
        EXPECT_EQ(m_files.get(kOut), expected);
    }
}

TEST_F(TranslateCommand, RerunOverItsOwnOutputReportsNoChanges) {
    ASSERT_EQ(translate(kEditText, {"--update-external"}).status, kExitOk);
    const auto again = run_tool(m_files, {"translate", kOut, "-o", "out/Again.esp", "--edits",
                                          kEdits, "--update-external"});
    EXPECT_EQ(again.status, kExitOk) << again.err;
    EXPECT_NE(again.out.find("Namen aus der Datenbank \xC3\xBC"
                             "bernommen: 0\nNamen durch \xC3\x84nderungen ge\xC3\xA4ndert: 0\n"
                             "Game Settings \xC3\xBC"
                             "bersetzt: 0\nZellenverweise \xC3\xBC"
                             "bersetzt: 0\n"),
              std::string::npos)
        << again.out;
    EXPECT_EQ(m_files.get("out/Again.esp"), m_files.get(kOut));
}

// Plugins where every cell has a path grid of the same name, in the four ways the two rows
// can be marked; the edits name only one of each pair.
TEST_F(TranslateCommand, CellAndPathGridTakeOneName) {
    for (const int cells : {4, 9}) {
        SCOPED_TRACE(cells);
        reset();
        std::vector<PairEntry> shipped_cells;
        std::vector<PairEntry> shipped_regions;
        std::vector<PairEntry> external = {{"FFFF", "FFFF"}};
        std::vector<Bytes> input;
        std::vector<Bytes> expected;
        std::string edits;
        const auto add = [](std::vector<Bytes>& records, const Text& cell, const Text& grid,
                            const Text& reference) {
            records.push_back(RecordBuilder("CELL").text("NAME", cell).bytes());
            records.push_back(RecordBuilder("PGRD").text("NAME", grid).bytes());
            records.push_back(
                RecordBuilder("NPC_").text("NAME", "n").text("DNAM", reference).bytes());
        };
        for (int k = 0; k < cells; ++k) {
            const Text name = "Cell " + std::to_string(k);
            const Text renamed = "Neu " + std::to_string(k);
            add(input, name, name, name);
            switch (k % 4) {
            case 0: // both unmarked; the cell is edited
                edits += "Cell\t" + name + "\t" + renamed + "\n";
                add(expected, renamed, renamed, renamed);
                break;
            case 1: // both from the shipped file, not edited
                shipped_cells.push_back({name, "Zelle " + std::to_string(k)});
                add(expected, shipped_cells.back()[1], shipped_cells.back()[1],
                    shipped_cells.back()[1]);
                break;
            case 2: // both from the external database; the path grid is edited
                external.push_back({name, "Ex " + std::to_string(k)});
                edits += "Pgrd\t" + name + "\t" + renamed + "\n";
                add(expected, renamed, renamed, renamed);
                break;
            case 3: // the path grid alone marked "B" (region file); the cell is edited
                shipped_regions.push_back({name, "Gebiet " + std::to_string(k)});
                edits += "Cell\t" + name + "\t" + renamed + "\n";
                add(expected, renamed, renamed, renamed);
                break;
            }
        }
        m_files.put("prog/data/Celldata.dat", encode_pair_file(shipped_cells));
        m_files.put("prog/data/Regndata.dat", encode_pair_file(shipped_regions));
        m_files.put(kExternal, encode_pair_file(external));
        m_files.put(kPlugin, fixtures::plugin(input));
        const auto result = translate(edits);
        EXPECT_EQ(result.status, kExitOk) << result.err;
        EXPECT_EQ(m_files.get(kOut), fixtures::plugin(expected));
    }
}

TEST_F(TranslateCommand, RefusesBadEditLinesNamingTheLine) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Cell\tFoo Town\n", "Zeile 1: Erwartet werden genau drei Felder"},
        {"Cell\tFoo Town\tA\tB\n", "Zeile 1: Erwartet werden genau drei Felder"},
        {"Misc Item\trock\tStein\n\nCell\tFoo Town\tX\n", "Zeile 2: Erwartet werden"},
        {"Cells\tFoo Town\tX\n", "Zeile 1: Unbekannte Liste"},
        {"Weapon\tsword\tSchwert\n", "Zeile 1: Die Zeile \xE2\x80\x9Esword"},
        {"Activator\tlever\tHebel\n", "Zeile 1: KEIN NAME"},
        {"Misc Item\trock\tStein\nMisc Item\tstone\tX\n", "Zeile 2: Keine Zeile der Liste"},
        {"Misc Item\trock\t" + std::string(32, 'x'), "Zeile 1: Der name hat mehr als 31 zeichen."},
        {"Cell\tFoo Town\t" + std::string(64, 'c'), "Zeile 1: Der name hat mehr als 63 zeichen."},
        {"Misc Item\trock\tStein \xE4\xB8\x80\n", "Zeile 1, Feld 3: Ein Zeichen, das"},
        {"Misc Item\trock\tSt\\ein\n", "Zeile 1, Feld 3: Ung\xC3\xBCltiges Fluchtzeichen"},
        {"Misc Item\trock\tStein\\\n", "Zeile 1, Feld 3: Ung\xC3\xBCltiges Fluchtzeichen"},
        // A file in another text format is named as such once, not line by line.
        {"\xEF\xBB\xBFMisc Item\trock\tStein\n",
         "Zeile 1: Die Datei beginnt mit einer Byte-Order-Markierung (BOM); bitte als UTF-8 ohne "
         "BOM speichern.\n"},
        {"Misc Item\trock\tStein\r\nCell\tFoo Town\tX\r\n",
         "Zeile 1: Wagenr\xC3\xBC"
         "cklauf (CR) im Text. Die Datei hat wohl Windows-Zeilenenden "
         "(CR LF); Zeilen enden hier nur mit LF, ein CR im Text wird \\r geschrieben.\n"},
        // Every bad line is told, each with its number.
        {"Cells\tFoo Town\tX\nMisc Item\trock\tStein\nWeapon\tsword\tS\nNPC\tguard\n",
         "Zeile 1: Unbekannte Liste \xE2\x80\x9E"
         "Cells\xE2\x80\x9C.\nZeile 3: Die Zeile "
         "\xE2\x80\x9Esword\xE2\x80\x9C ist mit \xE2\x80\x9E"
         "B\xE2\x80\x9C markiert und kann nicht "
         "ge\xC3\xA4ndert werden.\nZeile 4: Erwartet werden genau drei Felder: LISTE, ID und neuer "
         "DV Name, durch Tabulatoren getrennt.\n"},
    };
    for (const auto& [edits, message] : cases) {
        SCOPED_TRACE(edits);
        reset();
        m_files.put_text(kEdits, edits);
        const auto before = snapshot(m_files);
        expect_refused(translate(edits, {"--update-external"}), before, message);
    }
}

TEST_F(TranslateCommand, RefusesBadCallsAndMasterFiles) {
    m_files.put("mods/Master.esm", fixtures::plugin(kRecords, 1));
    m_files.put("mods/Short.esp", fixtures::bytes_of("HEDR"));
    m_files.put_text(kEdits, "Misc Item\trock\tStein\n");
    const std::string usage = "Aufruf: orvental-cli";
    const std::vector<std::pair<Arguments, std::string>> cases = {
        {{"translate"}, usage},
        {{"translate", kPlugin}, usage},
        {{"translate", "-o", kOut}, usage},
        {{"translate", kPlugin, "-o"}, usage},
        {{"translate", kPlugin, "-o", kOut, "-o", "b.esp"}, usage},
        {{"translate", kPlugin, "-o", kOut, "--edits", kEdits, "--edits", kEdits}, usage},
        {{"translate", kPlugin, "other.esp", "-o", kOut}, usage},
        {{"translate", kPlugin, "-o", kOut, "--force"}, usage},
        {{"translate", kPlugin, "--in-place", "--in-place"}, usage},
        // The input stays unchanged unless --in-place says otherwise.
        {{"translate", kPlugin, "-o", kPlugin}, "Die Ausgabe \xE2\x80\x9Emods/Test.esp"},
        {{"translate", kPlugin, "-o", "mods/../mods/./Test.esp"}, "Die Ausgabe"},
        // A program folder must exist and hold the database; none is created.
        {{"--program-dir", "nowhere", "translate", kPlugin, "-o", kOut, "--update-external"},
         "Den Programmordner \xE2\x80\x9Enowhere\xE2\x80\x9C gibt es nicht.\n"},
        {{"--program-dir", "mods", "translate", kPlugin, "-o", kOut, "--update-external"},
         "Im Programmordner \xE2\x80\x9Emods\xE2\x80\x9C fehlt der Ordner \xE2\x80\x9E"
         "data"},
        {{"translate", "mods/Missing.esp", "-o", kOut}, ""},
        {{"translate", kPlugin, "-o", kOut, "--edits", "missing.tsv"}, ""},
        {{"translate", "mods/Short.esp", "-o", kOut}, ""},
        {{"translate", "mods/Master.esm", "-o", kOut, "--edits", kEdits, "--update-external"},
         "DIES IST EINE ESM-DATEI. FUNKTION NICHT VERF\xC3\x9CGBAR.\n"},
    };
    const auto before = snapshot(m_files);
    for (const auto& [arguments, message] : cases) {
        SCOPED_TRACE(testing::PrintToString(arguments));
        const auto result = run_tool(m_files, arguments);
        expect_refused(result, before, message);
        EXPECT_FALSE(result.err.empty());
        EXPECT_EQ(result.err.find('\r'), std::string::npos);
    }
}

TEST_F(TranslateCommand, FailedReadRefusesBeforeWriting) {
    // Walks a failure through every read: the plugin, the edits, the databases of the load
    // and of the save, and the old external database kept for putting it back.
    m_files.put_text(kEdits, kEditText);
    const auto before = snapshot(m_files);
    const Arguments arguments = {"translate",        kPlugin, "-o", kOut, "--edits", kEdits,
                                 "--update-external"};
    int k = 1;
    for (;; ++k) {
        SCOPED_TRACE(k);
        m_files.fail_operation(k, FileOperation::Read);
        const auto result = run_tool(m_files, arguments);
        if (result.status == kExitOk) {
            break;
        }
        expect_refused(result, before, "");
        ASSERT_FALSE(result.err.empty());
        ASSERT_LT(k, 50);
    }
    EXPECT_GE(k, 8);
}

TEST_F(TranslateCommand, FailedWriteKeepsOldFiles) {
    struct Case {
        FileOperation operation;
        int k;
        bool update_external;
        bool external_present;
    };
    // With --update-external the external database is written first: Create, Write and
    // Rename number 1 are its own, number 2 the plugin's.
    const std::vector<Case> cases = {
        {FileOperation::Create, 1, false, true}, {FileOperation::Write, 1, false, true},
        {FileOperation::Rename, 1, false, true}, {FileOperation::Create, 2, true, true},
        {FileOperation::Write, 2, true, true},   {FileOperation::Rename, 1, true, true},
        {FileOperation::Rename, 2, true, true},  {FileOperation::Rename, 2, true, false},
    };
    for (const auto& [operation, k, update_external, external_present] : cases) {
        for (const auto& output : {kOut, kPlugin}) {
            SCOPED_TRACE(testing::Message() << static_cast<int>(operation) << " #" << k << " "
                                            << update_external << external_present << output);
            reset();
            if (!external_present) {
                (void)m_files.remove(kExternal);
            }
            m_files.put_text(kOut, "old output");
            m_files.put_text(kEdits, kEditText);
            const auto before = snapshot(m_files);
            m_files.fail_operation(k, operation);
            Arguments arguments = {"translate", kPlugin, "-o", output, "--edits", kEdits};
            if (update_external) {
                arguments.push_back("--update-external");
            }
            if (output == kPlugin) {
                arguments.push_back("--in-place");
            }
            const auto result = run_tool(m_files, arguments);
            EXPECT_EQ(result.status, kExitWriteFailed);
            EXPECT_EQ(result.out, "");
            EXPECT_FALSE(result.err.empty());
            // Old bytes everywhere and no temporary file left.
            EXPECT_EQ(snapshot(m_files), before);
        }
    }
}

class ListCommand : public ::testing::Test {
protected:
    void SetUp() override {
        m_files.put("prog/data/Celldata.dat",
                    encode_pair_file({{"Misty Grove", "Nebelhain"}, {"Old Tower", "Alter Turm"}}));
        m_files.put("prog/data/Weapdata.dat", encode_pair_file({{"Iron Sword", "Eisenschwert"}}));
        m_files.put("prog/data/Skildata.dat",
                    encode_triple_file({{"Blade", "Blade", "Klinge"}, {"Axe", "Axe", "Axt"}}));
        m_files.put("prog/dataextra/Extradata.dat",
                    encode_pair_file({{"FFFF", "FFFF"}, {"Dark\tCave", "Dunkle H\xF6hle"}}));
        m_files.put(
            "mods/Test.esp",
            fixtures::plugin({
                RecordBuilder("CELL").text("NAME", "Misty Grove").bytes(),
                RecordBuilder("CELL").text("NAME", "Dark\tCave").bytes(),
                RecordBuilder("WEAP").text("NAME", "sword_01").text("FNAM", "Iron Sword").bytes(),
                RecordBuilder("WEAP").text("NAME", "club\\01").text("FNAM", "Club").bytes(),
                RecordBuilder("ACTI").text("NAME", "lever").bytes(),
                RecordBuilder("SKIL").u32("INDX", 1).raw("DESC", "text").bytes(),
            }));
    }

    test::MemoryFiles m_files;
};

TEST_F(ListCommand, PrintsRowsInTabOrderThenSkills) {
    const auto before = m_files.get("mods/Test.esp");
    const auto result = run_tool(m_files, {"list", "mods/Test.esp"});
    EXPECT_EQ(result.status, kExitOk);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "Cell\tB\tMisty Grove\tMisty Grove\tNebelhain\n"
                          "Cell\t\xC3\x9C\tDark\\tCave\tDark\\tCave\tDunkle H\xC3\xB6hle\n"
                          "Activator\tE\tlever\t\t\n"
                          "Weapon\tB\tsword_01\tIron Sword\tEisenschwert\n"
                          "Weapon\t\tclub\\\\01\tClub\tClub\n"
                          "Skill\t1\tAxe\tAxe\tAxt\n");
    // Listing changes no file and creates none.
    EXPECT_EQ(m_files.get("mods/Test.esp"), before);
    EXPECT_EQ(m_files.paths().size(), 5U);
}

TEST_F(ListCommand, UsesTheGivenProgramFolder) {
    m_files.put("elsewhere/data/Actidata.dat", {});
    const auto result = run_tool(m_files, {"--program-dir", "elsewhere", "list", "mods/Test.esp"});
    EXPECT_EQ(result.status, kExitOk);
    EXPECT_NE(result.out.find("Cell\t\tMisty Grove\tMisty Grove\tMisty Grove\n"),
              std::string::npos);
}

TEST_F(ListCommand, RefusesWithGermanMessageAndNoOutput) {
    m_files.put("mods/Short.esp", fixtures::bytes_of("HEDR"));
    const std::vector<Arguments> cases = {
        {},
        {"--program-dir"},
        {"list"},
        {"list", "a.esp", "b.esp"},
        {"frobnicate", "mods/Test.esp"},
        {"list", "mods/Missing.esp"},
        {"list", "mods/Short.esp"},
    };
    for (const auto& arguments : cases) {
        SCOPED_TRACE(testing::PrintToString(arguments));
        const auto result = run_tool(m_files, arguments);
        EXPECT_EQ(result.status, kExitRefused);
        EXPECT_EQ(result.out, "");
        EXPECT_FALSE(result.err.empty());
        EXPECT_EQ(result.err.find('\r'), std::string::npos);
    }
}

TEST(Cli, HelpAndVersionGoToStdout) {
    test::MemoryFiles files;
    for (const std::string flag : {"--help", "-h"}) {
        const auto help = run_tool(files, {flag});
        EXPECT_EQ(help.status, kExitOk);
        EXPECT_EQ(help.err, "");
        EXPECT_TRUE(help.out.starts_with("Aufruf: orvental-cli [--program-dir ORDNER] BEFEHL"));
        EXPECT_NE(help.out.find("--in-place"), std::string::npos);
    }
    const auto version = run_tool(files, {"--version"});
    EXPECT_EQ(version.status, kExitOk);
    EXPECT_EQ(version.out, "orvental-cli " ORV_TEST_VERSION "\n");
    // Anywhere else they are usage errors.
    const auto misplaced = run_tool(files, {"list", "--help"});
    EXPECT_EQ(misplaced.status, kExitRefused);
    EXPECT_EQ(misplaced.out, "");
}

std::string utf8(std::u8string_view literal) {
    return std::string(literal.begin(), literal.end());
}

Arguments with_format(Arguments arguments, bool triples) {
    if (triples) {
        arguments.push_back("--triples");
    }
    return arguments;
}

// Every byte value once: 00, the controls, and the five bytes Windows-1252 leaves undefined.
Text every_byte() {
    Text text;
    for (int value = 0; value < 256; ++value) {
        text.push_back(static_cast<char>(value));
    }
    return text;
}

TEST(DbCommands, ExportThenImportGivesBackTheSameBytes) {
    struct Case {
        const char* name;
        Bytes file;
        bool triples;
    };
    const std::vector<Case> cases = {
        {"no entries", {}, false},
        {"pairs",
         encode_pair_file({{"", ""},
                           {"Rock", ""},
                           {"a\r\nb", "tab\there\t"},
                           {"back\\slash\\", "\\n stays two characters"},
                           {every_byte(), "\x81\x8D\x8F\x90\x9D"},
                           {"Rock", "Rock"}}),
         false},
        {"triples",
         encode_triple_file({{"", "", ""},
                             {"id\t1", "Line\rtwo", "Zeile\nzwei\\"},
                             {every_byte(), std::string(1, '\0'), "\xD6l \x80"}}),
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::MemoryFiles files;
        files.put("db/In.dat", c.file);
        const auto exported =
            run_tool(files, with_format({"db", "export", "db/In.dat"}, c.triples));
        ASSERT_EQ(exported.status, kExitOk);
        EXPECT_EQ(exported.err, "");
        files.put_text("db/In.txt", exported.out);
        const auto imported = run_tool(
            files, with_format({"db", "import", "db/In.txt", "-o", "db/Out.dat"}, c.triples));
        EXPECT_EQ(imported.status, kExitOk);
        EXPECT_EQ(imported.out, "");
        EXPECT_EQ(files.get("db/Out.dat"), c.file);
    }
}

TEST(DbCommands, ExportWritesOneEscapedUtf8LinePerEntry) {
    test::MemoryFiles files;
    files.put("In.dat",
              encode_pair_file({{"Dark\tCave\\", "Dunkle H\xF6hle\r\n"}, {"\x81", "\x80"}}));
    const auto result = run_tool(files, {"db", "export", "In.dat"});
    EXPECT_EQ(result.status, kExitOk);
    EXPECT_EQ(result.out, "Dark\\tCave\\\\\tDunkle H\xC3\xB6hle\\r\\n\n"
                          "\xC2\x81\t\xE2\x82\xAC\n");
}

TEST(DbCommands, ImportRefusesTheFirstBadLineByNumberAndWritesNothing) {
    struct Case {
        const char* name;
        std::string text;
        bool triples;
        std::u8string message;
    };
    const std::u8string two = u8"erwartet werden genau zwei Felder (Original und Übersetzung), "
                              u8"getrennt durch einen Tabulator.";
    const std::u8string three = u8"erwartet werden genau drei Felder, getrennt durch Tabulatoren.";
    const std::u8string escape = u8"Ungültiges Fluchtzeichen: auf \\ folgt nur \\, t, r oder n.";
    const std::u8string character =
        u8"Ein Zeichen, das Windows-1252 nicht darstellen kann, oder kein gültiges UTF-8.";
    const std::vector<Case> cases = {
        {"one field", "a\tb\nalone\n", false, u8"Zeile 2: Die Zeile hat nur ein Feld; " + two},
        {"three fields", "a\tb\tc\n", false, u8"Zeile 1: Die Zeile hat 3 Felder; " + two},
        {"two of three", "i\ta\tb\ni\ta\n", true, u8"Zeile 2: Die Zeile hat 2 Felder; " + three},
        {"four of three", "i\ta\tb\tc", true, u8"Zeile 1: Die Zeile hat 4 Felder; " + three},
        {"empty line", "a\tb\n\nc\td\n", false, u8"Zeile 2: Die Zeile ist leer; " + two},
        {"unknown escape", "a\tb\nc\td\ne\tf\\x\n", false, u8"Zeile 3, Feld 2: " + escape},
        {"escaped backslash then unknown", "a\\\\\\q\tb\n", false, u8"Zeile 1, Feld 1: " + escape},
        {"backslash last", "a\\\tb\n", false, u8"Zeile 1, Feld 1: " + escape},
        {"not in Windows-1252", "a\tb\nOhm\t\xCE\xA9\n", false, u8"Zeile 2, Feld 2: " + character},
        {"CR LF line ends", "a\tb\r\nc\td\r\n", false,
         u8"Zeile 1, Feld 2: Wagenrücklauf (CR) im Text. Die Datei hat wohl Windows-Zeilenenden "
         u8"(CR LF); Zeilen enden hier nur mit LF, ein CR im Text wird \\r geschrieben."},
        {"byte order mark",
         "\xEF\xBB\xBF"
         "a\tb\n",
         false,
         u8"Zeile 1, Feld 1: Die Datei beginnt mit einer Byte-Order-Markierung (BOM); bitte als "
         u8"UTF-8 ohne BOM speichern."},
    };
    const Bytes old_file = encode_pair_file({{"Old", "Alt"}});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::MemoryFiles files;
        files.put_text("In.txt", c.text);
        files.put("Out.dat", old_file);
        const auto result =
            run_tool(files, with_format({"db", "import", "In.txt", "-o", "Out.dat"}, c.triples));
        EXPECT_EQ(result.status, kExitRefused);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, utf8(u8"„In.txt“, ") + utf8(c.message) + "\n");
        EXPECT_EQ(files.get("Out.dat"), old_file);
        EXPECT_EQ(files.paths().size(), 2U);
    }
}

TEST(DbCommands, ImportWriteFailureExitsWithOneAndKeepsTheOldFile) {
    const Bytes old_file = encode_pair_file({{"Old", "Alt"}});
    for (const auto kind : {FileOperation::Create, FileOperation::Write, FileOperation::Close,
                            FileOperation::Rename}) {
        SCOPED_TRACE(static_cast<int>(kind));
        test::MemoryFiles files;
        files.put_text("In.txt", "Rock\tStein\n");
        files.put("Out.dat", old_file);
        files.fail_operation(1, kind);
        const auto result = run_tool(files, {"db", "import", "In.txt", "-o", "Out.dat"});
        EXPECT_EQ(result.status, kExitWriteFailed);
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err, "");
        EXPECT_EQ(files.get("Out.dat"), old_file);
        EXPECT_EQ(files.paths().size(), 2U);
    }
}

TEST(DbCommands, CheckCountsRepeatedFirstTextsAndUntranslatedEntries) {
    test::MemoryFiles files;
    files.put("Pairs.dat", encode_pair_file({{"Rock", "Stein"},
                                             {"Foo Town", "Foostadt"},
                                             {"Rock", "Fels"},
                                             {"Same", "Same"},
                                             {"Rock", "Rock"},
                                             {"Foo Town", "Foo\tStadt"},
                                             {"", ""}}));
    // For triples the original is the second text: entry 3 has its ID equal to the original,
    // which is no sign of a missing translation.
    files.put("Triples.dat", encode_triple_file({{"id1", "Text", "Text"},
                                                 {"id2", "A", "B"},
                                                 {"same", "same", "Gleich"},
                                                 {"id1", "X", "Y"}}));
    const std::string whole =
        utf8(u8"Die Datei ist unbeschädigt: sie endet nicht mitten in einem Eintrag.\n");

    const auto pairs = run_tool(files, {"db", "check", "Pairs.dat"});
    EXPECT_EQ(pairs.status, kExitOk);
    EXPECT_EQ(pairs.err, "");
    EXPECT_EQ(pairs.out,
              utf8(u8"Einträge: 7\n"
                   u8"Mehrfach vorkommende Originale: 2 (verwendet wird nur der erste Eintrag)\n"
                   u8"  „Rock“: 3-mal, Einträge 1, 3, 5\n"
                   u8"  „Foo Town“: 2-mal, Einträge 2, 6\n"
                   u8"Einträge mit Übersetzung gleich Original: 3\n"
                   u8"  Eintrag 4: „Same“\n"
                   u8"  Eintrag 5: „Rock“\n"
                   u8"  Eintrag 7: „“\n"
                   u8"Leere Übersetzungen nicht leerer Originale (sie löschen den Namen): 0\n") +
                  whole);

    const auto triples = run_tool(files, {"db", "check", "Triples.dat", "--triples"});
    EXPECT_EQ(triples.status, kExitOk);
    EXPECT_EQ(triples.out,
              utf8(u8"Einträge: 4\n"
                   u8"Mehrfach vorkommende IDs (erster Text): 1 (verwendet wird nur der erste "
                   u8"Eintrag)\n"
                   u8"  „id1“: 2-mal, Einträge 1, 4\n"
                   u8"Einträge mit Übersetzung (dritter Text) gleich Original (zweiter Text): 1\n"
                   u8"  Eintrag 1: „id1“\n"
                   u8"Leere Übersetzungen nicht leerer Originale (sie löschen den Namen): 0\n") +
                  whole);
}

TEST(DbCommands, TellTheFormatFromTheFileName) {
    const Bytes triples = encode_triple_file({{"id", "Text", "Der Text"}});
    const Bytes pairs = encode_pair_file({{"Rock", "Stein"}});
    const std::string triple_line = "id\tText\tDer Text\n";
    struct Case {
        Arguments arguments;
        int status;
        std::string out;
    };
    const std::vector<Case> cases = {
        {{"db", "export", "data/Skildata.dat"}, kExitOk, triple_line},
        {{"db", "export", "data/Txtbookdata.dat"}, kExitOk, triple_line},
        {{"db", "export", "data/Txtbsgndata.dat", "--triples"}, kExitOk, triple_line},
        {{"db", "export", "data/Celldata.dat"}, kExitOk, "Rock\tStein\n"},
        // --triples decides only for names the program does not use.
        {{"db", "export", "other.dat", "--triples"}, kExitOk, triple_line},
        {{"db", "export", "data/Celldata.dat", "--triples"}, kExitRefused, ""},
        {{"db", "check", "data/Extradata.dat", "--triples"}, kExitRefused, ""},
        {{"db", "import", "lines.txt", "-o", "data/Gmstdata.dat", "--triples"}, kExitRefused, ""},
        {{"db", "import", "lines.txt", "-o", "data/Txtracedata.dat"}, kExitOk, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        test::MemoryFiles files;
        for (const auto* name : {"Skildata", "Txtbookdata", "Txtbsgndata"}) {
            files.put("data/" + std::string(name) + ".dat", triples);
        }
        files.put("other.dat", triples);
        files.put("data/Celldata.dat", pairs);
        files.put("data/Extradata.dat", pairs);
        files.put_text("lines.txt", triple_line);
        const auto result = run_tool(files, c.arguments);
        EXPECT_EQ(result.status, c.status) << result.err;
        EXPECT_EQ(result.out, c.out);
        if (c.status == kExitRefused) {
            EXPECT_NE(result.err.find("--triples passt nicht zu dieser Datei."), std::string::npos);
            EXPECT_EQ(files.get("data/Gmstdata.dat"), std::nullopt);
        }
    }
    test::MemoryFiles files;
    files.put_text("lines.txt", triple_line);
    ASSERT_EQ(run_tool(files, {"db", "import", "lines.txt", "-o", "Txtracedata.dat"}).status,
              kExitOk);
    EXPECT_EQ(files.get("Txtracedata.dat"), triples);
}

TEST(DbCommands, CheckAndImportTellOfTranslationsThatBreakNames) {
    // Cell names may take 63 bytes, weapon names 31; a name no list uses is not measured.
    struct Case {
        std::string file;
        std::string lines;
        std::string check;
        std::string warnings;
    };
    const std::string x63(63, 'x');
    const std::string w31(31, 'w');
    const std::vector<Case> cases = {
        {"Celldata.dat", "A\t" + x63 + "\nB\t" + x63 + "y\nRock\t\n\t\n",
         utf8(u8"Übersetzungen länger als 63 Bytes (die Grenze der Listen, die diese Datei "
              u8"benutzen): 1\n  Eintrag 2: „B“ (64 Bytes)\n"
              u8"Leere Übersetzungen nicht leerer Originale (sie löschen den Namen): 1\n"
              u8"  Eintrag 3: „Rock“\n"),
         utf8(u8"Warnung: Eintrag 2 („B“): die Übersetzung hat 64 Bytes, mehr als 63.\n"
              u8"Warnung: Eintrag 3 („Rock“): die Übersetzung ist leer, das Original nicht.\n")},
        {"Weapdata.dat", "A\t" + w31 + "\nB\t" + w31 + "\xC3\xA4\n",
         utf8(u8"Übersetzungen länger als 31 Bytes (die Grenze der Listen, die diese Datei "
              u8"benutzen): 1\n  Eintrag 2: „B“ (32 Bytes)\n"
              u8"Leere Übersetzungen nicht leerer Originale (sie löschen den Namen): 0\n"),
         utf8(u8"Warnung: Eintrag 2 („B“): die Übersetzung hat 32 Bytes, mehr als 31.\n")},
        {"Gmstdata.dat", "A\t" + x63 + "y\nB\t\n",
         utf8(u8"Leere Übersetzungen nicht leerer Originale (sie löschen den Namen): 1\n"
              u8"  Eintrag 2: „B“\n"),
         utf8(u8"Warnung: Eintrag 2 („B“): die Übersetzung ist leer, das Original nicht.\n")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        test::MemoryFiles files;
        files.put_text("lines.txt", c.lines);
        const auto imported = run_tool(files, {"db", "import", "lines.txt", "-o", c.file});
        EXPECT_EQ(imported.status, kExitOk);
        EXPECT_EQ(imported.err, c.warnings);
        ASSERT_TRUE(files.get(c.file).has_value());
        const auto checked = run_tool(files, {"db", "check", c.file});
        EXPECT_EQ(checked.status, kExitOk);
        EXPECT_NE(checked.out.find(c.check), std::string::npos) << checked.out;
    }
}

TEST(DbCommands, CheckAndExportTellWhereADamagedFileBreaksOff) {
    // Two whole pairs take 33 bytes; what follows is a broken third entry.
    const Bytes whole = encode_pair_file({{"Rock", "Stein"}, {"Tree", "Baum"}});
    ASSERT_EQ(whole.size(), 33U);
    struct Case {
        const char* name;
        Bytes tail;
    };
    Bytes count_past_end;
    append_counted_text(count_past_end, "Moss");
    append_counted_text(count_past_end, "Moos");
    count_past_end.pop_back();
    const std::vector<Case> cases = {
        {"inside a count", {std::byte{1}, std::byte{0}}},
        {"count past the end", count_past_end},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes file = whole;
        file.insert(file.end(), c.tail.begin(), c.tail.end());
        const std::string size = std::to_string(file.size());
        test::MemoryFiles files;
        files.put("db/Damaged.dat", file);

        const auto check = run_tool(files, {"db", "check", "db/Damaged.dat"});
        EXPECT_EQ(check.status, kExitRefused);
        EXPECT_TRUE(check.out.starts_with(utf8(u8"Einträge: 2\n")));
        EXPECT_TRUE(check.out.ends_with(
            "Die Datei (" + size +
            utf8(u8" Bytes) endet mitten in einem Eintrag: der Eintrag ab Byte 33 ist "
                 u8"unvollständig.\n")));

        const auto exported = run_tool(files, {"db", "export", "db/Damaged.dat"});
        EXPECT_EQ(exported.status, kExitRefused);
        EXPECT_EQ(exported.out, "Rock\tStein\nTree\tBaum\n");
        EXPECT_EQ(exported.err,
                  utf8(u8"„db/Damaged.dat“ endet mitten in einem Eintrag: der Eintrag ab Byte "
                       u8"33 ist unvollständig. Ausgegeben wurden die 2 ganzen Einträge davor.\n"));
    }
}

TEST(DbCommands, RefusesUsageErrorsWithGermanMessageAndNoOutput) {
    const std::vector<Arguments> cases = {
        {"db"},
        {"db", "frobnicate", "a.dat"},
        {"db", "export"},
        {"db", "export", "a.dat", "b.dat"},
        {"db", "export", "a.dat", "--pairs"},
        {"db", "export", "a.dat", "--triples", "--triples"},
        {"db", "check", "a.dat", "-o", "b.dat"},
        {"db", "import", "a.txt"},
        {"db", "import", "a.txt", "-o"},
        {"db", "import", "a.txt", "-o", "b.dat", "-o", "c.dat"},
        {"db", "export", "missing.dat"},
        {"db", "check", "missing.dat"},
        {"db", "import", "missing.txt", "-o", "b.dat"},
    };
    for (const auto& arguments : cases) {
        SCOPED_TRACE(testing::PrintToString(arguments));
        test::MemoryFiles files;
        files.put("a.dat", encode_pair_file({{"Rock", "Stein"}}));
        files.put_text("a.txt", "Rock\tStein\n");
        const auto result = run_tool(files, arguments);
        EXPECT_EQ(result.status, kExitRefused);
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err, "");
        EXPECT_EQ(files.paths().size(), 2U);
    }
}

} // namespace
} // namespace orv::cli
