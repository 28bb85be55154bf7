#pragma once

#include <array>
#include <cstddef>

#include "app/EditorKinds.h"
#include "platform/Window.h"
#include "plugin/RecordTypes.h"

// Every number by which the window tells the program which menu item or control an event
// came from. This is the one place that writes them: renumber an item here and every menu,
// window and handler follows. Controls are numbered across all windows, so that one
// dispatcher tells them apart; each window owns one range.
namespace orv {

// A closed range of numbers owned by one window.
struct IdRange {
    int first = 0;
    int last = 0;

    constexpr bool contains(int id) const { return id >= first && id <= last; }
};

// The items of the menu bar and of the object lists' popup menu.
namespace command {
// A line between menu items, not a command.
inline constexpr int kSeparator = kMenuSeparator;
inline constexpr int kOpen = 1;
inline constexpr int kSave = 2;
inline constexpr int kSaveAs = 3;
inline constexpr int kQuit = 4;
inline constexpr int kResetExternalDatabase = 5;
inline constexpr int kLearnFromTranslation = 6;
inline constexpr int kCheck = 7;
// "Text bearbeiten": one entry per editor kind, in the order of kEditorKinds.
inline constexpr IdRange kEditTexts{9, 9 + static_cast<int>(kEditorKinds.size()) - 1};
inline constexpr int kHelp = 20;
inline constexpr int kAbout = 21;
inline constexpr int kEditName = 25;

// The "Text bearbeiten" entry of editor kind `index` of kEditorKinds.
constexpr int edit_text(std::size_t index) {
    return kEditTexts.first + static_cast<int>(index);
}
} // namespace command

// The command menu items: "Öffnen", "Speichern", "Speichern als...", "Löschen", "Aus Übersetzung
// lernen...", "Prüfen", the eight "Text bearbeiten" entries and "Bearbeiten". They are always
// disabled and enabled together, in this order, so that no second command or pop-up starts while
// one works. "Beenden", "Hilfe" and "Über" are never disabled.
inline constexpr std::array<int, 15> kCommandMenuItems = {command::kOpen,
                                                          command::kSave,
                                                          command::kSaveAs,
                                                          command::kResetExternalDatabase,
                                                          command::kLearnFromTranslation,
                                                          command::kCheck,
                                                          command::edit_text(0),
                                                          command::edit_text(1),
                                                          command::edit_text(2),
                                                          command::edit_text(3),
                                                          command::edit_text(4),
                                                          command::edit_text(5),
                                                          command::edit_text(6),
                                                          command::edit_text(7),
                                                          command::kEditName};
// Whether a command menu item needs a loaded plugin: all but "Öffnen" and "Löschen". Those
// are greyed at start-up until the first Open, and again after an Open that left no plugin.
constexpr bool needs_plugin(int command_menu_item) {
    return command_menu_item != command::kOpen &&
           command_menu_item != command::kResetExternalDatabase &&
           command_menu_item != command::kLearnFromTranslation;
}

// The controls of the main window: the frame, the tab bar, one list view per object list
// (3 to 28 with today's 26 lists), then the filter row; a new list moves the filter row on.
inline constexpr int kFrameControl = 1;
inline constexpr int kTabBarControl = 2;
inline constexpr int kFirstListControl = 3;
inline constexpr int kLastListControl = kFirstListControl + kObjectListCount - 1;
// The filter row above the tab bar: the filter box, two check boxes and its label.
inline constexpr int kFilterField = kLastListControl + 1;
inline constexpr int kOnlyUntranslatedBox = kLastListControl + 2;
inline constexpr int kShowNamelessBox = kLastListControl + 3;
inline constexpr int kFilterLabel = kLastListControl + 4;
inline constexpr IdRange kMainWindowControls{kFrameControl, kFilterLabel};

// The list view of object list `list_index`, and the list a list view shows.
constexpr int list_view_of(int list_index) {
    return kFirstListControl + list_index;
}
constexpr bool is_list_view(int control) {
    return control >= kFirstListControl && control <= kLastListControl;
}

// The name-edit dialog, in the order it creates its controls.
namespace name_edit {
inline constexpr IdRange kControls{1032, 1041};
inline constexpr int kIdLabel = 1032;
inline constexpr int kIdField = 1033;
inline constexpr int kEvNameLabel = 1034;
inline constexpr int kEvNameField = 1035;
inline constexpr int kDvNameLabel = 1036;
inline constexpr int kDvNameField = 1037;
inline constexpr int kOkButton = 1038;
inline constexpr int kCancelButton = 1039;
// "Für alle gleichen Namen übernehmen (N weitere)", only when other rows share the EV Name.
inline constexpr int kSameNamesBox = 1040;
// Up to five suggested DV Names with their source, only when there are any.
inline constexpr int kSuggestionList = 1041;
} // namespace name_edit

// The text editor. Of its two text boxes only the translation box reports events (the
// user typed into it, or pressed Ctrl+Enter); the original box has a number only so that the
// program can reach it. The filter row above the entry list works as the main window's.
namespace text_editor {
inline constexpr IdRange kControls{1050, 1079};
inline constexpr int kOriginalLabel = 1050;
inline constexpr int kTranslationLabel = 1051;
inline constexpr int kEntryList = 1052;
inline constexpr int kSaveButton = 1053;
inline constexpr int kCancelButton = 1054;
inline constexpr int kCopyButton = 1055;
inline constexpr int kOriginalBox = 1056;
inline constexpr int kTranslationBox = 1057;
inline constexpr int kEntryFilterField = 1058;
inline constexpr int kOnlyToDoBox = 1059;
// Under the translation box of a response: the topic names and defines it lacks.
inline constexpr int kMissingNamesLine = 1060;
// Under the buttons: translations of the whole text from the memory and the text database.
inline constexpr int kSuggestionLabel = 1061;
inline constexpr int kSuggestionList = 1062;
// Under a response: the texts its result script shows, each original beside a field for its
// translation, one row per text.
inline constexpr int kScriptTextsLabel = 1063;
inline constexpr int kScriptTextRows = 5;
inline constexpr int kFirstScriptOriginal = 1064;
inline constexpr int kFirstScriptTranslation = kFirstScriptOriginal + kScriptTextRows;
static_assert(kFirstScriptTranslation + kScriptTextRows - 1 <= kControls.last);
} // namespace text_editor

// The findings window of "Prüfen".
namespace check_window {
inline constexpr IdRange kControls{1080, 1080};
inline constexpr int kFindingList = 1080;
} // namespace check_window

// The commands' numbers must not meet either, and every text target has its menu entry.
static_assert(command::kEditTexts.first > command::kCheck &&
              command::kEditTexts.last < command::kHelp);
static_assert(kEditorKinds.size() == 8, "kCommandMenuItems lists one entry per editor kind");

// The windows' ranges must not meet: one dispatcher tells every control apart.
static_assert(kMainWindowControls.last < name_edit::kControls.first);
static_assert(name_edit::kControls.last < text_editor::kControls.first);
static_assert(text_editor::kControls.last < check_window::kControls.first);

} // namespace orv
