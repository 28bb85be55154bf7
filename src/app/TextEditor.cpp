#include "app/TextEditor.h"

#include "app/Refusal.h"
#include "plugin/Subrecord.h"
#include "translation/NameEdit.h"
#include "translation/TranslationDatabase.h"

namespace orv {
namespace {

constexpr int kWidth = 700;
constexpr int kHeight = 500;
constexpr int kMarkColumnWidth = 20;
constexpr int kEntryColumnWidth = 350;
// The entry list's columns: the mark, then the ID.
constexpr int kMarkColumn = 0;

} // namespace

TextEditor::TextEditor(Workspace& workspace, Window& window, Dialogs& dialogs, Files& files,
                       std::function<void()> stored)
    : m_workspace(workspace), m_window(window), m_dialogs(dialogs), m_files(files),
      m_stored(std::move(stored)) {}

void TextEditor::on_control(const ControlEvent& event) {
    using namespace text_editor;
    switch (event.control) {
    case kEntryList:
        entry_selected();
        return;
    case kTranslationBox:
        translation_typed();
        return;
    case kSaveButton:
        if (save() && m_stored) {
            m_stored();
        }
        return;
    case kCopyButton:
        copy();
        return;
    case kCancelButton:
        close();
        return;
    default:
        return;
    }
}

void TextEditor::open(const TextTarget& target) {
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
    const TripleFile& texts = database.data_triples(target.text_database);
    if (const auto& error = database.read_error()) {
        show_refusal(m_dialogs, error->message);
        return;
    }
    m_lease = PopupLease::take(m_workspace, m_window);
    m_target = target;
    m_text_database = texts;
    m_selected.reset();

    // The rows are a copy: the editor never changes an object list, and a column sort
    // cannot run while it is open.
    m_rows.clear();
    if (target.object_list) {
        for (const auto& element : m_workspace.lists.list(*target.object_list).elements) {
            m_rows.push_back({element.id, element.block});
        }
    } else {
        for (const auto& skill : m_workspace.lists.skills()) {
            m_rows.push_back({skill.id, skill.block});
        }
    }

    const Text label(target.label);
    open_centred_popup(m_window, WindowId::TextEditor, label, kWidth, kHeight);

    using namespace text_editor;
    const auto add = [this](int number, ControlKind kind, const Text& text, Rect rect,
                            std::vector<ListColumn> columns = {}) {
        m_window.add_control(WindowId::TextEditor,
                             ControlSpec{number, kind, text, rect, std::move(columns), -1});
    };
    add(kOriginalLabel, ControlKind::Label, "Original-Text :", {205, 2, 100, 22});
    add(kOriginalBox, ControlKind::ReadOnlyTextBox, "", {205, 16, 485, 205});
    add(kTranslationLabel, ControlKind::Label, cp1252(u8"Übersetzung :"), {205, 225, 200, 22});
    add(kTranslationBox, ControlKind::TextBox, "", {205, 239, 485, 205});
    // Column "F" marks, as in the main lists, the entries whose stored text is not saved.
    add(kEntryList, ControlKind::ListView, "", {5, 0, 198, 472},
        {ListColumn{"F", kMarkColumnWidth}, ListColumn{"Id " + label, kEntryColumnWidth}});
    add(kSaveButton, ControlKind::Button, "SPEICHERN", {210, 448, 90, 24});
    add(kCopyButton, ControlKind::Button, "KOPIEREN", {402, 448, 90, 24});
    add(kCancelButton, ControlKind::Button, "ABBRECHEN", {595, 448, 90, 24});

    std::vector<ListRow> entries;
    entries.reserve(m_rows.size());
    for (const auto& row : m_rows) {
        entries.push_back({entry_mark(row.block), row.id});
    }
    m_window.set_rows(kEntryList, std::move(entries), {});

    m_window.set_control_enabled(kSaveButton, false);
    m_window.set_control_enabled(kCopyButton, false);
}

void TextEditor::entry_selected() {
    using namespace text_editor;
    if (!m_target || m_rows.empty()) {
        return;
    }
    const auto selected = m_window.selected_row(kEntryList);
    if (!selected || *selected >= m_rows.size()) {
        return;
    }
    if (!may_discard_translation()) {
        // The entry whose text is being typed stays chosen.
        m_window.select_row(kEntryList, *m_selected);
        return;
    }
    m_selected = *selected;
    const EditorRow& row = m_rows[*selected];

    Text record_text;
    m_entry_has_text = false;
    if (const Block* block = m_workspace.store.find(row.block)) {
        if (const auto text = find_subrecord(*block, m_target->text_subrecord)) {
            record_text = subrecord_text(*block, *text, TextKind::Whole);
            m_entry_has_text = true;
        }
    }
    // The original is the text the record had when the plugin was opened, so that the
    // source stays readable after a store; what was stored is the translation to go on
    // with. A record never stored into offers the text database's translation.
    Text original = record_text;
    Text translation;
    if (const Text* opened_with = m_workspace.stored_texts.original(row.block)) {
        original = *opened_with;
        translation = record_text;
    } else {
        translation = find_translated_text(m_text_database, row.id).value_or(Text{});
    }
    // The boxes show line breaks where the texts hold CR LF.
    m_window.set_control_text(kOriginalBox, original);
    m_window.set_control_text(kTranslationBox, translation);
    m_shown_translation = translation;

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
    if (!m_target || !m_selected) {
        return;
    }
    // A text that Windows-1252 cannot hold counts as typed: SPEICHERN then says why it
    // cannot store it.
    const auto typed = m_window.control_text(text_editor::kTranslationBox);
    m_window.set_control_enabled(text_editor::kSaveButton,
                                 m_entry_has_text && (!typed || !typed->empty()));
}

bool TextEditor::save() {
    if (!m_target || !m_selected) {
        return false;
    }
    // Stored as the box gives it, line breaks as CR LF.
    const auto translation = m_window.control_text(text_editor::kTranslationBox);
    if (!translation) {
        show_refusal(m_dialogs, foreign_text_message());
        return false;
    }
    if (translation->empty()) {
        return false;
    }
    const EditorRow& row = m_rows[*m_selected];
    Block* block = m_workspace.store.find(row.block);
    if (block == nullptr) {
        return false;
    }
    const auto subrecord = find_subrecord(*block, m_target->text_subrecord);
    if (!subrecord) {
        return false;
    }
    const Text before = subrecord_text(*block, *subrecord, TextKind::Whole);
    // The whole data is the text (no terminator); the subrecord's and the record's size
    // fields follow the new length, and the block's length with them.
    replace_subrecord_text(*block, *subrecord, TextKind::Whole, *translation);
    m_shown_translation = *translation;
    m_workspace.stored_texts.stored(row.block, before, *translation);
    m_window.set_cell(text_editor::kEntryList, *m_selected, kMarkColumn, entry_mark(row.block));
    return before != *translation;
}

Text TextEditor::entry_mark(std::int32_t block) const {
    return m_workspace.stored_texts.unsaved(block) ? Text(mark::kEdited) : Text{};
}

void TextEditor::copy() {
    using namespace text_editor;
    if (!m_target) {
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
    if (!m_target || !may_discard_translation()) {
        return;
    }
    m_window.close_popup(WindowId::TextEditor);
    m_window.activate_main_window();
    m_lease.reset();
    m_target.reset();
    m_rows.clear();
    m_selected.reset();
    m_entry_has_text = false;
    m_shown_translation.clear();
    m_text_database = {};
}

bool TextEditor::may_discard_translation() {
    if (!m_selected) {
        return true;
    }
    const auto typed = m_window.control_text(text_editor::kTranslationBox);
    if (typed && *typed == m_shown_translation) {
        return true;
    }
    return m_dialogs.message_box(
               "ACHTUNG!",
               cp1252(u8"DIE ÜBERSETZUNG IM TEXTFELD WURDE NICHT MIT 'SPEICHERN' ÜBERNOMMEN.\r"
                      u8"SIE GEHT VERLOREN.\r\rTROTZDEM VERWERFEN?"),
               MessageButtons::YesNoDefaultNo, MessageIcon::Exclamation) == MessageAnswer::Yes;
}

} // namespace orv
