#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/Files.h"
#include "plugin/RecordTypes.h"

namespace orv {

// The translation memory: every name the user confirmed by hand, that is every row a save
// turned from "*" into "Ü", and everything learned from a translated plugin, kept across
// plugins in dataextra/Memory.tsv. It is a UTF-8 text file in the batch tool's TSV
// conventions (see TextConventions.h), one line per name:
//   LIST<TAB>EV NAME<TAB>DV NAME<TAB>YYYY-MM-DD[<TAB>SOURCE]
// LIST is the object list's tab label ("Misc Item"), the date the day of the save. SOURCE,
// written only when there is one, names the German file a translation was learned from;
// lines of four fields (all lines of older files) have none. The file only grows: a later
// translation of the same EV Name in the same list replaces the earlier line (which then
// moves to the end), nothing else is ever removed. The memory feeds the name-edit dialog's
// suggestions, and at Open it fills the names and texts that the external database leaves
// untranslated (see MemoryIndex.h).
inline constexpr std::string_view kMemoryName = "Memory.tsv";
std::filesystem::path memory_path(const std::filesystem::path& program_dir);

// Translated responses and journal entries share the memory with the names: their lines'
// first field is the text kind ("Dialog", "Journal") where a name's holds its list, and
// the EV and DV fields hold the original and the German text.
inline constexpr int kDialogMemory = kObjectListCount;
inline constexpr int kJournalMemory = kObjectListCount + 1;
inline constexpr std::string_view kDialogMemoryLabel = "Dialog";
inline constexpr std::string_view kJournalMemoryLabel = "Journal";

// The long texts and the texts of result scripts and compiled scripts share it too, under
// the labels the batch tool's todo and edits lines give them; the EV and DV fields hold the
// English and the German text. Their kinds follow kJournalMemory in this order.
inline constexpr std::array<std::string_view, 7> kTextMemoryLabels = {
    "Book text",      "Class text",      "Race text", "Skill text",
    "Birthsign text", "Response script", "Script"};
inline constexpr int kFirstTextMemory = kJournalMemory + 1;
// The kind of the long text of kTextTargets[i] is kFirstTextMemory + i.
inline constexpr int kScriptTextMemory = kFirstTextMemory + 5;
inline constexpr int kCompiledScriptMemory = kFirstTextMemory + 6;
inline constexpr int kMemoryKindCount = kFirstTextMemory + 7;

// The kind of a memory line's first field: an object list's index, kDialogMemory,
// kJournalMemory or a text kind; nothing for another label.
std::optional<int> memory_kind_labelled(TextView label);
std::string_view memory_kind_label(int kind);

struct MemoryEntry {
    // The object list of a name (an index of kRecordTypes), or kDialogMemory or
    // kJournalMemory for a text.
    int list_index = 0;
    Text ev_name;
    Text dv_name;
    // "YYYY-MM-DD".
    Text date;
    // The German file it was learned from; empty for a translation saved by hand.
    Text source;

    bool operator==(const MemoryEntry&) const = default;
};

// The lines of a memory file, in file order. A line that is not four or five fields, names no
// object list, holds a bad escape or a character Windows-1252 cannot hold, or a date not
// written YYYY-MM-DD, makes the whole file damaged: the error's message names the line
// and what is wrong with it, and its offset is the line number.
Result<std::vector<MemoryEntry>> parse_memory(ByteSpan bytes);
Bytes encode_memory(const std::vector<MemoryEntry>& entries);

// Adds `added` in order: each replaces an entry of the same list and EV Name, which is
// removed from its place, and goes to the end; an entry equal to the one it would replace
// but for the date and the source changes nothing. Returns whether `memory` changed.
bool merge_into_memory(std::vector<MemoryEntry>& memory, const std::vector<MemoryEntry>& added);

// The error of a memory file whose lines parse_memory() refused: a German message naming the
// file and the damaged line.
Error damaged_memory_error(const std::filesystem::path& path, const Error& damage);

// The memory file; a missing file is an empty memory. A file that cannot be read or is
// damaged gives an error with a German message naming the file.
Result<std::vector<MemoryEntry>> read_memory(Files& files, const std::filesystem::path& path);

// Reads the memory file, merges `added` and, when that changed anything, writes the file
// anew through a temporary file beside it (an atomic write). A file that cannot be read or
// is damaged is never overwritten: the error says so and the names are not added. A
// failed write leaves the old file as it was.
Result<void> add_to_memory(Files& files, const std::filesystem::path& path,
                           const std::vector<MemoryEntry>& added);

// Today's local date, "YYYY-MM-DD".
Text today_date();

} // namespace orv
