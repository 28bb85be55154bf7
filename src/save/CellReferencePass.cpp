#include "save/CellReferencePass.h"

#include "plugin/Subrecord.h"
#include "translation/DatabaseFile.h"

namespace orv {
namespace {

// A cell condition names a cell when characters 2 to 5 of its text read this; the cell
// name follows the five-character head directly.
constexpr TextView kCellConditionSignature = "BLX0";
constexpr std::size_t kConditionHeadLength = 5;

class ReferenceTranslator {
public:
    ReferenceTranslator(BlockStore& store, const NameIndex& references,
                        const ProgressFunction& progress)
        : m_store(store), m_references(references), m_progress(progress),
          m_progress_text(cp1252(u8"Übersetze zellenverweise : "), store.record_count()) {}

    int run() {
        // Block 0 is the file header record, never a cell, a character or a response,
        // whatever its tag: a name replaced in it would move the record count or shrink the
        // header below what opens again.
        for (std::size_t number = 1; number < m_store.block_count(); ++number) {
            m_number = number;
            Block& block = m_store.block(number);
            const Text tag = record_tag(block);
            if (tag == "CELL" || tag == "NPC_") {
                translate_destinations(block);
            } else if (tag == "INFO") {
                translate_first_response_cell(block);
                translate_conditions(block);
            }
        }
        return m_changed;
    }

private:
    // Every DNAM of the record names a destination cell.
    void translate_destinations(Block& block) {
        for (auto subrecord = first_subrecord(block); subrecord;
             subrecord = next_subrecord(block, *subrecord)) {
            if (subrecord_tag(block, *subrecord) == "DNAM") {
                translate_name(block, *subrecord);
            }
        }
    }

    // Only the first ANAM binds the response to a cell; a later one is left as it is.
    void translate_first_response_cell(Block& block) {
        for (auto subrecord = first_subrecord(block); subrecord;
             subrecord = next_subrecord(block, *subrecord)) {
            if (subrecord_tag(block, *subrecord) == "ANAM") {
                translate_name(block, *subrecord);
                return;
            }
        }
    }

    void translate_conditions(Block& block) {
        for (auto subrecord = first_subrecord(block); subrecord;
             subrecord = next_subrecord(block, *subrecord)) {
            if (subrecord_tag(block, *subrecord) == "SCVR") {
                translate_condition(block, *subrecord);
            }
        }
    }

    void translate_name(Block& block, const Subrecord& subrecord) {
        const Text name = subrecord_text(block, subrecord, TextKind::Terminated);
        if (const auto match = m_references.first_original_match(name)) {
            const Text& german = m_references.entry(*match)[1];
            m_changed += german != name ? 1 : 0;
            replace_subrecord_text(block, subrecord, TextKind::Terminated, german);
        }
        show_progress();
    }

    // The progress text follows every SCVR of an INFO record, cell condition or not.
    void translate_condition(Block& block, const Subrecord& subrecord) {
        const Text condition = subrecord_text(block, subrecord, TextKind::Whole);
        if (condition.size() >= kConditionHeadLength &&
            TextView(condition).substr(1, kCellConditionSignature.size()) ==
                kCellConditionSignature) {
            const TextView head = TextView(condition).substr(0, kConditionHeadLength);
            // The rest must equal a name exactly: neither a prefix nor a longer text matches.
            const TextView cell = TextView(condition).substr(kConditionHeadLength);
            if (const auto match = m_references.first_original_match(cell)) {
                Text replacement(head);
                replacement += m_references.entry(*match)[1];
                m_changed += replacement != condition ? 1 : 0;
                replace_subrecord_text(block, subrecord, TextKind::Whole, replacement);
            }
        }
        show_progress();
    }

    void show_progress() { m_progress(m_progress_text.text(m_number)); }

    BlockStore& m_store;
    const NameIndex& m_references;
    const ProgressFunction& m_progress;
    BlockProgress m_progress_text;
    std::size_t m_number = 0;
    int m_changed = 0;
};

} // namespace

NameIndex build_reference_table(const std::vector<ByteSpan>& sources) {
    // The sources are joined byte for byte before parsing, exactly like files appended to
    // one another: an entry cut short at the end of one source continues with the bytes of
    // the next, and the entries after it are read out of step.
    Bytes joined;
    std::size_t total = 0;
    for (const auto& source : sources) {
        total += source.size();
    }
    joined.reserve(total);
    for (const auto& source : sources) {
        joined.insert(joined.end(), source.begin(), source.end());
    }
    return NameIndex(parse_pair_file(joined), NameIndex::Keys::OriginalsOnly);
}

int translate_cell_references(BlockStore& store, const NameIndex& references,
                              const ProgressFunction& progress) {
    return ReferenceTranslator(store, references, progress).run();
}

} // namespace orv
