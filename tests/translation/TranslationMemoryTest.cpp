#include "translation/TranslationMemory.h"
#include "translation/Suggestions.h"
#include "translation/TextConventions.h"
#include "translation/TextSuggestions.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string_view>

#include "MemoryFiles.h"
#include "fixtures/PluginBuilder.h"
#include "plugin/RecordTypes.h"

namespace orv {
namespace {

using Views = std::vector<std::string_view>;

TEST(TextConventions, FieldsEscapeAndUnescape) {
    // Fields as a text file holds them and the Windows-1252 texts they stand for.
    const std::vector<std::pair<std::string, Text>> accepted = {
        {"a\\\\b\\tc\\rd\\ne", "a\\b\tc\rd\ne"},
        {"\\r\\n", "\r\n"},
        {"", ""},
        {"\xC3\xA4\xE2\x82\xAC", "\xE4\x80"},
        {"\\\\t", "\\t"},
        {"\\\\\\t", "\\\t"},
        {"a\x01\xC3\x84"
         "b\\tc\xE2\x80\x9E"
         "d",
         "a\x01\xC4"
         "b\tc\x84"
         "d"}};
    for (const auto& [field, text] : accepted) {
        SCOPED_TRACE(field);
        EXPECT_EQ(unescape_field(field), text);
        EXPECT_EQ(escape_field(text), field);
    }
    // A field ends where its view ends, whatever byte follows it.
    EXPECT_EQ(escape_field(TextView("x\ty").substr(0, 1)), "x");
    // Refused fields and why: a backslash last or before anything but \ t r n; text that
    // Windows-1252 cannot hold (a truncated sequence, U+0100, a byte order mark) and raw
    // layout characters, of which only a CR can be left inside a line.
    const std::vector<std::pair<std::u8string, std::vector<std::string>>> refused = {
        {u8"Ungültiges Fluchtzeichen: auf \\ folgt nur \\, t, r oder n.",
         {"\\", "abc\\", "\\\\\\", "\\T", "\\0", "a\\\"", "\\\xC3\xA4"}},
        {u8"Ein Zeichen, das Windows-1252 nicht darstellen kann, oder kein gültiges UTF-8.",
         {"\xC3", "\\t\xC4\x80", "raw\ttab", "raw\nfeed", "\xEF\xBB\xBFz"}},
        {u8"Wagenrücklauf (CR) im Text. Ein CR gehört nur direkt vor dem LF (oder am Dateiende) "
         u8"zum Zeilenende; ein CR im Text wird \\r geschrieben.",
         {"b\r", "a\rb"}}};
    for (const auto& [problem, fields] : refused) {
        for (const auto& field : fields) {
            SCOPED_TRACE(testing::PrintToString(field));
            EXPECT_EQ(unescape_field(field), std::nullopt);
            EXPECT_EQ(field_problem(field), cp1252(problem));
        }
    }
}

// Lines end at LF; a CR directly before it or last in the file belongs to the line end, and a
// byte order mark at the very start is skipped, so files saved on Windows read the same. Any
// other CR stays in its line, where the field refuses it.
TEST(TextConventions, SplitsLinesAtLineFeedsAndFieldsAtTabs) {
    const std::vector<std::pair<std::string_view, Views>> files = {
        {"", {}},
        {"\n", {""}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\n\nb\n\n", {"a", "", "b", ""}},
        {"a\tb\r\nc\r", {"a\tb", "c"}},
        {"\xEF\xBB\xBFz\r\n\r\nb\nc\r\n", {"z", "", "b", "c"}},
        {"\xEF\xBB\xBF", {}},
        {"\r", {""}},
        {"a\r\r\nb\rc\n\xEF\xBB\xBF\n", {"a\r", "b\rc", "\xEF\xBB\xBF"}},
    };
    for (const auto& [contents, lines] : files) {
        SCOPED_TRACE(testing::PrintToString(contents));
        EXPECT_EQ(split_lines(contents), lines);
    }
    EXPECT_EQ(split_fields(""), (Views{""}));
    EXPECT_EQ(split_fields("a\t\tb\t"), (Views{"a", "", "b", ""}));
    EXPECT_EQ(split_fields("a\\tb\r"), (Views{"a\\tb\r"}));
}

using Entries = std::vector<MemoryEntry>;
constexpr int kMisc = 16;
const std::filesystem::path kPath = "prog/dataextra/Memory.tsv";
const MemoryEntry kOre = {kMisc, "Ore", "Erz", "2024-02-01", ""};

// Lines of an older version have four fields; learned lines carry the German file they came
// from, and text kinds have labels of their own: both read back as written.
TEST(TranslationMemory, GrowsAndALaterTranslationReplacesTheEarlierLine) {
    // clang-format off
    const Entries old = {{kMisc, "Rock", "Stein", "2019-09-29", ""}, {kCellType, "Rock", "Fels", "2024-01-01", ""},
                         {kJournalMemory, "Met him.", "Getroffen.", "2024-01-02", "de.esp"}};
    const MemoryEntry rock = {kMisc, "Rock", "Felsbrocken", "2024-02-01", ""};
    const std::vector<std::tuple<Entries, bool, Entries>> cases = {
        {{kOre}, true, {old[0], old[1], old[2], kOre}},
        {{rock}, true, {old[1], old[2], rock}},                  // replaced, moved to the end
        {{{kMisc, "Rock", "Stein", "2024-02-01", ""}}, false, old},  // same name, later date
        {{{kMisc, "Ore", "Eisenerz", "", ""}, kOre}, true, {old[0], old[1], old[2], kOre}},  // last wins
    };
    // clang-format on
    for (const auto& [added, changed, expected] : cases) {
        SCOPED_TRACE(to_utf8(added.back().dv_name));
        Entries memory = old;
        EXPECT_EQ(merge_into_memory(memory, added), changed);
        EXPECT_EQ(memory, expected);
        test::MemoryFiles files;
        files.put(kPath, encode_memory(old));
        ASSERT_TRUE(add_to_memory(files, kPath, added).ok());
        EXPECT_EQ(files.get(kPath), encode_memory(expected));
    }
}

TEST(TranslationMemory, ADamagedLineIsNamedWithItsProblem) {
    // clang-format off
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Misc Item\tRock\tStein\n", "Zeile 1: Erwartet werden vier Felder"},
        {"Misc Item\tRock\tStein\t2024-01-01\tde.esp\tzu viel\n", "Zeile 1: Erwartet werden vier Felder"},
        {"Book text\tA\tB\t2024-01-01\nBook texts\tA\tB\t2024-01-01\n", "Zeile 2: Unbekannte Liste „Book texts“."},
        {"Cell\tA\tB\t2024-01-01\nMisc\tA\tB\t2024-01-01\n", "Zeile 2: Unbekannte Liste „Misc“."},
        {"Cell\tA\\x\tB\t2024-01-01\n", "Zeile 1: Ungültiges Fluchtzeichen"},
        {"Cell\tA\tB\t2024-01-011\n", "Zeile 1: Das Datum „2024-01-011“ ist nicht"},
        {"Cell\tA\tB\t2024/01-01\n", "Zeile 1: Das Datum"},
        {"Cell\tA\tB\t2024-01-0x\n", "Zeile 1: Das Datum"},
    };
    // clang-format on
    for (const auto& [contents, message] : cases) {
        SCOPED_TRACE(contents);
        const auto parsed = parse_memory(fixtures::bytes_of(contents));
        ASSERT_FALSE(parsed.ok());
        EXPECT_TRUE(to_utf8(parsed.error().message).starts_with(message))
            << to_utf8(parsed.error().message);
    }
}

TEST(TranslationMemory, AFileThatCannotBeReadOrWrittenStaysAsItWas) {
    // clang-format off
    const std::string name = "Das Übersetzungsgedächtnis „prog/dataextra/Memory.tsv“ ";
    const std::string kept = "\rEs bleibt unverändert; die Namen dieses Speicherns wurden nicht aufgenommen.";
    const std::vector<std::tuple<std::string, test::FileOperation, std::string>> cases = {
        {"kaputt\n", test::FileOperation::Rename, name + "ist beschädigt (Zeile 1: Erwartet werden vier Felder: LISTE, EV Name, DV Name und Datum, dahinter höchstens die Quelle.)." + kept},
        {"Cell\tA\tB\t2024-01-01\n", test::FileOperation::Read, name + "konnte nicht gelesen werden." + kept},
        {"Cell\tA\tB\t2024-01-01\n", test::FileOperation::Rename, "\rDie Namen dieses Speicherns wurden nicht ins Übersetzungsgedächtnis aufgenommen; es bleibt, wie es war."},
    };
    // clang-format on
    for (const auto& [contents, failing, message] : cases) {
        SCOPED_TRACE(message);
        test::MemoryFiles files;
        files.put_text(kPath, contents);
        files.fail_operation(1, failing);
        const auto added = add_to_memory(files, kPath, {kOre});
        ASSERT_FALSE(added.ok());
        EXPECT_TRUE(to_utf8(added.error().message).ends_with(message))
            << to_utf8(added.error().message);
        EXPECT_EQ(files.get(kPath), fixtures::bytes_of(contents));
    }
}

TEST(TranslationMemory, TodayIsTheLocalDate) {
    const std::time_t now = std::time(nullptr);
    char date[16];
    std::strftime(date, sizeof date, "%Y-%m-%d", std::localtime(&now));
    EXPECT_EQ(today_date(), date);
}

using Lines = std::vector<std::string>;
using Pairs = std::vector<std::pair<Text, Text>>;
constexpr int kWeapon = 19;

// "DV Name S=": each suggestion, S the first letter of its source, "=" exact or "~" close,
// and for a text its similarity.
Lines shown(const std::vector<Suggestion>& suggestions, bool similarity = false) {
    Lines lines;
    for (const auto& s : suggestions) {
        lines.push_back(to_utf8(s.dv_name) + " " + to_utf8(s.source).substr(0, 1) +
                        (s.kind == SuggestionKind::Exact ? "=" : "~") +
                        (similarity ? std::to_string(s.similarity) : ""));
    }
    return lines;
}

TEST(Suggestions, ExactFromMemoryThenFilesThenClosestByWordsAndEdits) {
    // clang-format off
    const std::vector<MemoryEntry> memory = {{kMisc, "Iron Sword", "Eisenschwert (Deko)", "", ""},
        {kWeapon, "Iron Sword", "Eisenschwert", "", ""}, {kCellType, "Iron Dagger", "Dolchstadt", "", ""}};
    const std::vector<NamedPairFile> files = {
        {"Extradata.dat", {{{"FFFF", "FFFF"}, {"Iron Sword", "Eisernes Schwert"}}}},
        {"Weapdata.dat", {{{"Iron Sword", "Eisenschwert"}, {"Steel Sword", "Stahlschwert"},
                           {"Iron Swrod", "Tippfehlerschwert"}, {"Iron Dagger", "Eisendolch"},
                           {"Sword", "Schwert"}, {"Bow", "Bogen"}, {"Lngswrd", "Langschwert"},
                           {"Copier", "Kopierer"}}}},
        {"Miscdata.dat", {{{"Iron Sword", "Deko-Schwert"}}}},
    };
    const std::vector<std::tuple<Text, std::optional<int>, Lines>> cases = {
        {"Iron Sword", kWeapon, {"Eisenschwert G=", "Eisernes Schwert E=", "Tippfehlerschwert W~", "Stahlschwert W~", "Schwert W~"}},
        {"Iron Sword", {}, {"Eisenschwert (Deko) G=", "Eisenschwert G=", "Eisernes Schwert E=", "Deko-Schwert M=", "Tippfehlerschwert W~"}},
        {"IRON DAGER", kWeapon, {"Eisendolch W~", "Eisenschwert G~", "Eisernes Schwert E~", "Tippfehlerschwert W~"}},
        {"Iron Dagger", kMisc, {"Eisenschwert (Deko) G~", "Eisernes Schwert E~", "Deko-Schwert M~"}},
        {"Longsword Rapier", kWeapon, {"Langschwert W~"}}, // 2 edits: 7 letters or more only
        {"Bwo", kWeapon, {}},                               // 3 letters must be equal
        {"Copir", kWeapon, {"Kopierer W~"}},                // the index's word is a letter longer
        {"FFFF", {}, {}},                                   // a name kept as it is
    };
    // clang-format on
    const SuggestionIndex index(memory, files);
    for (const auto& [ev_name, list, expected] : cases) {
        SCOPED_TRACE(ev_name);
        EXPECT_EQ(shown(index.suggest(ev_name, list)), expected);
    }
}

TEST(Suggestions, CommonWordsLeadOnlyWhenNoRareWordDoes) {
    // "Red" on exactly kCommonWordEntries entries, "Flask" on one more, "Potion" on all.
    const std::size_t common = SuggestionIndex::kCommonWordEntries;
    NamedPairFile file{"Extradata.dat", {{{"Blue Vial", "Blaue Phiole"}}}};
    for (std::size_t i = 0; i < 2 * common + 2; ++i) {
        const std::string prefix = i < common ? "Red " : i > common ? "Flask " : "";
        file.file.entries.push_back(
            {prefix + "Potion " + std::to_string(i), "T" + std::to_string(i)});
    }
    const SuggestionIndex index({}, {file});
    // clang-format off
    EXPECT_EQ(shown(index.suggest("Flask Potion")), (Lines{"T2001 E~", "T2002 E~", "T2003 E~", "T2004 E~", "T2005 E~"}));
    EXPECT_EQ(shown(index.suggest("Red Vial")), (Lines{"Blaue Phiole E~", "T0 E~", "T1 E~", "T2 E~", "T3 E~"}));
    EXPECT_EQ(shown(index.suggest("Blue Potion")), Lines{"Blaue Phiole E~"});
    // clang-format on
}

TEST(Suggestions, EditDistanceCountsANeighbourSwapAsOneAndNumbersMustBeEqual) {
    // Insertions alone, and replacements alone, must each be counted once per letter.
    const std::vector<std::tuple<Text, Text, std::size_t>> cases = {
        {"ab", "ba", 1},
        {"", "abc", 3},
        {"kitten", "sitting", 3},
        {"ab", "abcd", 2},
        {"abc", "xyz", 3},
        {"abcdef", "a", 5},
        // Longer than any name: the table no longer fits its room on the stack.
        {"", Text(71, 'x'), 71},
        {"a", Text(72, 'x'), 72},
        {Text(90, 'x'), Text(100, 'y'), 100}};
    for (const auto& [a, b, distance] : cases) {
        EXPECT_EQ(edit_distance(a, b), distance) << a << " " << b;
    }
    const NamedPairFile file{
        "Extradata.dat",
        {{{"1235", "X"}, {"Abce", "Y"}, {"Ring 9998 of the Old Kings", "A"}, {"Ring", "B"}}}};
    const SuggestionIndex index({}, {file});
    EXPECT_EQ(shown(index.suggest("1234")), Lines{});
    EXPECT_EQ(shown(index.suggest("Abcd")), Lines{"Y E~"});
    // "9998" is no word shared with "9999", so the closer name leads.
    EXPECT_EQ(shown(index.suggest("Ring 9999")), (Lines{"B E~", "A E~"}));
}

// The memory and every name file the lookup reads; a damaged memory is reported and adds
// nothing, the files still count (the path grid list reads the region names second).
TEST(Suggestions, LoadsTheFilesAndReportsADamagedMemory) {
    test::MemoryFiles files;
    files.put_text("prog/dataextra/Memory.tsv", "kaputt\n");
    files.put("prog/data/Regndata.dat", encode_pair_file({{"Bow", "Bogenland"}}));
    const auto loaded = load_suggestions(files, "prog");
    ASSERT_TRUE(loaded.problem);
    EXPECT_EQ(loaded.problem->message, read_memory(files, memory_path("prog")).error().message);
    EXPECT_EQ(shown(loaded.index.suggest("Bow", kPathGridType)), Lines{"Bogenland R="});
}

TEST(TextSuggestions, ExactFirstThenByTheShareOfWordsThenMemoryBeforeTheDatabase) {
    TextSuggestionIndex index;
    index.add_source("Memory", Pairs{{"The gate is shut.", "Das Tor ist zu."},
                                     {"The gate is shut now.", "Jetzt ist das Tor zu."},
                                     {"Kept as it is", "Kept as it is"},
                                     {"The gate is open.", "Offen."}});
    index.add_source("Database", Pairs{{"The gate is shut.", "Das Tor bleibt zu."},
                                       {"The gate is shut.", "Das Tor ist zu."},
                                       {"the GATE is Shut!", "Zu!"},
                                       {"The gate is open.", "Offen."}});
    // clang-format off
    const std::vector<std::pair<std::string, Lines>> cases = {
        // Exact matches byte for byte, memory first, each translation once; close ones by
        // their share of distinct words (case folded), the same share keeping precedence.
        {"The gate is shut.", {"Das Tor ist zu. M=100", "Das Tor bleibt zu. D=100",
                               "Zu! D~100", "Jetzt ist das Tor zu. M~88", "Offen. M~75"}},
        // Five at most; a text sharing too little suggests nothing.
        {"A gate", {}},
        {"Gate is shut", {"Das Tor ist zu. M~85", "Das Tor bleibt zu. D~85", "Zu! D~85",
                          "Jetzt ist das Tor zu. M~75", "Offen. M~57"}},
        // An entry kept as it is suggests nothing, not even for its own text.
        {"Kept as it is", {}},
    };
    // clang-format on
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(shown(index.suggest(text), true), expected) << text;
    }
}

TEST(TextSuggestions, CommonWordsLeadToNoCandidatesAndTheRareOnesPickTheMeasured) {
    Pairs common;
    for (std::size_t i = 0; i <= TextSuggestionIndex::kCommonWordEntries; ++i) {
        common.emplace_back("you w" + std::to_string(i), "du " + std::to_string(i));
    }
    // With more candidates than are measured, those sharing the most rare words are
    // measured, and among equals the earlier entries: the best match (the last entry of
    // all) comes first, then the first of the ties.
    for (std::size_t i = 0; i < 2 * TextSuggestionIndex::kMeasuredCandidates; ++i) {
        common.emplace_back("alpha beta a" + std::to_string(i), "eins " + std::to_string(i));
    }
    common.emplace_back("alpha beta gamma delta", "Treffer");
    TextSuggestionIndex index;
    index.add_source("Database", common);
    // Shares "you" with every entry, which is too common to find any.
    EXPECT_EQ(shown(index.suggest("you w"), true), Lines{});
    EXPECT_EQ(shown(index.suggest("you w7"), true), Lines{"du 7 D=100"});
    EXPECT_EQ(shown(index.suggest("alpha beta gamma"), true),
              (Lines{"Treffer D~85", "eins 0 D~66", "eins 1 D~66", "eins 2 D~66", "eins 3 D~66"}));
}

// The window's tests check how a match is worded ("exakt", "ähnlich 91 %").
TEST(Suggestions, NameSimilarityIsTheShareOfLettersKept) {
    // Case does not count; one letter of fifteen does.
    EXPECT_EQ(name_similarity("Barrier Marker", "BARRIER MARKER"), 100);
    EXPECT_EQ(name_similarity("Barrier Marker", "Barrier Markers"), 93);
    EXPECT_EQ(name_similarity("", ""), 100);
    EXPECT_EQ(name_similarity("abc", "xyz"), 0);
}

} // namespace
} // namespace orv
