#include "save/TranslatingWrite.h"

#include <functional>
#include <vector>

#include "plugin/BlockHalves.h"
#include "save/CellReferencePass.h"

namespace orv {
namespace {

// The references to cells and topics of one run of blocks, translated.
struct TranslatedRun {
    // The blocks of the cell references' progress steps, to show in block order.
    std::vector<std::size_t> cell_steps;
    int cells = 0;
    int topics = 0;
};

} // namespace

Result<void> write_translating_references(BlockStore& store, const SaveTables& tables,
                                          const TopicNameTable& topic_names,
                                          const ProgressFunction& show, OutputFile& out,
                                          SaveReport& report) {
    BlockProgress cells(cp1252(u8"Übersetze zellenverweise : "), store.record_count());
    BlockProgress saving(cp1252(u8"Speichere Block : "), store.record_count());
    // Block 0 is the file header record, never a cell, a character or a response, whatever
    // its tag: a name replaced in it would move the record count or shrink the header below
    // what opens again. It goes first, as it is.
    const std::size_t end = store.block_count();
    Result<void> written = end > 0 ? out.write(store.block(0)) : Result<void>();
    if (!written) {
        return written;
    }
    saving.show(0, show);
    std::vector<TranslatedRun> runs(share_count(1, end));
    const auto translate = [&](std::size_t run, std::size_t from, std::size_t to) {
        TranslatedRun& done = runs[run];
        done.cells = translate_cell_references(
            store, tables.references(), tables.script_cells(), from, to,
            show ? [&done](std::size_t number) { done.cell_steps.push_back(number); }
                 : std::function<void(std::size_t)>());
        done.topics = translate_topic_references(store, topic_names, from, to);
    };
    const auto write = [&](std::size_t run, std::size_t from, std::size_t to) {
        const TranslatedRun& done = runs[run];
        for (const std::size_t number : done.cell_steps) {
            cells.show(number, show);
        }
        report.references_translated += done.cells;
        report.topic_references_translated += done.topics;
        for (std::size_t number = from; number < to; ++number) {
            written = out.write(store.block(number));
            if (!written) {
                return false;
            }
            saving.show(number, show);
        }
        // The flush runs while later runs are translated; after the last one the close
        // flushes, and a flush begun just before it would only make it wait twice.
        if (run + 1 < runs.size()) {
            out.start_flush();
        }
        return true;
    };
    if (!in_order_from_the_front(1, end, translate, write)) {
        return written;
    }
    // The database files may be mapped while the passes read them; one that another
    // program shortened meanwhile gave zeros, and nothing made of them replaces the target.
    return tables.inputs().check_whole();
}

} // namespace orv
