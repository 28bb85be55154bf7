#include <gtest/gtest.h>

#include "MemoryFiles.h"
#include "translation/DatabaseFile.h"
#include "translation/TranslationDatabase.h"

namespace orv {
namespace {

TEST(PairFilter, KeepsTheAcceptedEntriesInFileOrderAndFindsDamageAsBefore) {
    const std::vector<PairEntry> entries = {
        {"Crate", "Kiste"}, {"Torch", "Fackel"}, {"Kiste", "Truhe"}, {"Crate", "Box"}};
    Bytes bytes = encode_pair_file(entries);
    const auto keep_crates = [](TextView original, TextView translation) {
        return original == "Crate" || translation == "Kiste";
    };
    const auto filtered = parse_pair_file(bytes, keep_crates);
    EXPECT_EQ(filtered.entries, (std::vector<PairEntry>{entries[0], entries[3]}));
    EXPECT_FALSE(filtered.damaged);

    // A broken last entry is reported at its offset whether or not entries were dropped.
    const std::size_t last_entry = bytes.size();
    bytes.insert(bytes.end(), {std::byte{9}, std::byte{0}, std::byte{0}, std::byte{0}});
    bytes.push_back(std::byte{'x'});
    const auto damaged = parse_pair_file(bytes, keep_crates);
    EXPECT_TRUE(damaged.damaged);
    EXPECT_EQ(damaged.damaged_at, last_entry);
    EXPECT_EQ(damaged.entries.size(), 2u);
}

TEST(PairFilter, LimitedDatabaseFindsTheSameEntriesForItsKeys) {
    test::MemoryFiles files;
    const std::vector<PairEntry> names = {{"Lever", "Hebel"},
                                          {"Torch", "Fackel"},
                                          {"Hebel", "Schalter"},
                                          {"Barrel", "Fass"},
                                          {"Lever", "Griff"}};
    files.put("prog/data/Actidata.dat", encode_pair_file(names));
    files.put("prog/data/Armodata.dat", encode_pair_file(names));
    files.put("prog/dataextra/Extradata.dat",
              encode_pair_file({{"FFFF", "FFFF"}, {"Fass", "Tonne"}, {"Helm", "Kappe"}}));

    TranslationDatabase whole(files, "prog");
    TranslationDatabase limited(files, "prog");
    // A file read before the limit stays whole.
    ASSERT_EQ(limited.data_pairs("Armodata.dat").size(), names.size());
    limited.limit_pairs_to(TextSet{"Hebel", "Fass", "Unknown"});

    const auto& acti = limited.data_pairs("Actidata.dat");
    EXPECT_EQ(acti.file().entries, (std::vector<PairEntry>{names[0], names[2], names[3]}));
    EXPECT_EQ(limited.external().file().entries, (std::vector<PairEntry>{{"Fass", "Tonne"}}));
    for (const TextView key : {"Hebel", "Fass", "Unknown"}) {
        SCOPED_TRACE(key);
        const auto full_match = whole.data_pairs("Actidata.dat").first_match(key);
        const auto limited_match = acti.first_match(key);
        ASSERT_EQ(full_match.has_value(), limited_match.has_value());
        if (full_match) {
            EXPECT_EQ(acti.entry(*limited_match),
                      whole.data_pairs("Actidata.dat").entry(*full_match));
        }
    }
    EXPECT_EQ(limited.data_pairs("Armodata.dat").size(), names.size());
}

} // namespace
} // namespace orv
