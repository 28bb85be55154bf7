#pragma once

#include <vector>

#include "platform/Files.h"
#include "plugin/BlockStore.h"
#include "translation/ObjectLists.h"
#include "translation/TranslationDatabase.h"

namespace orv {

// Where the loader shows what it does: status field 1 and the list views.
class LoaderView {
public:
    virtual ~LoaderView() = default;
    // A progress text for status field 1 ("Lese block : CELL", "Blöcke gelesen : 3 / 9").
    virtual void show_progress(const Text& text) = 0;
    // Whether the view shows progress at all. A view that shows none (the batch tool's) spares
    // the load a text for every record, which is a noticeable share of a large plugin's load.
    virtual bool wants_progress() const { return true; }
    // All rows of one object list at once, called for the lists in tab order.
    virtual void show_rows(int list_index, const std::vector<Element>& elements) = 0;
    // How many names the database replaced by German ones in their records; told once, after
    // the rows. A view that has no use for it ignores it.
    virtual void report_replaced_names(std::size_t /*count*/) {}
};

// How much of a plugin a load makes ready.
enum class LoadScope {
    // Everything the window shows and a save writes: the rows, the responses with the
    // response database's texts, and the memory's long texts and script texts in the blocks.
    Whole,
    // Only the rows of the object lists and the skills, for a command that shows nothing
    // else and saves nothing: the responses and the other texts stay as the file has them,
    // and the response database is not read.
    NameRows,
};

// Loads a plugin from its bytes: splits it into blocks, looks every name of the listed kinds
// up (replacing the names the database knows by their German ones in the blocks), builds
// the rows and the skill list, and shows them. A refused file, or a database file that
// exists but cannot be read, changes nothing: the store and the lists keep the plugin
// loaded before. On success both are replaced (the lists keep their sort directions).
Result<void> load_plugin(ByteSpan file, TranslationDatabase& database, BlockStore& store,
                         ObjectLists& lists, LoaderView& view, LoadScope scope = LoadScope::Whole);
// The same for a file the caller hands over: its bytes become the plugin's when they are a
// copy already, and a mapped file is copied and let go, so that the plugin is not in memory
// twice while its names are looked up. A file that another program shortened while it was
// mapped is refused with a read error.
Result<void> load_plugin(FileContents&& file, TranslationDatabase& database, BlockStore& store,
                         ObjectLists& lists, LoaderView& view, LoadScope scope = LoadScope::Whole);

} // namespace orv
