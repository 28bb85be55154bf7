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
                          "Namen eingesetzt: 4\nGame Settings \xC3\xBC"
                          "bersetzt: 1\nZellenverweise \xC3\xBC"
                          "bersetzt: 3\n");
    // Both "rock" rows take the name; the region's new name reaches the reference through
    // the rebuilt external database although that is not written.
    EXPECT_EQ(m_files.get(kOut),
              fixtures::plugin(records("Foostadt", cp1252(u8"Alte Mühle"), cp1252(u8"Nebelküste"),
                                       "Stein", "Stein", "Eisenschwert", "Ja")));
    EXPECT_EQ(m_files.get(kExternal), external);
    EXPECT_EQ(m_files.paths().size(), 6U);

    // The plugin itself may be the target.
    EXPECT_EQ(run_tool(m_files, {"translate", kPlugin, "-o", kPlugin, "--edits", kEdits}).status,
              kExitOk);
    EXPECT_EQ(m_files.get(kPlugin), m_files.get(kOut));
    EXPECT_EQ(m_files.paths().size(), 6U);
}

TEST_F(TranslateCommand, UsesTheGivenProgramFolder) {
    const auto external = m_files.get(kExternal);
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
        EXPECT_NE(result.out.find("Namen eingesetzt: 0\n"), std::string::npos);
        EXPECT_EQ(m_files.get(kOut), expected);
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
        {"Misc Item\trock\tStein \xE4\xB8\x80\n", "Zeile 1: Ung\xC3\xBCltiger Text"},
        {"Misc Item\trock\tSt\\ein\n", "Zeile 1: Ung\xC3\xBCltiger Text"},
        {"Misc Item\trock\tStein\\\n", "Zeile 1: Ung\xC3\xBCltiger Text"},
        {"\xEF\xBB\xBFMisc Item\trock\tStein\n", "Zeile 1: Ung\xC3\xBCltiger Text"},
        // CR LF line ends would leave a raw CR inside the name.
        {"Misc Item\trock\tStein\r\nCell\tFoo Town\tX\r\n", "Zeile 1: Ung\xC3\xBCltiger Text"},
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
            const auto result = run_tool(m_files, arguments);
            EXPECT_EQ(result.status, kExitWriteFailed);
            EXPECT_EQ(result.out, "");
            EXPECT_FALSE(result.err.empty());
            // Old bytes everywhere and no temporary file left.
            EXPECT_EQ(snapshot(m_files), before);
        }
    }
}

} // namespace
} // namespace orv::cli
