#include "app/ResetCommand.h"

#include "translation/ExternalDatabase.h"

namespace orv {

void reset_external_database_with_question(Dialogs& dialogs, Files& files,
                                           const std::filesystem::path& external_path) {
    // Yes throws the user's translations away: Enter answers No.
    const auto answer =
        dialogs.message_box(Text(kResetQuestionTitle), reset_question(external_path),
                            MessageButtons::YesNoDefaultNo, MessageIcon::Exclamation);
    if (answer != MessageAnswer::Yes) {
        return;
    }
    const auto reset = reset_external_database(files, external_path);
    if (!reset) {
        // Confirming a reset that did not happen would let the user believe the old
        // translations are gone.
        dialogs.message_box("INFORMATION", reset.error().message, MessageButtons::Ok,
                            MessageIcon::Stop);
        return;
    }
    dialogs.message_box(Text(kResetDoneTitle), Text(kResetDoneMessage), MessageButtons::Ok,
                        MessageIcon::Information);
}

} // namespace orv
