#pragma once

#include <filesystem>

#include "cli/Cli.h"
#include "plugin/BlockStore.h"
#include "translation/ObjectLists.h"

namespace orv::cli {

// A plugin loaded the way opening it in the window does, for a batch command.
struct BatchPlugin {
    BlockStore store;
    ObjectLists lists;
};

// Reads and loads `path` with the program folder's database; the file is not changed.
Result<BatchPlugin> load_batch_plugin(const Context& context, const std::filesystem::path& path);

} // namespace orv::cli
