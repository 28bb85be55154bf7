// Result scripts name cells and topics as the game finds them: ASCII letters match without
// regard to case, every other byte must be equal, and the first entry of a name wins.
#include <gtest/gtest.h>

#include <string>

#include "save/CellReferencePass.h"

namespace orv {
namespace {

using namespace std::string_literals;

TEST(ScriptNameLookup, MatchesAsciiLettersOfAnyCaseAndTheFirstEntryWins) {
    std::vector<PairEntry> entries = {
        {"Fort Moonmoth", "Mondmotten-Fort"},
        {"FORT MOONMOTH", "second, never found"},
        {"\xC4lteres Haus", "Altes Haus"},
        {"a", "eins"},
        {"Zuz Hall", "Zuz-Halle"},
        {"", "leer"},
        {"Long Name Over Eight Bytes, Mixed", "Langer Name"},
    };
    // Enough entries that lookups probe past taken slots.
    for (int i = 0; i < 40; ++i) {
        entries.push_back({"Cell " + std::to_string(i), "Zelle " + std::to_string(i)});
    }
    const NameIndex references(PairFile{entries}, NameIndex::Keys::OriginalsOnly);
    const ScriptNameLookup lookup(references);
    const struct {
        std::string name;
        std::optional<Text> found;
    } cases[] = {
        {"fort moonmoth", "Mondmotten-Fort"},
        {"Fort Moonmoth ", std::nullopt},
        // Which bytes count as letters is the comparison's rule (ResultScript); the hash must
        // agree with it beyond ASCII too.
        {"\xC4LTERES HAUS", "Altes Haus"},
        {"A", "eins"},
        {"zUZ hALL", "Zuz-Halle"},
        {"", "leer"},
        {"long name over eight bytes, mixed", "Langer Name"},
        {"LONG NAME OVER EIGHT BYTES, MIXEX", std::nullopt},
        {"cell 0", "Zelle 0"},
        {"CELL 39", "Zelle 39"},
        {"Cell 40", std::nullopt},
        {"Zelle 1", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(lookup.translation(c.name), c.found);
    }
    EXPECT_EQ(ScriptNameLookup(NameIndex{}).translation("a"), std::nullopt);
}

} // namespace
} // namespace orv
