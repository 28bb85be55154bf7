#pragma once

#include "platform/Dialogs.h"
#include "platform/Text.h"

namespace orv {

// Both pop-ups refuse what they cannot do with an "INFORMATION" box, an OK button and the
// stop icon; the pop-up stays as it was.
inline void show_refusal(Dialogs& dialogs, const Text& text) {
    dialogs.message_box("INFORMATION", text, MessageButtons::Ok, MessageIcon::Stop);
}

// A typed text holds a character that Windows-1252 cannot hold: a record could not store
// it, and it is never replaced silently.
inline Text foreign_text_message() {
    return cp1252(u8"DER TEXT ENTHÄLT ZEICHEN, DIE NICHT GESPEICHERT WERDEN KÖNNEN.\r"
                  u8"BITTE ÄNDERT DEN TEXT.");
}

} // namespace orv
