#include "save/UnsavedNames.h"

#include <string>

namespace orv {

std::size_t unsaved_name_count(const ObjectLists& lists) {
    std::size_t count = 0;
    for (int list = 0; list < kObjectListCount; ++list) {
        for (const auto& element : lists.list(list).elements) {
            count += element.mark == mark::kEdited ? 1 : 0;
        }
    }
    return count;
}

bool may_discard_unsaved_names(Dialogs& dialogs, const ObjectLists& lists,
                               DiscardingCommand command) {
    const std::size_t count = unsaved_name_count(lists);
    if (count == 0) {
        return true;
    }
    const Text names =
        count == 1 ? cp1252(u8"1 GEÄNDERTER NAME (MIT „*“ MARKIERT) IST")
                   : std::to_string(count) + cp1252(u8" GEÄNDERTE NAMEN (MIT „*“ MARKIERT) SIND");
    const Text question = command == DiscardingCommand::Quit
                              ? cp1252(u8"TROTZDEM BEENDEN?")
                              : cp1252(u8"TROTZDEM EINE ANDERE DATEI ÖFFNEN?");
    const Text text = names +
                      cp1252(u8" NOCH NICHT GESPEICHERT.\rDIESE ÄNDERUNGEN GEHEN "
                             u8"VERLOREN.\r\r") +
                      question;
    return dialogs.message_box("ACHTUNG!", text, MessageButtons::YesNo, MessageIcon::Exclamation) ==
           MessageAnswer::Yes;
}

} // namespace orv
