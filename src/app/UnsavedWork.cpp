#include "app/UnsavedWork.h"

#include <string>

namespace orv {
namespace {

// "1 geänderter Name", "3 geänderte Namen": German counts with their endings.
Text counted(std::size_t count, const char8_t* one, const char8_t* many) {
    return std::to_string(count) + " " + cp1252(count == 1 ? one : many);
}

// The first lines of the question: what is lost. Names alone keep the wording users know;
// with texts the question counts both.
Text what_is_lost(const UnsavedWork& work) {
    if (work.texts == 0) {
        const Text names =
            work.names == 1
                ? cp1252(u8"1 GEÄNDERTER NAME (MIT „*“ MARKIERT) IST")
                : std::to_string(work.names) + cp1252(u8" GEÄNDERTE NAMEN (MIT „*“ MARKIERT) SIND");
        return names + cp1252(u8" NOCH NICHT GESPEICHERT.\rDIESE ÄNDERUNGEN GEHEN VERLOREN.");
    }
    Text lost;
    if (work.names > 0) {
        lost = counted(work.names, u8"geänderter Name", u8"geänderte Namen") + " und ";
    }
    lost += counted(work.texts, u8"geänderter Text", u8"geänderte Texte");
    lost += work.names + work.texts == 1 ? " geht verloren." : " gehen verloren.";
    return "NOCH NICHT GESPEICHERT:\r" + lost;
}

} // namespace

std::size_t unsaved_name_count(const ObjectLists& lists) {
    std::size_t count = 0;
    for (int list = 0; list < kObjectListCount; ++list) {
        for (const auto& element : lists.list(list).elements) {
            count += element.mark == mark::kEdited ? 1 : 0;
        }
    }
    return count;
}

UnsavedWork unsaved_work(const ObjectLists& lists, const StoredTexts& texts) {
    std::size_t responses = 0;
    for (const auto& response : lists.responses()) {
        responses += response.mark == mark::kEdited ? 1 : 0;
    }
    return {unsaved_name_count(lists), texts.unsaved_count() + responses};
}

bool may_discard_unsaved_work(Dialogs& dialogs, const UnsavedWork& work,
                              DiscardingCommand command) {
    if (!work.any()) {
        return true;
    }
    const Text question = command == DiscardingCommand::Quit
                              ? cp1252(u8"TROTZDEM BEENDEN?")
                              : cp1252(u8"TROTZDEM EINE ANDERE DATEI ÖFFNEN?");
    return dialogs.message_box("ACHTUNG!", what_is_lost(work) + "\r\r" + question,
                               MessageButtons::YesNoDefaultNo,
                               MessageIcon::Exclamation) == MessageAnswer::Yes;
}

} // namespace orv
