#pragma once

#include <atomic>
#include <filesystem>

#include "app/SuggestionsOnDemand.h"
#include "plugin/BlockStore.h"
#include "translation/DatabaseFile.h"
#include "translation/ObjectLists.h"
#include "translation/StoredTexts.h"

namespace orv {

// What the parts of the running program share: the loaded plugin with its rows, where it
// came from, and the flags that keep the worker thread and the pop-up windows apart.
//
// The blocks and lists are used by one thread at a time: a file command's worker while
// `busy` is set (the command menu items are disabled meanwhile), otherwise the thread that
// handles the window events. The flags are atomics because both threads read and write
// them.
struct Workspace {
    // The folder of the program; data/ and dataextra/ lie in it.
    std::filesystem::path program_dir;
    BlockStore store;
    ObjectLists lists;
    // The long texts and script texts stored with the text editor since the plugin was opened.
    StoredTexts stored_texts;
    // The full path of the loaded plugin; empty before the first Open.
    std::filesystem::path current_file;
    // What the name-edit dialog suggests, read on its first use after each Open and Save.
    SuggestionsOnDemand suggestions;
    // The topic name database, read with the suggestions: a topic must not be renamed to
    // the German name of another of the game's topics.
    PairFile topic_database;

    // 1 while a pop-up window is open: the name-edit dialog, the text editor or the findings.
    std::atomic<int> dialog_open{0};
    // Set when a worker is started, cleared by the worker as its last step.
    std::atomic<int> busy{0};
    // Set by a worker as its last step, cleared before the next worker starts.
    std::atomic<int> worker_ended{0};
};

} // namespace orv
