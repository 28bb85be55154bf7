#include "save/CellReferencePass.h"

#include "plugin/ResultScript.h"
#include "plugin/Subrecord.h"
#include "translation/DatabaseFile.h"

namespace orv {
namespace {

// A cell condition names a cell when characters 2 to 5 of its text read this; the cell
// name follows the five-character head directly.
constexpr TextView kCellConditionSignature = "BLX0";

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
            for_each_reference_place(block, [&](const Subrecord& subrecord, ReferencePlace place) {
                translate(block, subrecord, place);
            });
        }
        return m_changed;
    }

private:
    // A name is looked up whole: neither a prefix nor a longer text matches. The progress
    // text follows every lookup, every SCVR, cell condition or not, and every result script.
    void translate(Block& block, const Subrecord& subrecord, ReferencePlace place) {
        if (place == ReferencePlace::ResultScript) {
            translate_script(block, subrecord);
        } else if (const auto cell = cell_in_place(block, subrecord, place)) {
            if (const auto match = m_references.first_original_match(*cell)) {
                const TextKind kind =
                    place == ReferencePlace::Condition ? TextKind::Whole : TextKind::Terminated;
                const Text old_text = subrecord_text(block, subrecord, kind);
                Text replacement = place == ReferencePlace::Condition
                                       ? old_text.substr(0, kConditionHeadLength)
                                       : Text();
                replacement += m_references.entry(*match)[1];
                m_changed += replacement != old_text ? 1 : 0;
                replace_subrecord_text(block, subrecord, kind, replacement);
            }
        }
        m_progress(m_progress_text.text(m_number));
    }

    // The script is replaced as a whole only when a cell argument changed, so a script
    // without one keeps every byte, zero bytes included.
    void translate_script(Block& block, const Subrecord& subrecord) {
        const auto rewrite = rewrite_script_arguments(
            result_script_text(block, subrecord), ScriptArgumentKind::Cell,
            [&](TextView cell) { return m_script_cells.translation(cell); });
        if (rewrite.replaced > 0) {
            m_changed += rewrite.replaced;
            replace_subrecord_text(block, subrecord, TextKind::Whole, rewrite.script);
        }
    }

    BlockStore& m_store;
    const NameIndex& m_references;
    const ScriptNameLookup m_script_cells{m_references};
    const ProgressFunction& m_progress;
    BlockProgress m_progress_text;
    std::size_t m_number = 0;
    int m_changed = 0;
};

} // namespace

std::optional<Text> cell_in_place(const Block& block, const Subrecord& subrecord,
                                  ReferencePlace place) {
    if (place == ReferencePlace::ResultScript) {
        return std::nullopt;
    }
    if (place != ReferencePlace::Condition) {
        return subrecord_text(block, subrecord, TextKind::Terminated);
    }
    const Text condition = subrecord_text(block, subrecord, TextKind::Whole);
    if (condition.size() < kConditionHeadLength ||
        TextView(condition).substr(1, kCellConditionSignature.size()) != kCellConditionSignature) {
        return std::nullopt;
    }
    return condition.substr(kConditionHeadLength);
}

std::optional<Text> ScriptNameLookup::translation(TextView name) const {
    if (!m_first_entry) {
        m_first_entry.emplace();
        for (std::size_t entry = 0; entry < m_references.size(); ++entry) {
            m_first_entry->try_emplace(ascii_upper(m_references.entry(entry)[0]), entry);
        }
    }
    const auto found = m_first_entry->find(ascii_upper(name));
    if (found == m_first_entry->end()) {
        return std::nullopt;
    }
    return m_references.entry(found->second)[1];
}

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
