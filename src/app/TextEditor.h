#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "app/EditorEntries.h"
#include "app/EditorKinds.h"
#include "app/Popup.h"
#include "app/PopupLease.h"
#include "app/Workspace.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/Window.h"
#include "translation/DialogueRules.h"
#include "translation/TextSuggestions.h"

namespace orv {

// The window in which the user translates the texts of one kind (book texts, the
// descriptions of classes, races, skills and birthsigns, responses, journal entries, the
// message texts and buttons of compiled scripts) and stores them into the records in memory. It has
// no event loop of its own: the application calls open() and hands it its controls' events. Which
// entries are still to do, what the filter keeps and which entry comes next are the rules of
// EditorEntries.
class TextEditor final : public Popup {
public:
    // `counts_changed` is called after SPEICHERN changed a record's text (unsaved work now)
    // and after the editor closed: the main window shows its title and counts anew. While the
    // editor is open, status field 1 counts its entries instead of the names.
    TextEditor(Workspace& workspace, Window& window, Dialogs& dialogs, Files& files,
               std::function<void()> counts_changed = {});

    WindowId window() const override { return WindowId::TextEditor; }
    IdRange controls() const override { return text_editor::kControls; }
    // The entry list, the translation box (Ctrl+Enter in it stores like SPEICHERN), the
    // filter row and the three buttons.
    void on_control(const ControlEvent& event) override;
    void on_close_box() override { close(); }

    // Opens the editor for one kind, unless a pop-up is open or the plugin is a master file.
    void open(const EditorKind& kind);
    // Opens the Dialog or Journal editor, as the response's kind is, with the response
    // (its place in the lists' responses) chosen.
    void open_on_response(std::size_t response);
    // The entry list was clicked: shows the chosen entry's text and its translation.
    void entry_selected();
    // The user changed the translation box's text: SPEICHERN may store it.
    void translation_typed();
    // The filter box or "Nur unübersetzte" changed: the list shows the entries they keep.
    void apply_filter();
    // SPEICHERN: puts the translation box's text into the entry's record, then chooses the
    // next entry still to do that the filter shows, if there is one. True when the record's
    // text changed, which is then unsaved work until the next save.
    bool save();
    // KOPIEREN: copies the original text into the translation box, after asking when that
    // would replace typed text.
    void copy();
    // A double-click on suggestion `index`, or Alt+1 to Alt+5 for the first five: its
    // text replaces the translation box's, after asking when that would replace typed text.
    // It is typed work until SPEICHERN stores it.
    void take_suggestion(std::size_t index);
    // ABBRECHEN or the close box.
    void close();
    // Whether the translation box may be emptied: true when the editor is closed or the box
    // holds what was last shown or stored, otherwise the user is asked, since typed text
    // would be lost. Also asked before the program quits.
    bool may_discard_translation();

private:
    // What a store did: refused (nothing to store, a text Windows-1252 cannot hold, or one
    // the record cannot hold), stored the text the record already held, or changed the record.
    enum class Stored { Refused, Unchanged, Changed };
    Stored store();
    EntryFilter current_filter();
    // Shows entry `index` in the two boxes and sets the buttons.
    void show_entry(std::size_t index);
    // The line under the translation box: what `translation` lacks of the selected
    // response's topic names and defines (only in the Dialog and Journal editors).
    void show_missing_names(const Text& translation);
    // SPEICHERN or Ctrl+Enter.
    void save_and_count();
    // "übersetzt 120 von 408" for the entries, in status field 1.
    void show_counts();
    // The suggestions for the selected entry's original.
    void show_suggestions(const Text& original);
    // The rows of the selected response's script texts: original and current text.
    void show_script_texts(const EditorEntry& entry);
    // The script text fields' texts, as many as the response has rows for; nothing (and
    // the refusal shown) when one cannot be stored.
    std::optional<std::vector<Text>> typed_script_texts(bool show_refusals);

    Workspace& m_workspace;
    Window& m_window;
    Dialogs& m_dialogs;
    Files& m_files;
    std::function<void()> m_counts_changed;
    // Held while the editor is open.
    std::optional<PopupLease> m_lease;
    std::optional<EditorKind> m_kind;
    // The topic link rule, while responses are edited.
    std::optional<TopicLinks> m_links;
    // A copy taken when the editor opens: the editor never changes an object list, and a
    // column sort cannot run while it is open.
    std::optional<EditorEntries> m_entries;
    std::optional<std::size_t> m_selected;
    // Built when the editor opens: the memory's translations of the kind, then the text
    // database's.
    TextSuggestionIndex m_suggestion_index;
    std::vector<Suggestion> m_suggestions;
    // The text the translation box held when it was last filled or stored; anything else in
    // it was typed and is not in the record.
    Text m_shown_translation;
    // The same for the script text fields in use.
    std::vector<Text> m_shown_script_texts;
};

} // namespace orv
