#include "app/ShellMessages.h"

namespace orv {

bool confirm_quit(Dialogs& dialogs) {
    return dialogs.message_box("BEEDEN", "WOLLT IHR DAS PROGRAMM WIRKLICH?", MessageButtons::YesNo,
                               MessageIcon::Question) == MessageAnswer::Yes;
}

void show_about(Dialogs& dialogs) {
    dialogs.message_box(cp1252(u8"ÜBER"), "ORVENTAL\rV3.03a", MessageButtons::Ok,
                        MessageIcon::None);
}

void show_wait_message(Dialogs& dialogs) {
    // Fourteen blanks put "Bitte warten!" under the middle of the first line.
    dialogs.message_box("INFORMATION", "LADE/SPEICHERE DATEI.\r              Bitte warten!",
                        MessageButtons::Ok, MessageIcon::Stop);
}

} // namespace orv
