#include "translation/PluginLoader.h"

#include <algorithm>
#include <array>
#include <deque>
#include <iterator>
#include <optional>
#include <utility>

#include "plugin/BlockHalves.h"
#include "plugin/Dialogue.h"
#include "plugin/PluginReader.h"
#include "plugin/Progress.h"
#include "plugin/RecordTypes.h"
#include "plugin/Subrecord.h"
#include "translation/CompiledScriptTexts.h"
#include "translation/NameLookup.h"
#include "translation/Responses.h"
#include "translation/TranslationMemory.h"

namespace orv {
namespace {

SkillElement skill_element(const Block& block, std::int32_t block_number,
                           TranslationDatabase& database) {
    SkillElement element;
    element.block = block_number;
    const auto index = skill_index(block);
    if (!index) {
        return element;
    }
    element.skill_index = *index;
    // A skill the table does not know keeps empty texts; its row still leads to its block.
    if (const auto* entry = skill_entry(database.data_triples(kSkillTableName), *index)) {
        element.id = (*entry)[0];
        element.ev_name = (*entry)[1];
        element.dv_name = (*entry)[2];
    }
    return element;
}

// The object list a record gets a row in, or nothing: DIAL records only when they are
// topics, whose names the player reads.
std::optional<int> listed_type(const Block& block, TextView tag) {
    const auto type = object_type_of(tag);
    if (type == kTopicType && dialogue_type(block) != DialogueType::Topic) {
        return std::nullopt;
    }
    return type;
}

// Looks the record's name up, which may replace it in the block, and describes the result
// as a row. Returns nothing for an unnamed cell, which gets no row at all: its NAME is its
// only identity, and an empty row could not be told from another.
std::optional<Element> object_element(Block& block, std::int32_t block_number,
                                      const RecordType& type, TranslationDatabase& database,
                                      std::size_t& replaced_names) {
    Element element;
    element.block = block_number;

    const auto name = find_subrecord(block, type.name_subrecord);
    if (!name || name->size <= 1) {
        if (type.index == kCellType) {
            return std::nullopt;
        }
        element.mark = mark::kNoName;
        if (type.id_column == IdColumn::RecordId) {
            element.id = record_id(block);
        }
        return element;
    }

    const Text before = subrecord_text(block, *name, TextKind::Terminated);
    // The memory was read before the rows, so two threads may ask it at once.
    const MemoryIndex& memory = database.memory();
    // A path grid's name is its cell's (or its region's): the memory's lines of those
    // lists translate it, in the order of the files.
    const bool path_grid = type.index == kPathGridType;
    auto result =
        lookup_name(block, *name, database.external(), memory, path_grid ? kCellType : type.index,
                    database.data_pairs(type.name_database));
    // A path grid's name is a cell's or a region's; the region file is asked only when the
    // cell file, and the external database, know nothing of it. A result of 0 leaves the
    // block as it was, so `name` still describes the subrecord.
    if (result.code == LookupCode::NotFound && !type.second_name_database.empty()) {
        result = lookup_name(block, *name, database.external(), memory, kRegionType,
                             database.data_pairs(type.second_name_database));
    }

    // Only a found original puts a translation into the block; the same text is no change.
    // Then the name is read from the block anew; any other lookup left the block as it was.
    const bool original_found =
        result.code == LookupCode::ShippedOriginal || result.code == LookupCode::ExternalOriginal;
    // A replacement leaves the name subrecord where it was and rewrites its size field, so
    // the name is read anew at the same place.
    Text after = before;
    if (original_found) {
        const auto replaced = subrecord_at(block, name->offset);
        after = replaced ? subrecord_text(block, *replaced, TextKind::Terminated) : Text{};
    }
    if (original_found && after != before) {
        ++replaced_names;
    }
    switch (result.code) {
    case LookupCode::NotFound:
        element.mark = mark::kNone;
        element.ev_name = after;
        break;
    case LookupCode::ShippedOriginal:
        element.mark = mark::kShipped;
        element.ev_name = before;
        break;
    case LookupCode::ExternalTranslation:
        element.mark = mark::kExternal;
        element.ev_name = result.english;
        break;
    case LookupCode::ShippedTranslation:
        element.mark = mark::kShipped;
        element.ev_name = result.english;
        break;
    case LookupCode::ExternalOriginal:
        element.mark = mark::kExternal;
        element.ev_name = before;
        break;
    }
    element.dv_name = std::move(after);
    element.id = type.id_column == IdColumn::RecordId ? record_id(block) : element.ev_name;
    return element;
}

// Puts the memory's German long texts (books, classes, races, skills, birthsigns) into the
// records of the rows: the text editor then shows them, and todo counts them translated.
void fill_long_texts(BlockStore& store, const ObjectLists& rows, const MemoryIndex& memory) {
    if (memory.empty()) {
        return;
    }
    for (std::size_t target = 0; target < kTextTargets.size(); ++target) {
        const auto& text_target = kTextTargets[target];
        const int kind = kFirstTextMemory + static_cast<int>(target);
        const auto fill = [&](std::int32_t number) {
            Block* block = store.find(number);
            const auto text =
                block ? find_subrecord(*block, text_target.text_subrecord) : std::nullopt;
            if (!text) {
                return;
            }
            const Text english = subrecord_text(*block, *text, TextKind::Whole);
            if (const Text* german = memory.translation(kind, english);
                german && *german != english) {
                replace_subrecord_text(*block, *text, TextKind::Whole, *german);
            }
        };
        if (text_target.object_list) {
            for (const auto& element : rows.list(*text_target.object_list).elements) {
                fill(element.block);
            }
        } else {
            for (const auto& skill : rows.skills()) {
                fill(skill.block);
            }
        }
    }
}

// What the load will need, found before the first lookup changes a block: the key of every
// lookup (the name of each record of the listed kinds that has one, see object_element) and how
// many rows each list can get at most, so that each list is allocated once.
struct LoadSurvey {
    TextKeySet keys;
    // The object list of each block, kSkillRow for a SKIL record, kNoRow for a block that
    // gets no row. A pass over the rows reads no other block: the responses may be changing
    // those at the same time.
    std::vector<std::int8_t> types;
    // The name files the lookups will ask for, in the order they first do; none for a kind
    // whose records have no name.
    std::vector<std::string_view> name_files;
    std::array<std::size_t, kObjectListCount> rows{};
    std::size_t skills = 0;
    // The DIAL and INFO records, for the responses.
    std::vector<std::int32_t> dialogue;
};

constexpr std::int8_t kNoRow = -1;
constexpr std::int8_t kSkillRow = -2;

// What one run of records adds to the survey. The keys are views into the records' name
// subrecords, which nothing changes before the survey is done; a name with a zero byte inside,
// which the lookup leaves out, is copied without it.
struct SurveyOfRange {
    std::vector<TextView> keys;
    std::deque<Text> copied_keys;
    // The object lists whose first named record lies in the run, in record order.
    std::vector<int> named_lists;
    std::array<std::size_t, kObjectListCount> rows{};
    std::size_t skills = 0;
    std::vector<std::int32_t> dialogue;
};

// Surveys records [first, end) in one walk; writes only `types[first, end)`.
void survey_range(const BlockStore& store, std::vector<std::int8_t>& types, std::size_t first,
                  std::size_t end, SurveyOfRange& found) {
    // Room for a key of every record of the run: memory that is only reserved is not touched
    // until a key is written into it, where a list grown step by step would fill fresh
    // memory several times over.
    found.keys.reserve(end - first);
    std::array<bool, kObjectListCount> named{};
    for (std::size_t number = first; number < end; ++number) {
        const Block& block = store.block(number);
        const Text tag = record_tag(block);
        if (is_dialogue_record(block)) {
            found.dialogue.push_back(static_cast<std::int32_t>(number));
        }
        if (tag == kSkillTag) {
            ++found.skills;
            types[number] = kSkillRow;
            continue;
        }
        const auto type = listed_type(block, tag);
        if (!type) {
            continue;
        }
        types[number] = static_cast<std::int8_t>(*type);
        ++found.rows[static_cast<std::size_t>(*type)];
        const auto& record_type = kRecordTypes[static_cast<std::size_t>(*type)];
        const auto name = find_subrecord(block, record_type.name_subrecord);
        if (!name || name->size <= 1) {
            continue;
        }
        const TextView bytes = subrecord_bytes(block, *name, TextKind::Terminated);
        if (bytes.find('\0') == TextView::npos) {
            found.keys.push_back(bytes);
        } else {
            found.keys.push_back(
                found.copied_keys.emplace_back(subrecord_text(block, *name, TextKind::Terminated)));
        }
        if (!std::exchange(named[record_type.index], true)) {
            found.named_lists.push_back(record_type.index);
        }
    }
}

LoadSurvey survey(const BlockStore& store) {
    LoadSurvey found;
    found.types.assign(store.block_count(), kNoRow);
    // A large plugin's later half is surveyed on a second thread; the halves are joined in
    // record order, as one walk from the first record would have found them.
    std::array<SurveyOfRange, 2> halves;
    in_two_halves(
        1, std::max<std::size_t>(store.block_count(), 1),
        [&](std::size_t first, std::size_t end) {
            survey_range(store, found.types, first, end, halves[0]);
        },
        [&](std::size_t first, std::size_t end) {
            survey_range(store, found.types, first, end, halves[1]);
        });
    std::array<bool, kObjectListCount> named{};
    for (const SurveyOfRange& half : halves) {
        for (std::size_t list = 0; list < found.rows.size(); ++list) {
            found.rows[list] += half.rows[list];
        }
        found.skills += half.skills;
        found.dialogue.insert(found.dialogue.end(), half.dialogue.begin(), half.dialogue.end());
        // A kind's files are asked for from its first record with a name on.
        for (const int list : half.named_lists) {
            if (!std::exchange(named[static_cast<std::size_t>(list)], true)) {
                const auto& record_type = kRecordTypes[static_cast<std::size_t>(list)];
                found.name_files.push_back(record_type.name_database);
                if (!record_type.second_name_database.empty()) {
                    found.name_files.push_back(record_type.second_name_database);
                }
            }
        }
    }
    // The key table is allocated once for every named record.
    found.keys.reserve(halves[0].keys.size() + halves[1].keys.size());
    for (const SurveyOfRange& half : halves) {
        found.keys.insert_all(half.keys);
    }
    return found;
}

// Which rows a pass over a run of records describes. The topics go first, on their own: the
// responses read their topics' names, and may then be loaded beside the other rows.
enum class RowKinds { Topics, AllButTopics };

// Whether a pass over `kinds` describes a record of survey type `type`.
bool describes(RowKinds kinds, std::int8_t type) {
    if (type == kNoRow) {
        return false;
    }
    return (type == kTopicType) == (kinds == RowKinds::Topics);
}

// The rows of a run of records, in record order, for the lists and the skills.
struct RowsOfRange {
    std::array<std::vector<Element>, kObjectListCount> lists;
    std::vector<SkillElement> skills;
    std::size_t replaced_names = 0;
};

// Asks for the parts of the name tables that the lookups of a record's name will read, so
// that they are in the cache when the record's turn comes: first the tables' slots, some
// records later the entries those slots lead to. Only the records of the pass's kinds among
// [first, end) are looked at: another thread may be changing the others. `types` is the
// survey's.
class LookupPrefetch {
public:
    // How many records lie between the two steps: enough for the memory to answer, few
    // enough that the cache still holds what was asked for.
    static constexpr std::int32_t kDistance = 4;

    LookupPrefetch(const BlockStore& store, const std::vector<std::int8_t>& types, RowKinds kinds,
                   TranslationDatabase& database, std::int32_t first, std::int32_t end)
        : m_store(store), m_types(types), m_kinds(kinds), m_database(database), m_first(first),
          m_end(end) {}

    // The first step for record `number`, the second for record `number` - kDistance.
    void advance(std::int32_t number) {
        ask_for_slots(number);
        if (number - kDistance < m_first) {
            return;
        }
        const Pending& pending = m_pending[slot_of(number - kDistance)];
        if (pending.names) {
            m_external->prefetch_entry(pending.key);
            pending.names->prefetch_entry(pending.key);
        }
    }

private:
    struct Pending {
        TextView key;
        const NameIndex* names = nullptr;
    };

    static std::size_t slot_of(std::int32_t number) {
        return static_cast<std::size_t>(number) % (2 * kDistance);
    }

    void ask_for_slots(std::int32_t number) {
        Pending& pending = m_pending[slot_of(number)];
        pending = {};
        if (number <= 0 || number >= m_end) {
            return;
        }
        const std::int8_t kind = m_types[static_cast<std::size_t>(number)];
        if (kind < 0 || !describes(m_kinds, kind)) {
            return;
        }
        const auto type = static_cast<std::size_t>(kind);
        const Block& block = m_store.block(static_cast<std::size_t>(number));
        const auto name = find_subrecord(block, kRecordTypes[type].name_subrecord);
        if (!name || name->size <= 1) {
            return;
        }
        // The name's bytes as the block holds them: the lookup leaves out a zero byte inside
        // a name, but for such a rare name only the hint goes astray, never an answer. The
        // block changes only when its own record is described, after the second step. A
        // named record's files were read with the survey, so asking for them reads nothing.
        pending.key = subrecord_bytes(block, *name, TextKind::Terminated);
        if (!m_names[type]) {
            m_external = &m_database.external();
            m_names[type] = &m_database.data_pairs(kRecordTypes[type].name_database);
        }
        pending.names = m_names[type];
        m_external->prefetch_table(pending.key);
        pending.names->prefetch_table(pending.key);
    }

    const BlockStore& m_store;
    const std::vector<std::int8_t>& m_types;
    RowKinds m_kinds;
    TranslationDatabase& m_database;
    std::int32_t m_first;
    std::int32_t m_end;
    const NameIndex* m_external = nullptr;
    std::array<const NameIndex*, kObjectListCount> m_names{};
    // The records between the two steps, by their number modulo the size.
    std::array<Pending, 2 * kDistance> m_pending{};
};

// Describes the records of `kinds` among [first, end) as rows (block 0, the file header
// record, is never a row, whatever its tag: translating or editing a name in it would move
// the record count at offset 320, or shrink the header below the 324 bytes that a plugin needs
// to be opened again; the survey gives it none). `done(number)` follows every record.
template <typename Done>
void read_rows(BlockStore& store, const std::vector<std::int8_t>& types, RowKinds kinds,
               std::int32_t first, std::int32_t end, TranslationDatabase& database,
               RowsOfRange& rows, Done&& done) {
    constexpr std::int32_t kAhead = 2 * LookupPrefetch::kDistance;
    LookupPrefetch lookahead(store, types, kinds, database, first, end);
    for (std::int32_t number = first; number < first + kAhead; ++number) {
        lookahead.advance(number);
    }
    for (std::int32_t number = first; number < end; ++number) {
        lookahead.advance(number + kAhead);
        // The survey found each block's list before any name changed; a name's change
        // leaves the tag and a topic's type as they were.
        const std::int8_t type = types[static_cast<std::size_t>(number)];
        if (describes(kinds, type)) {
            Block& block = store.block(static_cast<std::size_t>(number));
            if (type == kSkillRow) {
                rows.skills.push_back(skill_element(block, number, database));
            } else {
                const auto& record_type = kRecordTypes[static_cast<std::size_t>(type)];
                if (auto element =
                        object_element(block, number, record_type, database, rows.replaced_names)) {
                    rows.lists[static_cast<std::size_t>(type)].push_back(std::move(*element));
                }
            }
        }
        done(number);
    }
}

// Everything of a load after the file is split into blocks.
Result<void> load_blocks(PluginFile plugin, TranslationDatabase& database, BlockStore& store,
                         ObjectLists& lists, LoaderView& view, LoadScope scope) {
    // The new plugin is built beside the old one, which stays loaded until nothing can go
    // wrong any more: a database file that exists but cannot be read refuses the load, or a
    // later save would drop the user's translations that this file holds. The blocks come
    // with their own vector, so the new store reserves nothing.
    BlockStore loaded(0);
    loaded.assign(std::move(plugin.blocks), plugin.file_type, std::move(plugin.source));
    auto found = survey(loaded);
    RowsOfRange rows;
    for (int list_index = 0; list_index < kObjectListCount; ++list_index) {
        rows.lists[static_cast<std::size_t>(list_index)].reserve(
            found.rows[static_cast<std::size_t>(list_index)]);
    }
    rows.skills.reserve(found.skills);
    // Only the database entries that the plugin's names can find are kept in memory. Every
    // file the rows will ask for is read here, before the rows are described: from then on
    // the database is only read, which two threads may do at once.
    database.limit_pairs_to(std::move(found.keys));
    database.preload_pairs(found.name_files);
    if (!found.name_files.empty()) {
        (void)database.external();
    }
    if (found.skills > 0) {
        (void)database.data_triples(kSkillTableName);
    }
    (void)database.memory();

    const std::int32_t record_count = loaded.record_count();
    BlockProgress progress(cp1252(u8"Blöcke gelesen : "), record_count);
    const ProgressFunction shown = progress_of(view);
    const auto show = [&](std::int32_t number) {
        progress.show(static_cast<std::size_t>(number), shown);
    };
    // The topics' rows, then the responses, which read their topics' names as the topics'
    // rows leave them. Neither reads or changes a record that the other rows do, so on a large
    // plugin both run on the second thread while this one reads the other rows.
    const bool whole = scope == LoadScope::Whole;
    const TripleFile* response_texts =
        whole ? &database.data_triples(kResponseDatabaseName) : nullptr;
    ObjectLists dialogue;
    const auto read_topics_and_dialogue = [&](RowsOfRange& into) {
        read_rows(loaded, found.types, RowKinds::Topics, 0, record_count + 1, database, into,
                  [](std::int32_t) {});
        if (whole) {
            load_responses(loaded, found.dialogue, *response_texts, dialogue, database.memory());
        }
    };
    const std::size_t blocks = static_cast<std::size_t>(record_count) + 1;
    if (blocks < kBlocksForTwoThreads) {
        read_rows(loaded, found.types, RowKinds::AllButTopics, 0, record_count + 1, database, rows,
                  show);
        read_topics_and_dialogue(rows);
    } else {
        // A large plugin is read on two threads that meet where their work balances: this one
        // reads runs of records from the front and shows their progress as it goes; the
        // second reads the topics and the dialogue first, then runs from the back. Its runs'
        // rows follow this thread's, so every list keeps record order, and their progress is
        // shown, in order, once both are done.
        RowsOfRange topics;
        std::vector<RowsOfRange> later(share_count(0, blocks));
        const std::size_t taken = from_both_ends(
            0, blocks, kBlocksPerShare,
            [&](std::size_t, std::size_t from, std::size_t to) {
                read_rows(loaded, found.types, RowKinds::AllButTopics,
                          static_cast<std::int32_t>(from), static_cast<std::int32_t>(to), database,
                          rows, show);
            },
            [&] { read_topics_and_dialogue(topics); },
            [&](std::size_t run, std::size_t from, std::size_t to) {
                // Room for the run's rows at once: lists grown step by step would copy their
                // rows into ever larger fresh memory.
                RowsOfRange& into = later[run];
                std::array<std::size_t, kObjectListCount> counts{};
                for (std::size_t number = from; number < to; ++number) {
                    const std::int8_t type = found.types[number];
                    if (type >= 0 && describes(RowKinds::AllButTopics, type)) {
                        ++counts[static_cast<std::size_t>(type)];
                    }
                }
                for (std::size_t list = 0; list < counts.size(); ++list) {
                    into.lists[list].reserve(counts[list]);
                }
                read_rows(loaded, found.types, RowKinds::AllButTopics,
                          static_cast<std::int32_t>(from), static_cast<std::int32_t>(to), database,
                          into, [](std::int32_t) {});
            });
        for (std::size_t number = taken * kBlocksPerShare; number < blocks; ++number) {
            show(static_cast<std::int32_t>(number));
        }
        later.erase(later.begin(), later.begin() + static_cast<std::ptrdiff_t>(taken));
        later.push_back(std::move(topics));
        for (RowsOfRange& run : later) {
            for (std::size_t list = 0; list < rows.lists.size(); ++list) {
                std::move(run.lists[list].begin(), run.lists[list].end(),
                          std::back_inserter(rows.lists[list]));
            }
            std::move(run.skills.begin(), run.skills.end(), std::back_inserter(rows.skills));
            rows.replaced_names += run.replaced_names;
        }
    }

    ObjectLists loaded_rows;
    for (int list_index = 0; list_index < kObjectListCount; ++list_index) {
        loaded_rows.list(list_index).elements =
            std::move(rows.lists[static_cast<std::size_t>(list_index)]);
    }
    loaded_rows.skills() = std::move(rows.skills);
    loaded_rows.responses() = std::move(dialogue.responses());
    loaded_rows.dialogue_problems() = std::move(dialogue.dialogue_problems());
    if (whole) {
        fill_long_texts(loaded, loaded_rows, database.memory());
        fill_compiled_script_texts(loaded, database.memory());
    }
    if (const auto& error = database.read_error()) {
        return *error;
    }

    store = std::move(loaded);
    lists.take_rows(std::move(loaded_rows));
    // The rows reach the views only now, list by list, so that each view is filled at once.
    for (int list_index = 0; list_index < kObjectListCount; ++list_index) {
        view.show_rows(list_index, lists.list(list_index).elements);
    }
    view.report_replaced_names(rows.replaced_names);
    return {};
}

} // namespace

Result<void> load_plugin(ByteSpan file, TranslationDatabase& database, BlockStore& store,
                         ObjectLists& lists, LoaderView& view, LoadScope scope) {
    auto plugin = read_plugin(file, progress_of(view));
    if (!plugin) {
        return plugin.error();
    }
    return load_blocks(std::move(*plugin), database, store, lists, view, scope);
}

Result<void> load_plugin(FileContents&& file, TranslationDatabase& database, BlockStore& store,
                         ObjectLists& lists, LoaderView& view, LoadScope scope) {
    auto plugin = read_plugin(file.take_copy(), progress_of(view));
    const auto whole = file.check_whole();
    // The blocks lie in a copy of every byte now; the file is not kept twice.
    file = FileContents();
    if (!whole) {
        return whole.error();
    }
    if (!plugin) {
        return plugin.error();
    }
    return load_blocks(std::move(*plugin), database, store, lists, view, scope);
}

} // namespace orv
