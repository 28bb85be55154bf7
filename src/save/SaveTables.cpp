#include "save/SaveTables.h"

#include <thread>

#include "save/GameSettingPass.h"

namespace orv {

SaveTables::SaveTables(DatabaseInputs inputs, const BlockStore& store, const ObjectLists& lists,
                       const Alongside& alongside)
    : m_inputs(std::move(inputs)) {
    // The inputs do not change from here on; the helper only reads them. It is joined when
    // the constructor ends, also when building a table fails.
    std::jthread helper;
    if (alongside) {
        helper = std::jthread([this, &alongside] { alongside(m_inputs); });
    }
    m_external_database = rebuilt_external_database(lists);
    // Read before the save substitutes any name: the old name of a cell is what its record
    // holds now, not its EV Name.
    m_cell_renames = pending_cell_renames(store, lists);
    m_references = build_reference_table({m_cell_renames, m_inputs.cell_names.bytes(),
                                          m_inputs.region_names.bytes(), m_external_database,
                                          m_inputs.learned_places});
    // Built here rather than by the save: the helper's work takes longer than the tables,
    // and this thread would otherwise wait for it.
    m_game_settings = game_settings_of(store, m_inputs.game_settings.bytes());
}

Result<std::unique_ptr<SaveTables>>
read_save_tables(Files& files, const std::filesystem::path& program_dir, const BlockStore& store,
                 const ObjectLists& lists, const SaveTables::Alongside& alongside) {
    auto inputs = read_database_inputs(files, program_dir);
    if (!inputs) {
        return inputs.error();
    }
    return std::make_unique<SaveTables>(std::move(*inputs), store, lists, alongside);
}

} // namespace orv
