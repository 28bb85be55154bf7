#include "app/EditorEntries.h"

#include <algorithm>

#include "plugin/Subrecord.h"
#include "translation/TranslationMemory.h"

namespace orv {
namespace {

bool contains_folded(TextView text, TextView folded_query) {
    return fold_case(text).find(folded_query) != Text::npos;
}

} // namespace

EditorEntries::EditorEntries(const EditorKind& kind, const Workspace& workspace,
                             TripleFile database, MemoryIndex memory)
    : m_workspace(workspace), m_long_text(kind.long_text),
      m_player_texts(player_text_kind_labelled(kind.player_texts)), m_database(std::move(database)),
      m_memory(std::move(memory)) {
    const ObjectLists& lists = workspace.lists;
    if (m_player_texts != nullptr) {
        m_memory_kind = memory_kind_labelled(m_player_texts->label);
        // Several entries share a record where it holds several texts; each is one entry.
        for (auto& text : player_texts()) {
            m_entries.push_back({.key = text.key,
                                 .id = text.key,
                                 .block = static_cast<std::int32_t>(text.block),
                                 .slot = text.slot,
                                 .current = std::move(text.text),
                                 .has_text = true});
        }
    } else if (m_long_text) {
        for (std::size_t target = 0; target < kTextTargets.size(); ++target) {
            if (kTextTargets[target].tag == m_long_text->tag) {
                m_memory_kind = kFirstTextMemory + static_cast<int>(target);
            }
        }
        if (m_long_text->object_list) {
            for (const auto& element : lists.list(*m_long_text->object_list).elements) {
                m_entries.push_back({.key = element.id, .id = element.id, .block = element.block});
            }
        } else {
            for (const auto& skill : lists.skills()) {
                m_entries.push_back({.key = skill.id, .id = skill.id, .block = skill.block});
            }
        }
        // A column sort in the main window may have reordered the object list; the editor
        // lists in file order, which is the order of the blocks.
        std::ranges::stable_sort(m_entries, {}, &EditorEntry::block);
    } else if (kind.responses) {
        const auto& responses = lists.responses();
        for (std::size_t index = 0; index < responses.size(); ++index) {
            if (responses[index].kind == *kind.responses) {
                m_entries.push_back({.key = responses[index].topic,
                                     .id = responses[index].id,
                                     .block = responses[index].block,
                                     .response = index});
            }
        }
    }
    for (auto& entry : m_entries) {
        fill(entry);
    }
}

std::vector<PlayerText> EditorEntries::player_texts() const {
    return m_player_texts->find(*m_player_texts, m_workspace.store, m_workspace.lists);
}

void EditorEntries::fill(EditorEntry& entry) const {
    const BlockStore& store = m_workspace.store;
    const StoredTexts& stored = m_workspace.stored_texts;
    if (m_player_texts != nullptr) {
        // The current text was read with the others (see refresh()).
        const Text* opened_with = stored.original(entry.block, entry.slot);
        entry.original = opened_with != nullptr ? *opened_with : entry.current;
        entry.mark = stored.unsaved(entry.block, entry.slot)    ? mark::kEdited
                     : opened_with != nullptr || learned(entry) ? mark::kExternal
                                                                : mark::kNone;
        entry.to_do = entry.has_text && !entry.current.empty() && entry.mark.empty();
        return;
    }
    if (!m_long_text) {
        const ResponseElement& response = m_workspace.lists.responses().at(entry.response);
        entry.has_text = store.find(response.block) != nullptr;
        entry.current = current_response_text(store, response);
        entry.original = response.original;
        entry.mark = response.mark;
        entry.to_do = entry.mark.empty() && !entry.current.empty();
        return;
    }
    entry.has_text = false;
    entry.current.clear();
    if (const Block* block = store.find(entry.block)) {
        if (const auto text = find_subrecord(*block, m_long_text->text_subrecord)) {
            entry.current = subrecord_text(*block, *text, TextKind::Whole);
            entry.has_text = true;
        }
    }
    const Text* opened_with = m_workspace.stored_texts.original(entry.block);
    entry.original = opened_with != nullptr ? *opened_with : entry.current;
    const TripleEntry* known = m_index.find(entry.id);
    const bool already_german =
        (known != nullptr && !(*known)[2].empty() && (*known)[2] == entry.current) ||
        learned(entry);
    if (m_workspace.stored_texts.unsaved(entry.block)) {
        entry.mark = mark::kEdited;
    } else if (opened_with != nullptr || (entry.has_text && already_german)) {
        entry.mark = mark::kExternal;
    } else {
        entry.mark = mark::kNone;
    }
    entry.to_do = entry.has_text && !entry.current.empty() && entry.mark.empty();
}

void EditorEntries::refresh(std::size_t index) {
    EditorEntry& entry = m_entries.at(index);
    if (m_player_texts != nullptr) {
        // A record that no longer offers the text (its code no longer decodes) has none.
        entry.current.clear();
        entry.has_text = false;
        for (auto& text : player_texts()) {
            if (static_cast<std::int32_t>(text.block) == entry.block && text.slot == entry.slot) {
                entry.current = std::move(text.text);
                entry.has_text = true;
            }
        }
    }
    fill(entry);
}

bool EditorEntries::learned(const EditorEntry& entry) const {
    return m_memory_kind && !entry.current.empty() &&
           m_memory.original_of(*m_memory_kind, entry.current) != nullptr;
}

Text EditorEntries::offered_translation(const EditorEntry& entry) const {
    if (!m_long_text) {
        return entry.mark.empty() ? Text{} : entry.current;
    }
    if (m_workspace.stored_texts.original(entry.block) != nullptr || learned(entry)) {
        return entry.current;
    }
    const TripleEntry* known = m_index.find(entry.id);
    return known != nullptr ? (*known)[2] : Text{};
}

std::vector<ListRow> EditorEntries::rows() const {
    std::vector<ListRow> rows;
    rows.reserve(m_entries.size());
    for (const auto& entry : m_entries) {
        rows.push_back({entry.mark.text(), entry.key, text_beginning(entry.original)});
    }
    return rows;
}

std::vector<std::size_t> EditorEntries::visible(const EntryFilter& filter) const {
    const Text query = fold_case(filter.query);
    std::vector<std::size_t> shown;
    for (std::size_t index = 0; index < m_entries.size(); ++index) {
        const EditorEntry& entry = m_entries[index];
        if (filter.only_to_do && !entry.to_do) {
            continue;
        }
        if (query.empty() || contains_folded(entry.key, query) ||
            contains_folded(entry.original, query) || contains_folded(entry.current, query)) {
            shown.push_back(index);
        }
    }
    return shown;
}

std::optional<std::size_t> EditorEntries::next_to_do(const EntryFilter& filter,
                                                     std::size_t index) const {
    for (const std::size_t shown : visible(filter)) {
        if (shown > index && m_entries[shown].to_do) {
            return shown;
        }
    }
    return std::nullopt;
}

TranslationCounts EditorEntries::count() const {
    TranslationCounts counts;
    for (const auto& entry : m_entries) {
        if (entry.has_text && !entry.current.empty()) {
            ++counts.named;
            counts.translated += entry.to_do ? 0 : 1;
        }
    }
    return counts;
}

Text text_beginning(TextView text, std::size_t length) {
    Text line;
    std::size_t i = 0;
    for (; i < text.size() && line.size() < length; ++i) {
        const char byte = text[i];
        if (byte == '\r' || byte == '\n') {
            // CR LF is one line break, one blank.
            if (byte == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            line.push_back(' ');
        } else {
            line.push_back(byte);
        }
    }
    // Bytes left unread: the text goes on beyond the line.
    return i < text.size() ? line + "..." : line;
}

} // namespace orv
