#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "app/EditorKinds.h"
#include "app/Workspace.h"
#include "platform/Window.h"
#include "translation/DatabaseFile.h"
#include "translation/MemoryIndex.h"
#include "translation/PlayerTexts.h"
#include "translation/RowFilter.h"
#include "translation/TranslationDatabase.h"

namespace orv {

// One entry of the text editor's list: a record whose text the user translates.
struct EditorEntry {
    // What names it in the list: the record's ID, a response's topic, an entry's journal ID,
    // a player text's key ("script ID#2").
    Text key = {};
    // What the text database knows it by: the record's ID or the response's INFO ID.
    Text id = {};
    std::int32_t block = 0;
    // The response's place in the lists' responses; responses only.
    std::size_t response = 0;
    // Which of its record's texts it is where a record holds several (a script's message texts
    // and buttons, from 1); 0 otherwise.
    int slot = 0;

    // Filled from the workspace when the entries are made and after each store:
    // Column "F": "*" while a text stored by the user is not saved, "Ü" once the record holds
    // a translation (saved, or already the database's German text), "B" for a response the
    // response database translated when the plugin was opened. A player text has no database:
    // it is translated once a text stored into it was saved.
    RowMark mark = {};
    // The text the record had when the plugin was opened, and the one it holds now (both
    // empty when the record has no text to translate).
    Text original = {};
    Text current = {};
    // Whether the record has the subrecord a store writes into.
    bool has_text = false;
    // Still to do: a text that is not empty and holds no translation yet.
    bool to_do = false;
};

// What the filter row above the entry list keeps: entries whose key, original text or
// current text contains the query, with the main window's filter rules (see RowFilter),
// and with "Nur unübersetzte" only those still to do.
struct EntryFilter {
    Text query;
    bool only_to_do = false;
};

// The entries of one editor kind in file order (the order of their records), and the
// rules the editor follows for them. Nothing here talks to the window.
class EditorEntries {
public:
    // `database` is the kind's text database as read when the editor opened, `memory` the
    // translation memory then: a long text it holds as German counts as done, as one the
    // text database translates.
    EditorEntries(const EditorKind& kind, const Workspace& workspace, TripleFile database,
                  MemoryIndex memory = MemoryIndex());
    EditorEntries(const EditorEntries&) = delete;
    EditorEntries& operator=(const EditorEntries&) = delete;

    const std::vector<EditorEntry>& entries() const { return m_entries; }
    const EditorEntry& operator[](std::size_t index) const { return m_entries.at(index); }

    // Reads entry `index`'s mark, texts and state again, after a store changed its record.
    void refresh(std::size_t index);
    // The translation the editor offers for an entry: what the record holds, once it holds
    // one; for a long text never stored into, the text database's German text (first entry
    // of its ID), if any; otherwise nothing.
    Text offered_translation(const EditorEntry& entry) const;

    // The list's rows: mark, key and the beginning of the original text.
    std::vector<ListRow> rows() const;
    // The indices of the entries the filter keeps, ascending.
    std::vector<std::size_t> visible(const EntryFilter& filter) const;
    // The first entry after `index` that the filter keeps and that is still to do.
    std::optional<std::size_t> next_to_do(const EntryFilter& filter, std::size_t index) const;
    // Counted as the main window counts names: `named` the entries with a text, `translated`
    // those of them not still to do ("übersetzt 120 von 408", see translated_status()).
    TranslationCounts count() const;

private:
    void fill(EditorEntry& entry) const;
    // The player texts of the kind as their records hold them now.
    std::vector<PlayerText> player_texts() const;
    // Whether a long text's record holds a German text of the memory.
    bool learned(const EditorEntry& entry) const;

    const Workspace& m_workspace;
    std::optional<TextTarget> m_long_text;
    // The player-text kind; nothing for long texts and responses.
    const PlayerTextKind* m_player_texts = nullptr;
    TripleFile m_database;
    TextDatabaseIndex m_index{m_database};
    MemoryIndex m_memory;
    // The memory's kind of the long texts and the script texts; nothing for responses.
    std::optional<int> m_memory_kind;
    std::vector<EditorEntry> m_entries;
};

// The beginning of a text as one line of the entry list: line breaks become blanks, and a
// text longer than `length` bytes is cut there and ends with "...".
Text text_beginning(TextView text, std::size_t length = 80);

} // namespace orv
