#include "save/CheckNames.h"

#include <utility>

#include "plugin/RecordTypes.h"
#include "translation/DatabaseFile.h"

namespace orv {
namespace {

// How many names known_cell_names() adds to its set at a time.
constexpr std::size_t kKnownCellGroup = 256;

// Every name a cell reference may name after the save, folded: the plugin's cells and
// regions as the save names them (an exterior cell carries its region's name; the user's
// translation of a region reaches no shipped file) and the translations of the cell and
// region files. Tens of thousands of names, asked once per reference: one buffer for all
// of them instead of a node and a string each.
TextKeySet known_cell_names(const ObjectLists& lists, const DatabaseInputs& inputs) {
    TextKeySet names;
    std::size_t count =
        lists.list(kCellType).elements.size() + lists.list(kRegionType).elements.size();
    // The translations are taken straight from the file's bytes; no entry is kept. The set
    // is made large enough for all of them at once.
    for (const FileContents* file : {&inputs.cell_names, &inputs.region_names}) {
        (void)parse_pair_file(file->bytes(), [&count](TextView, TextView) {
            ++count;
            return false;
        });
    }
    names.reserve(count);
    // The names go in by groups: the set fetches a group's places together, which for tens
    // of thousands of names is much faster than one name at a time. A group holds the same
    // names in the same order as single inserts would.
    std::vector<Text> group;
    std::vector<TextView> views;
    group.reserve(kKnownCellGroup);
    views.reserve(kKnownCellGroup);
    const auto add = [&](TextView name) {
        group.push_back(folded_name(name));
        if (group.size() == kKnownCellGroup) {
            views.assign(group.begin(), group.end());
            names.insert_all(views);
            group.clear();
        }
    };
    for (const int list : {kCellType, kRegionType}) {
        for (const auto& element : lists.list(list).elements) {
            add(element.dv_name);
        }
    }
    for (const FileContents* file : {&inputs.cell_names, &inputs.region_names}) {
        (void)parse_pair_file(file->bytes(), [&add](TextView, TextView translation) {
            add(translation);
            return false;
        });
    }
    views.assign(group.begin(), group.end());
    names.insert_all(views);
    return names;
}

} // namespace

RenamesByOldName::RenamesByOldName(std::vector<ScriptRename> renames)
    : m_renames(std::move(renames)) {
    m_folded.reserve(m_renames.size());
    for (const auto& rename : m_renames) {
        m_folded.push_back(folded_name(rename.old_name));
    }
    m_first_of_name = FirstIndexTable<ExactTexts>(m_folded.size(), folded_old_names());
}

const ScriptRename* RenamesByOldName::find(TextView folded) const {
    const auto rename = m_first_of_name.find(folded, folded_old_names());
    return rename ? &m_renames[*rename] : nullptr;
}

Text folded_name(TextView text) {
    return to_upper_cp1252(text);
}

void folded_name(TextView text, Text& folded) {
    to_upper_cp1252(text, folded);
}

std::vector<ScriptRename> pending_script_renames(const ObjectLists& lists) {
    // A cell is renamed when the name the save writes (DV Name) differs from its English
    // name, not counting letter case. Topics likewise: a topic whose name the save changes
    // is no longer found by the old one.
    std::vector<ScriptRename> renames;
    for (const auto& [list, kind] : {std::pair{kCellType, ScriptArgumentKind::Cell},
                                     std::pair{kTopicType, ScriptArgumentKind::Topic}}) {
        for (const auto& element : lists.list(list).elements) {
            if (!element.ev_name.empty() &&
                folded_name(element.ev_name) != folded_name(element.dv_name)) {
                renames.push_back({kind, element.ev_name, element.dv_name});
            }
        }
    }
    return renames;
}

CheckNames check_names(const ObjectLists& lists, const DatabaseInputs& inputs) {
    return {known_cell_names(lists, inputs), RenamesByOldName(pending_script_renames(lists))};
}

} // namespace orv
