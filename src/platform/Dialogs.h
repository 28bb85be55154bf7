#pragma once

#include <filesystem>
#include <optional>

#include "platform/Text.h"

namespace orv {

// YesNoDefaultNo is for questions whose Yes destroys something: Enter then answers No.
enum class MessageButtons { Ok, YesNo, YesNoDefaultNo };
enum class MessageIcon { None, Stop, Information, Question, Exclamation };
enum class MessageAnswer { Ok, Yes, No, Closed };

// Modal dialogs. Like the window operations they may be called from a worker thread; the
// call returns when the user has answered.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A message box; a lone CR in `text` is a line break.
    virtual MessageAnswer message_box(const Text& title, const Text& text, MessageButtons buttons,
                                      MessageIcon icon) = 0;
    // The file dialogs give the chosen path, or nothing when cancelled. `filter` is written
    // "ESP (*.esp)|*.esp": the name shown, a bar, the pattern. The folder of a typed name
    // must exist; the file itself need not, and choosing an existing file for saving is
    // never questioned.
    virtual std::optional<std::filesystem::path>
    open_file(const Text& title, const std::filesystem::path& folder, const Text& filter) = 0;
    virtual std::optional<std::filesystem::path>
    save_file(const Text& title, const std::filesystem::path& folder, const Text& filter) = 0;
    // Opens the help page `page`, an HTML file, exactly as given, without waiting for the
    // viewer.
    virtual void show_help(const std::filesystem::path& page) = 0;
};

} // namespace orv
