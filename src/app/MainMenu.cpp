#include "app/MainMenu.h"

namespace orv {

std::vector<Menu> main_menu_bar() {
    // Every title and item has its mnemonic ("&" before the letter), none used twice in one
    // menu or among the titles: Alt+D opens "Datei", then the letter alone chooses an item.
    // "?" has no letter; its mnemonic is the "?" itself. The keys of the three items used
    // most choose them without the menu.
    return {
        {"&Datei",
         {{command::kOpen, cp1252(u8"Ö&ffnen"), MenuShortcut::CtrlO},
          {command::kSave, "&Speichern", MenuShortcut::CtrlS},
          {command::kSaveAs, "Speichern &als..."},
          {command::kCheck, cp1252(u8"&Prüfen")},
          {command::kSeparator, ""},
          {command::kQuit, "&Beenden"}}},
        {"&Externe Datenbank",
         {{command::kResetExternalDatabase, cp1252(u8"&Löschen")},
          {command::kLearnFromTranslation, cp1252(u8"&Aus Übersetzung lernen...")}}},
        {"&Text bearbeiten",
         // One entry per editor kind, in their order, with the kind's label.
         {{command::edit_text(0), "&Book"},
          {command::edit_text(1), "&Class"},
          {command::edit_text(2), "&Race"},
          {command::edit_text(3), "&Skill"},
          {command::edit_text(4), "B&irthsign"},
          {command::edit_text(5), "&Dialog"},
          {command::edit_text(6), "&Journal"},
          {command::edit_text(7), "Scrip&t"}}},
        {"&?",
         {{command::kHelp, "&Hilfe", MenuShortcut::F1},
          {command::kSeparator, ""},
          {command::kAbout, cp1252(u8"Ü&ber")}}},
    };
}

std::vector<MenuItem> list_popup_menu() {
    return {{command::kEditName, "&Bearbeiten"}};
}

} // namespace orv
