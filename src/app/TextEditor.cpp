#include "app/TextEditor.h"

#include <algorithm>

#include "app/Refusal.h"
#include "plugin/Subrecord.h"
#include "translation/NameEdit.h"
#include "translation/PlayerTexts.h"
#include "translation/ResponseScriptTexts.h"
#include "translation/Responses.h"
#include "translation/TranslationDatabase.h"

namespace orv {
namespace {

constexpr int kWidth = 900;
constexpr int kHeight = 620;
// The entry list's columns: the mark, what names the entry, the beginning of its text.
constexpr int kMarkColumn = 0;
constexpr int kMarkColumnWidth = 20;
constexpr int kKeyColumnWidth = 130;
constexpr int kTextColumnWidth = 220;
// The main window's status field that shows how much is translated.
constexpr int kCountField = 1;

// "Dialog (288)": the kind and its entries still to do, as a tab counts its rows.
Text editor_title(const EditorKind& kind, const TranslationCounts& counts) {
    return Text(kind.label) + " (" + german_number(counts.named - counts.translated) + ")";
}

} // namespace

TextEditor::TextEditor(Workspace& workspace, Window& window, Dialogs& dialogs, Files& files,
                       std::function<void()> counts_changed)
    : m_workspace(workspace), m_window(window), m_dialogs(dialogs), m_files(files),
      m_counts_changed(std::move(counts_changed)) {}

void TextEditor::on_control(const ControlEvent& event) {
    using namespace text_editor;
    switch (event.control) {
    case kEntryList:
        entry_selected();
        return;
    case kTranslationBox:
        if (event.type != ListEventType::StoreKey) {
            translation_typed();
            return;
        }
        // Ctrl+Enter in the box stores as SPEICHERN does.
        [[fallthrough]];
    case kSaveButton:
        save_and_count();
        return;
    case kCopyButton:
        copy();
        return;
    case kSuggestionList:
        if (event.type == ListEventType::PickKey && event.row >= 0) {
            take_suggestion(static_cast<std::size_t>(event.row));
        } else if (event.type == ListEventType::DoubleClick) {
            if (const auto chosen = m_window.selected_row(kSuggestionList)) {
                take_suggestion(*chosen);
            }
        }
        return;
    case kCancelButton:
        close();
        return;
    case kEntryFilterField:
    case kOnlyToDoBox:
        apply_filter();
        return;
    default:
        return;
    }
}

void TextEditor::open(const EditorKind& kind) {
    // One pop-up at a time: the other one may be editing the same blocks and lists.
    if (m_workspace.dialog_open != 0) {
        return;
    }
    if (m_workspace.store.is_master_file()) {
        show_refusal(m_dialogs, master_file_edit_message());
        return;
    }
    // The text database is read once here; a file that exists but cannot be read must not
    // pass for one without translations.
    TranslationDatabase database(m_files, m_workspace.program_dir);
    const TripleFile no_database;
    const TripleFile& texts =
        kind.text_database.empty() ? no_database : database.data_triples(kind.text_database);
    const MemoryIndex& memory = database.memory();
    if (const auto& error = database.read_error()) {
        show_refusal(m_dialogs, error->message);
        return;
    }
    // Suggestions from the memory's translations of the kind; a memory that cannot be read
    // is said, and the text database still suggests.
    m_suggestion_index = TextSuggestionIndex();
    if (kind.suggestion_memory) {
        if (const auto& damage = database.memory_damage()) {
            show_refusal(m_dialogs, damage->message);
        } else {
            m_suggestion_index.add_source(memory_source_name(),
                                          memory_pairs(memory.entries(), *kind.suggestion_memory));
        }
    }
    if (!kind.text_database.empty()) {
        m_suggestion_index.add_source(Text(kind.text_database), text_pairs(texts));
    }

    m_lease = PopupLease::take(m_workspace, m_window);
    m_kind = kind;
    m_entries.emplace(kind, m_workspace, texts, memory);
    m_selected.reset();
    // Responses lose their topic links when a linked topic's German name is missing.
    m_links.reset();
    if (kind.responses) {
        m_links.emplace(m_workspace.lists, m_workspace.topic_database);
    }

    open_centred_popup(m_window, WindowId::TextEditor, editor_title(kind, m_entries->count()),
                       kWidth, kHeight);

    using namespace text_editor;
    const auto add = [this](int number, ControlKind control, const Text& text, Rect rect,
                            std::vector<ListColumn> columns = {}) {
        m_window.add_control(WindowId::TextEditor,
                             ControlSpec{number, control, text, rect, std::move(columns), -1});
    };
    add(kOriginalLabel, ControlKind::Label, "Original-Text :", {405, 2, 100, 22});
    if (!kind.responses) {
        add(kOriginalBox, ControlKind::ReadOnlyTextBox, "", {405, 16, 485, 205});
        add(kTranslationLabel, ControlKind::Label, cp1252(u8"Übersetzung :"), {405, 225, 200, 22});
        add(kTranslationBox, ControlKind::TextBox, "", {405, 239, 485, 183});
        add(kMissingNamesLine, ControlKind::Label, "", {405, 424, 485, 20});
    } else {
        // Responses are short: the boxes make room for the script's texts.
        add(kOriginalBox, ControlKind::ReadOnlyTextBox, "", {405, 16, 485, 130});
        add(kTranslationLabel, ControlKind::Label, cp1252(u8"Übersetzung :"), {405, 150, 200, 22});
        add(kTranslationBox, ControlKind::TextBox, "", {405, 164, 485, 130});
        add(kMissingNamesLine, ControlKind::Label, "", {405, 296, 485, 20});
        add(kScriptTextsLabel, ControlKind::Label, "", {405, 318, 485, 18});
        for (int row = 0; row < kScriptTextRows; ++row) {
            const int top = 334 + row * 22;
            add(kFirstScriptOriginal + row, ControlKind::ReadOnlyEditField, "",
                {405, top, 238, 20});
            add(kFirstScriptTranslation + row, ControlKind::EditField, "", {652, top, 238, 20});
        }
    }
    add(kEntryFilterField, ControlKind::SearchField, "", {5, 4, 250, 22});
    add(kOnlyToDoBox, ControlKind::CheckBox, cp1252(u8"Nur unübersetzte"), {265, 5, 130, 20});
    // Column "F" marks the entries as the main lists mark their rows.
    add(kEntryList, ControlKind::ListView, "", {5, 30, 390, 562},
        {ListColumn{"F", kMarkColumnWidth}, ListColumn{Text(kind.key_title), kKeyColumnWidth},
         ListColumn{"Text", kTextColumnWidth}});
    add(kSaveButton, ControlKind::Button, "SPEICHERN", {410, 448, 90, 24});
    add(kCopyButton, ControlKind::Button, "KOPIEREN", {602, 448, 90, 24});
    add(kCancelButton, ControlKind::Button, "ABBRECHEN", {795, 448, 90, 24});
    add(kSuggestionLabel, ControlKind::Label,
        cp1252(u8"Vorschläge (Doppelklick oder Alt+1 bis 5) :"), {405, 478, 485, 20});
    m_window.add_control(WindowId::TextEditor,
                         ControlSpec{kSuggestionList,
                                     ControlKind::ListView,
                                     {},
                                     {405, 494, 485, 98},
                                     {ListColumn{"Vorschlag", 265}, ListColumn{"Quelle", 100},
                                      ListColumn{"Treffer", 100}},
                                     -1,
                                     true});

    m_window.set_rows(kEntryList, m_entries->rows(), {});
    m_window.set_control_enabled(kSaveButton, false);
    m_window.set_control_enabled(kCopyButton, false);
    show_counts();
}

void TextEditor::open_on_response(std::size_t response) {
    const auto& responses = m_workspace.lists.responses();
    if (response >= responses.size()) {
        return;
    }
    const ResponseKind kind = responses[response].kind;
    const auto editor =
        std::find_if(kEditorKinds.begin(), kEditorKinds.end(),
                     [kind](const EditorKind& candidate) { return candidate.responses == kind; });
    if (editor == kEditorKinds.end()) {
        return;
    }
    open(*editor);
    if (!m_entries) {
        return;
    }
    const auto& entries = m_entries->entries();
    for (std::size_t index = 0; index < entries.size(); ++index) {
        if (entries[index].response == response) {
            m_window.select_row(text_editor::kEntryList, index);
            show_entry(index);
            return;
        }
    }
}

void TextEditor::save_and_count() {
    if (save() && m_counts_changed) {
        m_counts_changed();
    }
    // After the main window's counts, which a changed record shows anew.
    show_counts();
}

void TextEditor::show_counts() {
    if (m_entries) {
        const TranslationCounts counts = m_entries->count();
        m_window.set_status_text(kCountField, translated_status(counts));
        m_window.set_popup_title(WindowId::TextEditor, editor_title(*m_kind, counts));
    }
}

EntryFilter TextEditor::current_filter() {
    using namespace text_editor;
    return {m_window.control_text(kEntryFilterField).value_or(Text{}),
            m_window.control_checked(kOnlyToDoBox)};
}

void TextEditor::apply_filter() {
    if (!m_entries) {
        return;
    }
    m_window.set_visible_rows(text_editor::kEntryList, m_entries->visible(current_filter()));
}

void TextEditor::entry_selected() {
    using namespace text_editor;
    if (!m_entries || m_entries->entries().empty()) {
        return;
    }
    const auto selected = m_window.selected_row(kEntryList);
    if (!selected || *selected >= m_entries->entries().size()) {
        return;
    }
    if (!may_discard_translation()) {
        // The entry whose text is being typed stays chosen.
        m_window.select_row(kEntryList, *m_selected);
        return;
    }
    show_entry(*selected);
}

void TextEditor::show_entry(std::size_t index) {
    using namespace text_editor;
    m_selected = index;
    const EditorEntry& entry = (*m_entries)[index];
    // The original is the text the record had when the plugin was opened, so that the
    // source stays readable after a store; what was stored is the translation to go on
    // with.
    const Text& original = entry.original;
    const Text translation = m_entries->offered_translation(entry);
    // The boxes show line breaks where the texts hold CR LF.
    m_window.set_control_text(kOriginalBox, original);
    if (m_links) {
        // The topic names the link rule finds in the response stand out.
        std::vector<TextMark> marks;
        for (const auto& mention : m_links->mentions(original)) {
            marks.push_back(text_box_mark(original, mention.offset, mention.length));
        }
        m_window.set_text_marks(kOriginalBox, std::move(marks));
    }
    m_window.set_control_text(kTranslationBox, translation);
    m_shown_translation = translation;
    show_missing_names(translation);
    show_suggestions(original);
    show_script_texts(entry);

    // A translation of more than one character is worth storing; without one, the original
    // may be copied over as a start. Texts of one character leave the buttons as they were.
    const std::size_t lo = original.size();
    const std::size_t lt = translation.size();
    if (lo == 0 && lt == 0) {
        m_window.set_control_enabled(kSaveButton, false);
        m_window.set_control_enabled(kCopyButton, false);
    } else if (lo > 0 && lt == 0) {
        m_window.set_control_enabled(kSaveButton, false);
        m_window.set_control_enabled(kCopyButton, true);
    } else if (lo > 1 && lt > 1) {
        m_window.set_control_enabled(kSaveButton, true);
        m_window.set_control_enabled(kCopyButton, false);
    }
}

void TextEditor::translation_typed() {
    if (!m_entries || !m_selected) {
        return;
    }
    // A text that Windows-1252 cannot hold counts as typed: SPEICHERN then says why it
    // cannot store it.
    const auto typed = m_window.control_text(text_editor::kTranslationBox);
    m_window.set_control_enabled(text_editor::kSaveButton,
                                 (*m_entries)[*m_selected].has_text && (!typed || !typed->empty()));
    if (typed) {
        show_missing_names(*typed);
    }
}

void TextEditor::show_missing_names(const Text& translation) {
    if (!m_links || !m_selected) {
        return;
    }
    // The boxes give line breaks as CR LF, as the records hold them; the rule reads words.
    const Text& original = (*m_entries)[*m_selected].original;
    m_window.set_control_text(
        text_editor::kMissingNamesLine,
        missing_names_line(response_problems(*m_links, original, translation)));
}

void TextEditor::show_suggestions(const Text& original) {
    m_suggestions = m_suggestion_index.suggest(original);
    std::vector<ListRow> rows;
    rows.reserve(m_suggestions.size());
    for (const Suggestion& suggestion : m_suggestions) {
        rows.push_back({text_beginning(suggestion.dv_name), suggestion.source,
                        suggestion_match_text(suggestion)});
    }
    m_window.set_rows(text_editor::kSuggestionList, std::move(rows), {});
}

void TextEditor::show_script_texts(const EditorEntry& entry) {
    using namespace text_editor;
    if (!m_kind || !m_kind->responses) {
        return;
    }
    const ResponseElement& response = m_workspace.lists.responses().at(entry.response);
    const auto originals = shown_script_texts(response.original_script);
    const auto current = shown_script_texts(current_response_script(m_workspace.store, response));
    const std::size_t rows = std::min(originals.size(), static_cast<std::size_t>(kScriptTextRows));
    Text label;
    if (originals.size() > rows) {
        label = cp1252(u8"Texte im Ergebnisskript (die ersten ") + std::to_string(rows) + " von " +
                std::to_string(originals.size()) + ") :";
    } else if (!originals.empty()) {
        label = cp1252(u8"Texte im Ergebnisskript (Original, Übersetzung) :");
    }
    m_window.set_control_text(kScriptTextsLabel, label);
    m_shown_script_texts.clear();
    for (std::size_t row = 0; row < static_cast<std::size_t>(kScriptTextRows); ++row) {
        const int offset = static_cast<int>(row);
        const bool used = row < rows;
        const Text now = used && row < current.size() ? current[row] : Text{};
        m_window.set_control_text(kFirstScriptOriginal + offset, used ? originals[row] : Text{});
        m_window.set_control_text(kFirstScriptTranslation + offset, now);
        m_window.set_control_enabled(kFirstScriptOriginal + offset, used);
        m_window.set_control_enabled(kFirstScriptTranslation + offset, used);
        if (used) {
            m_shown_script_texts.push_back(now);
        }
    }
}

std::optional<std::vector<Text>> TextEditor::typed_script_texts(bool show_refusals) {
    std::vector<Text> texts;
    for (std::size_t row = 0; row < m_shown_script_texts.size(); ++row) {
        auto typed =
            m_window.control_text(text_editor::kFirstScriptTranslation + static_cast<int>(row));
        std::optional<Text> refusal;
        if (!typed) {
            refusal = foreign_text_message();
        } else {
            refusal = script_text_refusal(*typed);
        }
        if (refusal) {
            if (show_refusals) {
                show_refusal(m_dialogs, *refusal);
            }
            return std::nullopt;
        }
        texts.push_back(std::move(*typed));
    }
    return texts;
}

void TextEditor::take_suggestion(std::size_t index) {
    using namespace text_editor;
    if (!m_entries || !m_selected || index >= m_suggestions.size() ||
        !(*m_entries)[*m_selected].has_text) {
        return;
    }
    if (!may_discard_translation()) {
        return;
    }
    // Taken, not stored: leaving the entry now asks, as for typed text.
    const Text taken = m_suggestions[index].dv_name;
    m_window.set_control_text(kTranslationBox, taken);
    m_window.set_control_enabled(kSaveButton, true);
    show_missing_names(taken);
}

bool TextEditor::save() {
    const Stored stored = store();
    if (stored == Stored::Refused) {
        return false;
    }
    // As in the main window: the filter is applied again (a stored entry is no longer to
    // do), and the next entry still to do is chosen.
    const EntryFilter filter = current_filter();
    m_window.set_visible_rows(text_editor::kEntryList, m_entries->visible(filter));
    if (const auto next = m_entries->next_to_do(filter, *m_selected)) {
        m_window.select_row(text_editor::kEntryList, *next);
        show_entry(*next);
    }
    return stored == Stored::Changed;
}

TextEditor::Stored TextEditor::store() {
    if (!m_entries || !m_selected) {
        return Stored::Refused;
    }
    // Stored as the box gives it, line breaks as CR LF.
    const auto translation = m_window.control_text(text_editor::kTranslationBox);
    if (!translation) {
        show_refusal(m_dialogs, foreign_text_message());
        return Stored::Refused;
    }
    if (translation->empty()) {
        return Stored::Refused;
    }
    const EditorEntry& entry = (*m_entries)[*m_selected];
    Block* block = m_workspace.store.find(entry.block);
    if (block == nullptr) {
        return Stored::Refused;
    }
    // The script's texts are checked before anything is stored: all or nothing.
    const auto script_texts = typed_script_texts(true);
    if (!script_texts) {
        return Stored::Refused;
    }
    bool changed = false;
    if (m_kind->long_text) {
        const auto subrecord = find_subrecord(*block, m_kind->long_text->text_subrecord);
        if (!subrecord) {
            return Stored::Refused;
        }
        const Text before = subrecord_text(*block, *subrecord, TextKind::Whole);
        // The whole data is the text (no terminator); the subrecord's and the record's size
        // fields follow the new length, and the block's length with them.
        replace_subrecord_text(*block, *subrecord, TextKind::Whole, *translation);
        m_workspace.stored_texts.stored(entry.block, before, *translation);
        changed = before != *translation;
    } else if (const PlayerTextKind* kind = player_text_kind_labelled(m_kind->player_texts)) {
        // The kind's writer refuses, and leaves the record as it was, what its record cannot
        // hold (for a script: a text that breaks its code).
        const PlayerText target{static_cast<std::size_t>(entry.block), entry.key, entry.current,
                                entry.slot};
        if (auto refusal = kind->write(*kind, *block, target, *translation)) {
            show_refusal(m_dialogs, *refusal);
            return Stored::Refused;
        }
        m_workspace.stored_texts.stored(entry.block, entry.current, *translation, entry.slot);
        changed = entry.current != *translation;
    } else {
        // The response's row gets mark "*"; a save makes it "Ü". Its script's texts are
        // stored with it.
        ResponseElement& response = m_workspace.lists.responses().at(entry.response);
        changed = set_response_text(m_workspace.store, response, *translation);
        changed = set_response_script_texts(m_workspace.store, response, *script_texts) || changed;
        m_shown_script_texts = *script_texts;
    }
    m_shown_translation = *translation;
    m_entries->refresh(*m_selected);
    m_window.set_cell(text_editor::kEntryList, *m_selected, kMarkColumn,
                      (*m_entries)[*m_selected].mark.text());
    return changed ? Stored::Changed : Stored::Unchanged;
}

void TextEditor::copy() {
    using namespace text_editor;
    if (!m_entries) {
        return;
    }
    const auto original = m_window.control_text(kOriginalBox);
    if (!original) {
        show_refusal(m_dialogs, foreign_text_message());
        return;
    }
    if (original->empty()) {
        return;
    }
    // The copy replaces the box's text; typed text is asked about first.
    if (!may_discard_translation()) {
        return;
    }
    m_window.set_control_text(kTranslationBox, *original);
    // The copy is the record's own text: nothing to lose yet.
    m_shown_translation = *original;
    m_window.set_control_enabled(kSaveButton, true);
    m_window.set_control_enabled(kCopyButton, false);
}

void TextEditor::close() {
    if (!m_entries || !may_discard_translation()) {
        return;
    }
    m_window.close_popup(WindowId::TextEditor);
    m_window.activate_main_window();
    m_lease.reset();
    m_kind.reset();
    m_entries.reset();
    m_selected.reset();
    m_shown_translation.clear();
    m_shown_script_texts.clear();
    m_suggestion_index = TextSuggestionIndex();
    m_suggestions.clear();
    if (m_counts_changed) {
        m_counts_changed();
    }
}

bool TextEditor::may_discard_translation() {
    if (!m_selected) {
        return true;
    }
    const auto typed = m_window.control_text(text_editor::kTranslationBox);
    const auto script_texts = typed_script_texts(false);
    if (typed && *typed == m_shown_translation && script_texts &&
        *script_texts == m_shown_script_texts) {
        return true;
    }
    return m_dialogs.message_box(
               "ACHTUNG!",
               cp1252(u8"DIE ÜBERSETZUNG IM TEXTFELD WURDE NICHT MIT 'SPEICHERN' ÜBERNOMMEN.\r"
                      u8"SIE GEHT VERLOREN.\r\rTROTZDEM VERWERFEN?"),
               MessageButtons::YesNoDefaultNo, MessageIcon::Exclamation) == MessageAnswer::Yes;
}

} // namespace orv
