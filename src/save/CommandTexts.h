#pragma once

#include "platform/Text.h"

namespace orv {

// The refusal of Save and Save-as for a master file, which may be looked at but never
// written.
inline Text master_file_save_message() {
    return cp1252(u8"DIES IST EINE ESM-DATEI. FUNKTION NICHT VERFÜGBAR.");
}

} // namespace orv
