#pragma once

#include <functional>

#include "app/Workspace.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/Window.h"

namespace orv {

// The dialogs' starting folders, kept in the configuration file by the application.
class FolderSettings {
public:
    virtual ~FolderSettings() = default;
    // The folder read again from the configuration file before the dialog is shown.
    virtual Text reread_plugin_folder() = 0;
    virtual Text reread_save_folder() = 0;
    // Sets the folder and rewrites the configuration file.
    virtual Result<void> store_plugin_folder(const Text& folder) = 0;
    virtual Result<void> store_save_folder(const Text& folder) = 0;
};

struct FileCommandContext {
    Workspace& workspace;
    Window& window;
    Dialogs& dialogs;
    Files& files;
    FolderSettings& settings;
    // Run by the worker, while it still owns the lists, after an Open that loaded a plugin
    // and after every Save or Save-as that wrote one: what the window derives from the rows
    // (counts, filter, suggestions) is renewed here.
    std::function<void()> lists_changed = {};
};

// The three commands of the "Datei" menu, each the whole body of a worker thread: its
// dialogs and refusals, the real work with the command menu items disabled, and as last
// step on every way out the worker-ended flag set and the busy flag cleared.
void open_command(FileCommandContext& context);

// A folder of the configuration file (Windows-1252) as a path, where the dialogs start.
std::filesystem::path path_of_folder(const Text& folder);
void save_command(FileCommandContext& context);
void save_as_command(FileCommandContext& context);

} // namespace orv
