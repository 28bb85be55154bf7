#include "translation/TranslationMemory.h"

#include <gtest/gtest.h>

#include <ctime>

#include "MemoryFiles.h"
#include "fixtures/PluginBuilder.h"
#include "plugin/RecordTypes.h"

namespace orv {
namespace {

using Entries = std::vector<MemoryEntry>;
constexpr int kMisc = 16;
const std::filesystem::path kPath = "prog/dataextra/Memory.tsv";
const MemoryEntry kOre = {kMisc, "Ore", "Erz", "2024-02-01"};

TEST(TranslationMemory, GrowsAndALaterTranslationReplacesTheEarlierLine) {
    // clang-format off
    const Entries old = {{kMisc, "Rock", "Stein", "2019-09-29"}, {kCellType, "Rock", "Fels", "2024-01-01"},
                         {kMisc, "Key", "Schl\xFCssel", "2024-01-02"}};
    const MemoryEntry rock = {kMisc, "Rock", "Felsbrocken", "2024-02-01"};
    const std::vector<std::tuple<Entries, bool, Entries>> cases = {
        {{kOre}, true, {old[0], old[1], old[2], kOre}},
        {{rock}, true, {old[1], old[2], rock}},                  // replaced, moved to the end
        {{{kMisc, "Rock", "Stein", "2024-02-01"}}, false, old},  // same name, later date
        {{{kMisc, "Ore", "Eisenerz", ""}, kOre}, true, {old[0], old[1], old[2], kOre}},  // last wins
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
        {"Misc Item\tRock\tStein\n", "Zeile 1: Erwartet werden genau vier Felder"},
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
        {"kaputt\n", test::FileOperation::Rename, name + "ist beschädigt (Zeile 1: Erwartet werden genau vier Felder: LISTE, EV Name, DV Name und Datum.)." + kept},
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

} // namespace
} // namespace orv
