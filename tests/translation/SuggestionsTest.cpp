#include "translation/Suggestions.h"

#include <gtest/gtest.h>

#include "MemoryFiles.h"
#include "plugin/RecordTypes.h"
#include "translation/TranslationMemory.h"

namespace orv {
namespace {

using Lines = std::vector<std::string>;
constexpr int kMisc = 16;
constexpr int kWeapon = 19;

// "DV Name S=": each suggestion, S the first letter of its source, "=" exact or "~" close.
Lines shown(const std::vector<Suggestion>& suggestions) {
    Lines lines;
    for (const auto& s : suggestions) {
        lines.push_back(to_utf8(s.dv_name) + " " + to_utf8(s.source).substr(0, 1) +
                        (s.kind == SuggestionKind::Exact ? "=" : "~"));
    }
    return lines;
}

TEST(Suggestions, ExactFromMemoryThenFilesThenClosestByWordsAndEdits) {
    // clang-format off
    const std::vector<MemoryEntry> memory = {{kMisc, "Iron Sword", "Eisenschwert (Deko)", ""},
        {kWeapon, "Iron Sword", "Eisenschwert", ""}, {kCellType, "Iron Dagger", "Dolchstadt", ""}};
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
    EXPECT_EQ(edit_distance("ab", "ba"), 1u);
    EXPECT_EQ(edit_distance("", "abc"), 3u);
    EXPECT_EQ(edit_distance("kitten", "sitting"), 3u);
    const SuggestionIndex index({},
                                {NamedPairFile{"Extradata.dat", {{{"1235", "X"}, {"Abce", "Y"}}}}});
    EXPECT_EQ(shown(index.suggest("1234")), Lines{});
    EXPECT_EQ(shown(index.suggest("Abcd")), Lines{"Y E~"});
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

} // namespace
} // namespace orv
