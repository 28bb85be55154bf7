#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Files.h"
#include "plugin/BlockStore.h"
#include "plugin/ResultScript.h"
#include "save/CheckNames.h"
#include "save/PendingSave.h"
#include "save/SaveTables.h"
#include "translation/ObjectLists.h"

namespace orv {

// What the reference check can find in a plugin as the next save would write it.
enum class FindingKind {
    // A script text names a cell (or another name scripts quote) that the save renames and
    // that the save cannot change in it: any quoted text of a compiled script, a quoted
    // text of a result script that is not an argument the save rewrites.
    ScriptNamesRenamed,
    // A cell reference the save writes (also a cell argument of a result script) names
    // neither a cell or region of the plugin (after the save) nor a cell or region the
    // shipped database translates to.
    ReferenceToNoCell,
    // A name longer than its list's limit.
    NameTooLong,
    // A name that was not empty and becomes empty.
    NameEmptied,
    // A translated response lacks the German name of a topic its original links to.
    TopicLink,
    // A translated response or script text lost a text define ("%PCName", "^Name"); or a
    // message box text of a compiled script has in its code another number of format
    // specifiers ("%g", "%s") than in its source.
    Define,
    // A translated response is longer than the game's editor allows.
    ResponseTooLong,
    // A dialogue record that cannot be placed: a DIAL without a type, an INFO before any
    // DIAL; or a result-script line whose quote is never closed (its texts stay as they are).
    Dialogue,
    // A compiled script whose texts cannot be offered or changed: its code does not decode
    // without doubt or does not agree with its source (it stays as it is).
    ScriptCode,
};

// The word the batch tool prints for a kind ("script", "reference", "length", "empty",
// "topic-link", "define", "dialogue", "script-code").
std::string_view finding_kind_word(FindingKind kind);
// The German label the window shows for a kind.
Text finding_kind_label(FindingKind kind);

// A row of an object list that a finding is about.
struct FindingRow {
    int list_index = 0;
    std::size_t row = 0;

    bool operator==(const FindingRow&) const = default;
};

struct Finding {
    FindingKind kind;
    // The record's tag and ID.
    Text record;
    Text id;
    // What is wrong, in German, with the names involved.
    Text detail;
    // The row the finding is about, for the name findings.
    std::optional<FindingRow> row;
    // The response the finding is about (its place in the lists' responses), for the
    // findings about a response's text or result script.
    std::optional<std::size_t> response = {};
};

// What a check looks at: everything (the findings window, the batch tool's check), or only
// what a save asks about before it writes (the scripts and the cell references), which
// spares a save the name and dialogue rules it would not show.
enum class CheckScope { Everything, ScriptsAndReferences };

// Checks the loaded plugin with its pending edits, exactly as the next save would write it,
// changing nothing. Findings come in block order (scripts and references of each record),
// then the names, lists in tab order and rows in list order. Texts compare without regard
// to letter case (Windows-1252 letters), as the game finds cells by name.
// `names` are the check's names for these tables (see read_tables_and_check_names).
std::vector<Finding> check_plugin(const BlockStore& store, const ObjectLists& lists,
                                  const SaveTables& tables, const CheckNames& names,
                                  CheckScope scope);
// The same with the tables and names built from `inputs`.
std::vector<Finding> check_plugin(const BlockStore& store, const ObjectLists& lists,
                                  DatabaseInputs inputs, CheckScope scope = CheckScope::Everything);

// The same after reading the database files as a save does; a file that exists but cannot
// be read is returned as its error.
Result<std::vector<Finding>> check_plugin(const BlockStore& store, const ObjectLists& lists,
                                          Files& files, const std::filesystem::path& program_dir,
                                          CheckScope scope = CheckScope::Everything);

// Appends the text of one finding to `lines`.
using FindingWriter = std::function<void(std::string& lines, const Finding& finding)>;

// The check of the scripts and references alone (as CheckScope::ScriptsAndReferences), with
// every finding handed to `write` as soon as it is made instead of kept: on the thread that
// checks its block, for the lines of the block's share. Returns the shares' lines in block
// order. A large plugin's thousands of findings never exist all at once. `names` are the
// check's names for these tables (see read_tables_and_check_names).
std::vector<std::string> write_script_and_reference_findings(const BlockStore& store,
                                                             const ObjectLists& lists,
                                                             const SaveTables& tables,
                                                             const CheckNames& names,
                                                             const FindingWriter& write);

// Reads the save's tables as read_save_tables() does and builds the check's names into
// `names` at the same time, on a second thread: both come from the same database files, and
// a check before a save needs both.
Result<std::unique_ptr<SaveTables>>
read_tables_and_check_names(Files& files, const std::filesystem::path& program_dir,
                            const BlockStore& store, const ObjectLists& lists, CheckNames& names);

} // namespace orv
