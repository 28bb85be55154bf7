#include "translation/Suggestions.h"

#include <gtest/gtest.h>

#include "MemoryFiles.h"
#include "plugin/RecordTypes.h"

namespace orv {

// Readable failures.
void PrintTo(const Suggestion& s, std::ostream* out) {
    *out << to_utf8(s.dv_name) << " / " << to_utf8(s.source) << " / "
         << (s.kind == SuggestionKind::Exact ? "exact" : "close");
}

namespace {

constexpr int kMisc = 16;
constexpr int kWeapon = 19;
constexpr auto kExact = SuggestionKind::Exact;
constexpr auto kClose = SuggestionKind::Close;

const std::vector<MemoryEntry> kMemory = {
    {kMisc, "Iron Sword", "Eisenschwert (Deko)", "2024-01-01"},
    {kWeapon, "Iron Sword", "Eisenschwert", "2024-01-01"},
};

std::vector<NamedPairFile> database() {
    return {
        {"Extradata.dat", {{{"FFFF", "FFFF"}, {"Iron Sword", "Eisernes Schwert"}}}},
        {"Weapdata.dat",
         {{{"Iron Sword", "Eisenschwert"},
           {"Steel Sword", "Stahlschwert"},
           {"Iron Swrod", "Tippfehlerschwert"},
           {"Iron Dagger", "Eisendolch"},
           {"Sword", "Schwert"},
           {"Bow", "Bogen"},
           {"Long Bow", "Long Bow"}}}},
        {"Miscdata.dat", {{{"Iron Sword", "Deko-Schwert"}}}},
    };
}

TEST(Suggestions, ExactFromMemoryThenFilesThenClosestByWordsAndEdits) {
    const Text memory = memory_source_name();
    struct Case {
        const char* name;
        Text ev_name;
        std::optional<int> list;
        std::vector<Suggestion> expected;
    };
    const std::vector<Case> cases = {
        {"one list: memory and its files only, each DV Name once",
         "Iron Sword",
         kWeapon,
         {{"Eisenschwert", memory, kExact},
          {"Eisernes Schwert", "Extradata.dat", kExact},
          {"Tippfehlerschwert", "Weapdata.dat", kClose},
          // Both five edits away: the earlier entry first.
          {"Stahlschwert", "Weapdata.dat", kClose},
          {"Schwert", "Weapdata.dat", kClose}}},
        {"every list, cut at five",
         "Iron Sword",
         std::nullopt,
         {{"Eisenschwert (Deko)", memory, kExact},
          {"Eisenschwert", memory, kExact},
          {"Eisernes Schwert", "Extradata.dat", kExact},
          {"Deko-Schwert", "Miscdata.dat", kExact},
          {"Tippfehlerschwert", "Weapdata.dat", kClose}}},
        {"letter case and a swap make close matches, two shared words first",
         "IRON DAGER",
         kWeapon,
         {{"Eisendolch", "Weapdata.dat", kClose},
          {"Eisenschwert", memory, kClose},
          {"Eisernes Schwert", "Extradata.dat", kClose},
          {"Tippfehlerschwert", "Weapdata.dat", kClose}}},
        {"short words must be equal", "Bwo", kWeapon, {}},
        {"a name kept as it is suggests nothing",
         "Long Bow",
         kWeapon,
         {{"Bogen", "Weapdata.dat", kClose}}},
        {"the sentinel pair suggests nothing", "FFFF", std::nullopt, {}},
        {"no list serves the name",
         "Iron Dagger",
         kMisc,
         {{"Eisenschwert (Deko)", memory, kClose},
          {"Eisernes Schwert", "Extradata.dat", kClose},
          {"Deko-Schwert", "Miscdata.dat", kClose}}},
    };
    const SuggestionIndex index(kMemory, database());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(index.suggest(c.ev_name, c.list), c.expected);
    }
}

TEST(Suggestions, EditDistanceCountsANeighbourSwapAsOne) {
    const std::vector<std::tuple<Text, Text, std::size_t>> cases = {
        {"sword", "swrod", 1}, {"sword", "sword", 0}, {"", "abc", 3},
        {"iron", "steel", 5},  {"ab", "ba", 1},       {"kitten", "sitting", 3},
    };
    for (const auto& [a, b, distance] : cases) {
        EXPECT_EQ(edit_distance(a, b), distance) << a << " / " << b;
    }
}

TEST(Suggestions, LoadsTheMemoryAndEveryNameFileAndReportsADamagedMemory) {
    test::MemoryFiles files;
    files.put_text("prog/dataextra/Memory.tsv", "Weapon\tBow\tMemory-Bogen\t2024-01-01\n");
    files.put("prog/data/Weapdata.dat", encode_pair_file({{"Bow", "Bogen"}}));
    files.put("prog/data/Regndata.dat", encode_pair_file({{"Bow", "Bogenland"}}));
    auto loaded = load_suggestions(files, "prog");
    EXPECT_FALSE(loaded.problem);
    EXPECT_EQ(loaded.index.suggest("Bow"),
              (std::vector<Suggestion>{{"Memory-Bogen", memory_source_name(), kExact},
                                       {"Bogenland", "Regndata.dat", kExact},
                                       {"Bogen", "Weapdata.dat", kExact}}));

    files.put_text("prog/dataextra/Memory.tsv", "kaputt\n");
    loaded = load_suggestions(files, "prog");
    ASSERT_TRUE(loaded.problem);
    EXPECT_NE(to_utf8(loaded.problem->message).find("beschädigt"), std::string::npos);
    EXPECT_EQ(loaded.index.suggest("Bow").size(), 2u);
}

} // namespace
} // namespace orv
