#pragma once

#include <cstddef>
#include <filesystem>
#include <vector>

#include "platform/Files.h"
#include "plugin/BlockStore.h"
#include "save/SaveTables.h"
#include "translation/ObjectLists.h"
#include "translation/TranslationMemory.h"

namespace orv {

// Where a save shows what it does: status field 1 and the mark cells of the list views.
class SaveView {
public:
    virtual ~SaveView() = default;
    virtual void show_progress(const Text& text) = 0;
    // Whether the view shows progress at all; a view that shows none spares the save a text
    // for every block of each pass.
    virtual bool wants_progress() const { return true; }
    // Row `row` of object list `list_index` got a new mark: `element` as it is now.
    virtual void show_mark(int list_index, std::size_t row, const Element& element) = 0;
    // Every byte of the plugin is made: the save now writes the last of them, waits until
    // the disk holds the file and renames it into place, which on a slow disk takes
    // milliseconds with the processor idle. Called on the saving thread; the save may
    // still fail after it.
    virtual void plugin_bytes_made() {}
};

// Whether a save replaces the external database on disk. The batch tool may keep the
// user's file; the rebuilt content is used for the cell references either way.
enum class ExternalDatabaseWrite { Write, Keep };

// What a save changed in the records; a text replaced by the same text is not counted.
struct SaveReport {
    int names_substituted = 0;
    int game_settings_translated = 0;
    int references_translated = 0;
    // Topic arguments of result scripts (AddTopic) given their German name.
    int topic_references_translated = 0;
    // The rows this save turned from "*" into "Ü" (list, EV Name, DV Name, today's date),
    // in list and row order: the names confirmed by hand, for the translation memory.
    std::vector<MemoryEntry> confirmed_translations;
};

// Saves the loaded plugin to `target`:
// 1. the external database is rebuilt in memory: the sentinel pair, then (EV Name,
//    DV Name) of every row marked "*" or "Ü", lists in tab order, rows in list order;
// 2. every row marked "*" gets its DV Name into its record's name subrecord (a cell's old
//    and new name are noted as a cell rename) and is marked "Ü";
// 3. game settings, cell references and the topic arguments of result scripts are
//    translated in the blocks;
// 4. the external database and then the plugin (blocks 0 to N back to back) are replaced,
//    each through a temporary file, so that a failure leaves both files as they were.
// The rows of step 2 come back in SaveReport::confirmed_translations; a caller that saved for the
// user passes the report to remember_confirmed_translations() afterwards.
// The database files are read before anything changes: a file that exists but cannot be
// read stops the save with nothing changed. A failed write is returned with its German
// message; the blocks and marks then already hold the saved state, so saving again
// writes the same.
Result<SaveReport> save_plugin(BlockStore& store, ObjectLists& lists, Files& files,
                               const std::filesystem::path& program_dir,
                               const std::filesystem::path& target, SaveView& view,
                               ExternalDatabaseWrite external_write = ExternalDatabaseWrite::Write);

// The same with tables already read for this plugin as it is now (the check before the save
// read them), so that the database files are read and indexed once.
Result<SaveReport> save_plugin(BlockStore& store, ObjectLists& lists, const SaveTables& tables,
                               Files& files, const std::filesystem::path& program_dir,
                               const std::filesystem::path& target, SaveView& view,
                               ExternalDatabaseWrite external_write = ExternalDatabaseWrite::Write);

// The step after a successful save: adds the save's confirmed names to the translation
// memory dataextra/Memory.tsv (see TranslationMemory.h), written atomically. It is kept
// apart from save_plugin() because its failure must neither undo nor fail the save: the
// error's German message is to be shown, and says that the plugin was saved. A damaged or
// unreadable memory file is never overwritten.
//
//   if (auto remembered = remember_confirmed_translations(files, program_dir, *saved); !remembered)
//       show(remembered.error().message);
Result<void> remember_confirmed_translations(Files& files, const std::filesystem::path& program_dir,
                                             const SaveReport& report);

} // namespace orv
