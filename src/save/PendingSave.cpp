#include "save/PendingSave.h"

#include "plugin/RecordTypes.h"
#include "plugin/Subrecord.h"
#include "translation/DatabaseFile.h"
#include "translation/ExternalDatabase.h"
#include "translation/TranslationDatabase.h"
#include "translation/TranslationMemory.h"

namespace orv {
namespace {

bool carries_user_translation(const Element& element) {
    return element.mark == mark::kEdited || element.mark == mark::kExternal;
}

} // namespace

Result<DatabaseInputs> read_database_inputs(Files& files,
                                            const std::filesystem::path& program_dir) {
    DatabaseInputs inputs;
    const std::pair<FileContents*, std::filesystem::path> shipped[] = {
        {&inputs.game_settings, data_file_path(program_dir, kGameSettingsName)},
        {&inputs.cell_names, data_file_path(program_dir, kRecordTypes[kCellType].name_database)},
        {&inputs.region_names,
         data_file_path(program_dir, kRecordTypes[kRegionType].name_database)},
        {&inputs.topic_names, data_file_path(program_dir, kRecordTypes[kTopicType].name_database)},
    };
    for (const auto& [contents, path] : shipped) {
        auto read = read_contents_if_present(files, path);
        if (!read) {
            return read.error();
        }
        *contents = std::move(*read);
    }
    auto memory = read_if_present(files, memory_path(program_dir));
    if (!memory) {
        return memory.error();
    }
    if (const auto lines = parse_memory(*memory)) {
        for (const auto& line : *lines) {
            if (line.list_index == kCellType || line.list_index == kRegionType) {
                append_entry(inputs.learned_places, PairEntry{line.ev_name, line.dv_name});
            } else if (line.list_index == kTopicType) {
                append_entry(inputs.learned_topics, PairEntry{line.ev_name, line.dv_name});
            }
        }
    }
    return inputs;
}

Result<void> DatabaseInputs::check_whole() const {
    for (const FileContents* contents :
         {&game_settings, &cell_names, &region_names, &topic_names}) {
        if (auto whole = contents->check_whole(); !whole) {
            return whole;
        }
    }
    return {};
}

Bytes rebuilt_external_database(const ObjectLists& lists) {
    Bytes bytes = sentinel_pair();
    for (const auto& type : kRecordTypes) {
        for (const auto& element : lists.list(type.index).elements) {
            if (carries_user_translation(element)) {
                append_entry(bytes, PairEntry{element.ev_name, element.dv_name});
            }
        }
    }
    return bytes;
}

Bytes pending_cell_renames(const BlockStore& store, const ObjectLists& lists) {
    Bytes renames;
    const RecordType& cell = kRecordTypes[kCellType];
    for (const auto& element : lists.list(kCellType).elements) {
        const Block* block = element.mark == mark::kEdited ? store.find(element.block) : nullptr;
        if (block == nullptr) {
            continue;
        }
        if (const auto name = find_subrecord(*block, cell.name_subrecord)) {
            append_entry(renames, PairEntry{subrecord_text(*block, *name, TextKind::Terminated),
                                            element.dv_name});
        }
    }
    return renames;
}

} // namespace orv
