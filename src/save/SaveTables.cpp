#include "save/SaveTables.h"

#include <thread>

#include "plugin/RecordTypes.h"
#include "translation/DatabaseFile.h"

namespace orv {
namespace {

TextKeySet known_cell_names(const ObjectLists& lists, const DatabaseInputs& inputs) {
    TextKeySet names;
    std::size_t count =
        lists.list(kCellType).elements.size() + lists.list(kRegionType).elements.size();
    // The translations are taken straight from the file's bytes; no entry is kept. The set
    // is made large enough for all of them at once.
    for (const Bytes* file : {&inputs.cell_names, &inputs.region_names}) {
        (void)parse_pair_file(*file, [&count](TextView, TextView) {
            ++count;
            return false;
        });
    }
    names.reserve(count);
    for (const int list : {kCellType, kRegionType}) {
        for (const auto& element : lists.list(list).elements) {
            names.insert(to_upper_cp1252(element.dv_name));
        }
    }
    for (const Bytes* file : {&inputs.cell_names, &inputs.region_names}) {
        (void)parse_pair_file(*file, [&names](TextView, TextView translation) {
            names.insert(to_upper_cp1252(translation));
            return false;
        });
    }
    return names;
}

} // namespace

SaveTables::SaveTables(DatabaseInputs inputs, const BlockStore& store, const ObjectLists& lists)
    : m_inputs(std::move(inputs)), m_external_database(rebuilt_external_database(lists)),
      // Read before the save substitutes any name: the old name of a cell is what its
      // record holds now, not its EV Name.
      m_cell_renames(pending_cell_renames(store, lists)) {
    // The tables are independent and each takes a while on a large database: the others
    // are built on a second thread while this one builds the reference table. All only read.
    std::thread others([this, &store, &lists] {
        m_topic_names = std::make_unique<const TopicNameTable>(store, lists, m_inputs.topic_names,
                                                               m_external_database);
        m_game_settings =
            NameIndex(parse_pair_file(m_inputs.game_settings), NameIndex::Keys::OriginalsOnly);
        m_known_cells = known_cell_names(lists, m_inputs);
    });
    m_references = build_reference_table(
        {m_cell_renames, m_inputs.cell_names, m_inputs.region_names, m_external_database});
    m_script_cells.build();
    others.join();
}

Result<std::unique_ptr<SaveTables>> read_save_tables(Files& files,
                                                     const std::filesystem::path& program_dir,
                                                     const BlockStore& store,
                                                     const ObjectLists& lists) {
    auto inputs = read_database_inputs(files, program_dir);
    if (!inputs) {
        return inputs.error();
    }
    return std::make_unique<SaveTables>(std::move(*inputs), store, lists);
}

} // namespace orv
