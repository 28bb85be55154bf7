#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "app/Popup.h"
#include "app/PopupLease.h"
#include "app/Workspace.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/Window.h"
#include "plugin/RecordTypes.h"
#include "translation/DatabaseFile.h"

namespace orv {

// The window in which the user translates the long texts of one kind of record (books,
// classes, races, skills, birthsigns) and stores them into the records in memory. It has
// no event loop of its own: the application calls open() and hands it its controls' events.
class TextEditor final : public Popup {
public:
    // `stored` is called after SPEICHERN changed a record's text (unsaved work now).
    TextEditor(Workspace& workspace, Window& window, Dialogs& dialogs, Files& files,
               std::function<void()> stored = {});

    WindowId window() const override { return WindowId::TextEditor; }
    IdRange controls() const override { return text_editor::kControls; }
    // The entry list, the translation box and the three buttons.
    void on_control(const ControlEvent& event) override;
    void on_close_box() override { close(); }

    // Opens the editor for one kind, unless a pop-up is open or the plugin is a master file.
    void open(const TextTarget& target);
    // The entry list was clicked: shows the chosen entry's text and its translation.
    void entry_selected();
    // The user changed the translation box's text: SPEICHERN may store it.
    void translation_typed();
    // SPEICHERN: puts the translation box's text into the entry's record; true when the
    // record's text changed, which is then unsaved work until the next save.
    bool save();
    // KOPIEREN: copies the original text into the translation box, after asking when that
    // would replace typed text.
    void copy();
    // ABBRECHEN or the close box.
    void close();
    // Whether the translation box may be emptied: true when the editor is closed or the box
    // holds what was last shown or stored, otherwise the user is asked, since typed text
    // would be lost. Also asked before the program quits.
    bool may_discard_translation();

private:
    // Column "F" of an entry: "*" while its record holds a stored text not yet saved.
    Text entry_mark(std::int32_t block) const;

    struct EditorRow {
        Text id;
        std::int32_t block = 0;
    };

    Workspace& m_workspace;
    Window& m_window;
    Dialogs& m_dialogs;
    Files& m_files;
    std::function<void()> m_stored;
    // Held while the editor is open.
    std::optional<PopupLease> m_lease;
    std::optional<TextTarget> m_target;
    std::vector<EditorRow> m_rows;
    std::optional<std::size_t> m_selected;
    // Whether the selected entry's record has the subrecord SPEICHERN stores into.
    bool m_entry_has_text = false;
    // The text the translation box held when it was last filled or stored; anything else in
    // it was typed and is not in the record.
    Text m_shown_translation;
    TripleFile m_text_database;
};

} // namespace orv
