#pragma once

#include <filesystem>

#include "cli/Cli.h"
#include "plugin/BlockStore.h"
#include "translation/DatabaseFile.h"
#include "translation/ObjectLists.h"
#include "translation/PluginLoader.h"

namespace orv::cli {

// A plugin loaded the way opening it in the window does, for a batch command.
struct BatchPlugin {
    BlockStore store;
    ObjectLists lists;
    // Rows whose record the load gave another name from the database.
    int names_from_database = 0;
};

// Reads and loads `path` with the program folder's database; the file is not changed.
Result<BatchPlugin> load_batch_plugin(const Context& context, const std::filesystem::path& path,
                                      LoadScope scope = LoadScope::Whole);

} // namespace orv::cli
