#include "app/ConfiguredFolders.h"

#include <utility>

namespace orv {

ConfiguredFolders::ConfiguredFolders(Files& files, std::filesystem::path program_dir,
                                     Settings& settings)
    : m_files(files), m_program_dir(std::move(program_dir)), m_settings(settings) {}

Text ConfiguredFolders::reread_plugin_folder() {
    // The value read replaces the one in memory even when the dialog is then cancelled.
    m_settings.plugin_folder = orv::reread_plugin_folder(m_files, m_program_dir);
    return m_settings.plugin_folder;
}

Text ConfiguredFolders::reread_save_folder() {
    m_settings.save_folder = orv::reread_save_folder(m_files, m_program_dir);
    return m_settings.save_folder;
}

Result<void> ConfiguredFolders::store_plugin_folder(const Text& folder) {
    m_settings.plugin_folder = folder;
    return write_settings(m_files, m_program_dir, m_settings);
}

Result<void> ConfiguredFolders::store_save_folder(const Text& folder) {
    m_settings.save_folder = folder;
    return write_settings(m_files, m_program_dir, m_settings);
}

} // namespace orv
