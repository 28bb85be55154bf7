#pragma once

#include <filesystem>

#include "learn/Learning.h"
#include "platform/Files.h"

namespace orv {

// Where learning writes: the folder of the external database and the memory, the
// program folder's dataextra unless the user names another.
struct LearnFiles {
    std::filesystem::path english;
    std::filesystem::path german;
    std::filesystem::path into;
};

// Learns from the English and the German file and adds what it learned to the external
// database (into/Extradata.dat) and the translation memory (into/Memory.tsv). Only what
// they do not hold yet is added, behind what they hold: the user's own translations still
// come first, a text the memory already translates keeps its line, and a second run
// changes nothing. A new external database starts with
// the sentinel pair. The two files are replaced together (replace_files): when anything
// fails (a file missing, damaged or unreadable, a write), both stay exactly as they were
// and the error says so in German. The folder is created when it is missing.
Result<LearnSummary> learn_into(Files& files, const LearnFiles& paths, TextView date,
                                const LearnProgress& progress = {});

} // namespace orv
