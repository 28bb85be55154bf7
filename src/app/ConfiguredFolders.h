#pragma once

#include <filesystem>

#include "app/ConfigFile.h"
#include "app/FileCommands.h"

namespace orv {

// The dialogs' starting folders as the configuration file keeps them. The folders are
// read from the file again before each dialog, and a stored folder rewrites the whole
// file from the settings in memory, so window size and bank go back exactly as they were
// read at start-up.
class ConfiguredFolders final : public FolderSettings {
public:
    ConfiguredFolders(Files& files, std::filesystem::path program_dir, Settings& settings);

    Text reread_plugin_folder() override;
    Text reread_save_folder() override;
    Result<void> store_plugin_folder(const Text& folder) override;
    Result<void> store_save_folder(const Text& folder) override;

private:
    Files& m_files;
    std::filesystem::path m_program_dir;
    Settings& m_settings;
};

} // namespace orv
