#include "app/SaveCheck.h"

#include <string>

namespace orv {

std::optional<Text> save_findings_question(const std::vector<Finding>& findings) {
    std::size_t references = 0;
    std::size_t scripts = 0;
    for (const Finding& finding : findings) {
        references += finding.kind == FindingKind::ReferenceToNoCell ? 1 : 0;
        scripts += finding.kind == FindingKind::ScriptNamesRenamed ? 1 : 0;
    }
    if (references == 0 && scripts == 0) {
        return std::nullopt;
    }
    Text question;
    if (references > 0) {
        question +=
            std::to_string(references) + (references == 1 ? " Verweis zeigt auf keine Zelle. "
                                                          : " Verweise zeigen auf keine Zelle. ");
    }
    if (scripts > 0) {
        question += std::to_string(scripts) +
                    cp1252(scripts == 1
                               ? u8" Skriptstelle nennt einen Namen, den das Speichern ändert. "
                               : u8" Skriptstellen nennen einen Namen, den das Speichern ändert. ");
    }
    return question + "Trotzdem speichern?";
}

SaveCheckAnswer check_before_saving(const Workspace& workspace, Dialogs& dialogs, Files& files) {
    const auto findings = check_plugin(workspace.store, workspace.lists, files,
                                       workspace.program_dir, CheckScope::ScriptsAndReferences);
    if (!findings) {
        return SaveCheckAnswer::Save;
    }
    const auto question = save_findings_question(*findings);
    if (!question) {
        return SaveCheckAnswer::Save;
    }
    const auto answer = dialogs.message_box("FRAGE", *question, MessageButtons::YesNoDefaultNo,
                                            MessageIcon::Exclamation);
    return answer == MessageAnswer::Yes ? SaveCheckAnswer::Save : SaveCheckAnswer::ShowFindings;
}

} // namespace orv
