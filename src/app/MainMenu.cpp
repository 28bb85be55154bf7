#include "app/MainMenu.h"

namespace orv {

std::vector<Menu> main_menu_bar() {
    // No keyboard shortcuts and no mnemonic letters: the texts are shown as written.
    return {
        {"Datei",
         {{command::kOpen, cp1252(u8"Öffnen")},
          {command::kSave, "Speichern"},
          {command::kSaveAs, "Speichern als..."},
          {command::kCheck, cp1252(u8"Prüfen")},
          {0, ""},
          {command::kQuit, "Beenden"}}},
        {"Externe Datenbank", {{command::kResetExternalDatabase, cp1252(u8"Löschen")}}},
        {"Text bearbeiten",
         {{9, "Book"}, {10, "Class"}, {11, "Race"}, {12, "Skill"}, {13, "Birthsign"}}},
        {"?", {{command::kHelp, "Hilfe"}, {0, ""}, {command::kAbout, cp1252(u8"Über")}}},
    };
}

std::vector<MenuItem> list_popup_menu() {
    return {{command::kEditName, "Bearbeiten"}};
}

} // namespace orv
