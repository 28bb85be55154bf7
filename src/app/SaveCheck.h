#pragma once

#include <optional>
#include <vector>

#include "app/Workspace.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "save/ReferenceCheck.h"

namespace orv {

// The question before Save and Save-as when the check finds scripts or references the save
// would leave wrong, counting each kind: "3 Verweise zeigen auf keine Zelle. Trotzdem
// speichern?". Nothing when there are none; names that are too long or empty do not ask.
std::optional<Text> save_findings_question(const std::vector<Finding>& findings);

// What Save and Save-as do after the check.
enum class SaveCheckAnswer {
    // Nothing found, or the user saves anyway.
    Save,
    // The user answered "Nein": the findings window opens instead of the save.
    ShowFindings,
};

// Checks the loaded plugin as the save would write it and asks the question when it finds
// anything about scripts or references, "Nein" the default. A database file the check
// cannot read is left to the save, which reads it again and reports it.
SaveCheckAnswer check_before_saving(const Workspace& workspace, Dialogs& dialogs, Files& files);

} // namespace orv
