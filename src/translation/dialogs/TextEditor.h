#pragma once

#include <optional>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/Window.h"
#include "plugin/RecordTypes.h"
#include "translation/DatabaseFile.h"
#include "translation/Workspace.h"

namespace orv {

// Control numbers of the text editor. Of the two text boxes only the translation box is
// dispatched (the user typed into it); the original box has a number only so that the
// program can reach it.
namespace text_editor {
inline constexpr int kOriginalLabel = 1050;
inline constexpr int kTranslationLabel = 1051;
inline constexpr int kEntryList = 1052;
inline constexpr int kSaveButton = 1053;
inline constexpr int kCancelButton = 1054;
inline constexpr int kCopyButton = 1055;
inline constexpr int kOriginalBox = 1056;
inline constexpr int kTranslationBox = 1057;
} // namespace text_editor

// The window in which the user translates the long texts of one kind of record (books,
// classes, races, skills, birthsigns) and stores them into the records in memory. It has
// no event loop of its own: the dispatcher calls open() and the handlers.
class TextEditor {
public:
    TextEditor(Workspace& workspace, Window& window, Dialogs& dialogs, Files& files);

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
