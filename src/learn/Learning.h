#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <vector>

#include "platform/Files.h"
#include "platform/Text.h"
#include "translation/DatabaseFile.h"
#include "translation/TranslationMemory.h"

namespace orv {

// Called with a progress text now and then ("Lese block : NPC_"), for a status bar.
using LearnProgress = std::function<void(const Text&)>;

// One German name among those an English name got.
struct NameVariant {
    Text german;
    // The records that gave it ("NPC_ guard_1"), in the English file's order.
    std::vector<Text> records;
};

// An English name that the German file translates in more than one way.
struct NameConflict {
    Text english;
    // The more frequent first; of equally frequent ones the one met first.
    std::vector<NameVariant> variants;
};

struct LearnSummary {
    // Records after the header record of each file, and how many of them found a partner.
    std::size_t english_records = 0;
    std::size_t german_records = 0;
    std::size_t paired = 0;
    // Translations found per kind (an object list, or a text kind of the memory): each
    // pair of records whose texts of that kind differ counts once per text.
    std::array<std::size_t, kMemoryKindCount> learned{};
    // Records without a partner ("BOOK book_a"), in each file's order.
    std::vector<Text> english_only;
    std::vector<Text> german_only;
    std::vector<NameConflict> conflicts;
    // Entries the run added to the external database and to the memory; 0 and 0 when
    // the two files already held everything it found.
    std::size_t new_names = 0;
    std::size_t new_texts = 0;
};

struct Learned {
    // The name pairs (English, German) for the external database, each English name with
    // its German ones, the more frequent first, in the English file's order.
    std::vector<PairEntry> names;
    // One line per kind and English text, with the more frequent German text: the names
    // and the texts.
    std::vector<MemoryEntry> memory;
    LearnSummary summary;
};

// Pairs the records of an English plugin or master file and the same file in German and
// takes every text that differs as its translation. The names are the files' names for
// messages; `german_name` also names the German file in the memory's lines, `date` is
// their date. A file that cannot be split into records, or a pair of files of which fewer
// than half the records find a partner (they are not the same file in two languages), is
// refused with a German message.
struct LearnInput {
    ByteSpan english;
    ByteSpan german;
    TextView english_name;
    TextView german_name;
    TextView date;
};
Result<Learned> learn_from_plugins(const LearnInput& input, const LearnProgress& progress = {});

} // namespace orv
