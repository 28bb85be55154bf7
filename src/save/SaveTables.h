#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include "platform/Files.h"
#include "plugin/BlockStore.h"
#include "save/CellReferencePass.h"
#include "save/PendingSave.h"
#include "translation/NameIndex.h"
#include "translation/ObjectLists.h"

namespace orv {

// What the next save looks names up in, built once from the database files and from the
// edits pending in the loaded plugin, before anything changes. The check before a save and
// the save itself read the same tables, so a command that does both reads and indexes the
// database files once. The tables describe the plugin as it was when they were built: a
// change to the rows or the blocks after that needs new tables.
class SaveTables {
public:
    // Work that needs the same database files and nothing of the tables, run on a second
    // thread while the tables are built; done when the constructor returns.
    using Alongside = std::function<void(const DatabaseInputs& inputs)>;

    SaveTables(DatabaseInputs inputs, const BlockStore& store, const ObjectLists& lists,
               const Alongside& alongside = {});
    SaveTables(const SaveTables&) = delete;
    SaveTables& operator=(const SaveTables&) = delete;

    const DatabaseInputs& inputs() const { return m_inputs; }
    // The external database as the save rebuilds it (see rebuilt_external_database).
    const Bytes& external_database() const { return m_external_database; }
    // The cell renames of the save (see pending_cell_renames).
    const Bytes& cell_renames() const { return m_cell_renames; }
    // Cell references: the cell renames, the shipped cell and region names, then the
    // rebuilt external database, then the memory's cell and region names, the first entry
    // of a name winning.
    const NameIndex& references() const { return m_references; }
    // The same table for the cell names of result scripts, without regard to ASCII case.
    const ScriptNameLookup& script_cells() const { return m_script_cells; }
    // The game-setting file's entries for the plugin's setting texts (see game_settings_of).
    const NameIndex& game_settings() const { return m_game_settings; }

private:
    DatabaseInputs m_inputs;
    Bytes m_external_database;
    Bytes m_cell_renames;
    NameIndex m_references;
    ScriptNameLookup m_script_cells{m_references};
    NameIndex m_game_settings;
};

// Reads the database files a save needs and builds its tables; a file that exists but
// cannot be read is returned as its error.
Result<std::unique_ptr<SaveTables>>
read_save_tables(Files& files, const std::filesystem::path& program_dir, const BlockStore& store,
                 const ObjectLists& lists, const SaveTables::Alongside& alongside = {});

} // namespace orv
