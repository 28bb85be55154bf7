#include <gtest/gtest.h>

#include <sstream>

#include "MemoryFiles.h"
#include "cli/Cli.h"
#include "translation/DatabaseFile.h"

namespace orv::cli {
namespace {

using Arguments = std::vector<std::string>;
using test::FileOperation;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome run_tool(test::MemoryFiles& files, const Arguments& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = run(arguments, "prog", files, out, err);
    return {status, out.str(), err.str()};
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
        EXPECT_EQ(imported.out + imported.err, "");
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
                   u8"  Eintrag 7: „“\n") +
                  whole);

    const auto triples = run_tool(files, {"db", "check", "Triples.dat", "--triples"});
    EXPECT_EQ(triples.status, kExitOk);
    EXPECT_EQ(triples.out,
              utf8(u8"Einträge: 4\n"
                   u8"Mehrfach vorkommende IDs (erster Text): 1 (verwendet wird nur der erste "
                   u8"Eintrag)\n"
                   u8"  „id1“: 2-mal, Einträge 1, 4\n"
                   u8"Einträge mit Übersetzung (dritter Text) gleich Original (zweiter Text): 1\n"
                   u8"  Eintrag 1: „id1“\n") +
                  whole);
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
