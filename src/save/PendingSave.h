#pragma once

#include <filesystem>

#include "platform/Files.h"
#include "plugin/BlockStore.h"
#include "translation/ObjectLists.h"

namespace orv {

// What the next save reads and builds before it changes anything, shared by the save and by
// the reference check, so that the check sees exactly what the save would write.

// The database files a save reads: the game settings, the shipped cell names, the shipped
// region names and the shipped topic names. A missing file is empty; one that exists but cannot be
// read is an error. The files are read as a reader that parses and lets go reads them (a
// large one mapped rather than copied), so before anything made of them is written,
// check_whole() must tell that they were the files' bytes all along.
struct DatabaseInputs {
    FileContents game_settings;
    FileContents cell_names;
    FileContents region_names;
    FileContents topic_names;
    // The translation memory's names of cells and regions, and of topics, as pair files:
    // the names learned from a base game's master files and saved by hand in earlier
    // plugins, for references to places and topics that the plugin itself does not hold.
    // They are asked after every other source. A damaged memory gives none.
    Bytes learned_places;
    Bytes learned_topics;

    // Fails with the read error of the first file that another program shortened while it
    // was read.
    Result<void> check_whole() const;
};
Result<DatabaseInputs> read_database_inputs(Files& files, const std::filesystem::path& program_dir);

// The external database as the save rebuilds it: the sentinel pair, then (EV Name, DV Name)
// of every row marked "*" or "Ü", lists in tab order, rows in list order.
Bytes rebuilt_external_database(const ObjectLists& lists);

// The cell renames of the save, as a pair file: (the record's current name, DV Name) of
// every Cell row marked "*" whose record has a name subrecord, in list order.
Bytes pending_cell_renames(const BlockStore& store, const ObjectLists& lists);

} // namespace orv
