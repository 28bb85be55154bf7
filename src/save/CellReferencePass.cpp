#include "save/CellReferencePass.h"

#include <algorithm>
#include <functional>

#include "plugin/ResultScript.h"
#include "plugin/Subrecord.h"
#include "save/CompiledScriptNames.h"
#include "translation/DatabaseFile.h"
#include "translation/TextKeys.h"

namespace orv {
namespace {

// A cell condition names a cell when characters 2 to 5 of its text read this; the cell
// name follows the five-character head directly.
constexpr TextView kCellConditionSignature = "BLX0";

// Where a translator reports its steps: the number of the block of every lookup, every SCVR
// and every result script.
using StepFunction = std::function<void(std::size_t number)>;

class ReferenceTranslator {
public:
    ReferenceTranslator(BlockStore& store, const NameIndex& references,
                        const ScriptNameLookup& script_cells, StepFunction step)
        : m_store(store), m_references(references), m_script_cells(script_cells),
          m_step(std::move(step)) {}

    // Translates the references of blocks [first, end); returns how many changed.
    int run(std::size_t first, std::size_t end) {
        for (std::size_t number = first; number < end; ++number) {
            m_number = number;
            Block& block = m_store.block(number);
            if (tag_at(block, 0, "SCPT")) {
                m_changed += translate_compiled_script_names(
                    block, ScriptArgumentKind::Cell,
                    [this](TextView cell) { return m_script_cells.translation(cell); });
                continue;
            }
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
        if (m_step) {
            m_step(m_number);
        }
    }

    // The script is replaced as a whole only when a cell argument changed, so a script
    // without one keeps every byte, zero bytes included.
    void translate_script(Block& block, const Subrecord& subrecord) {
        const auto rewrite = rewrite_script_arguments(
            result_script_view(block, subrecord), ScriptArgumentKind::Cell,
            [&](TextView cell) { return m_script_cells.translation(cell); });
        if (rewrite.replaced > 0) {
            m_changed += rewrite.replaced;
            replace_subrecord_text(block, subrecord, TextKind::Whole, rewrite.script);
        }
    }

    BlockStore& m_store;
    const NameIndex& m_references;
    const ScriptNameLookup& m_script_cells;
    StepFunction m_step;
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

void ScriptNameLookup::build() const {
    std::call_once(m_built, [this] {
        m_first_of_name =
            FirstIndexTable<NamesIgnoringAsciiCase>(m_names.entries.size(), originals());
    });
}

std::optional<Text> ScriptNameLookup::translation(TextView name) const {
    build();
    const auto entry = m_first_of_name.find(name, originals());
    if (!entry) {
        return std::nullopt;
    }
    return m_names.entries[*entry][1];
}

NameIndex build_reference_table(const std::vector<ByteSpan>& sources) {
    return NameIndex(parse_joined_pair_files(sources), NameIndex::Keys::OriginalsOnly);
}

int translate_cell_references(BlockStore& store, const NameIndex& references,
                              const ScriptNameLookup& script_cells, std::size_t first,
                              std::size_t end, const std::function<void(std::size_t)>& step) {
    return ReferenceTranslator(store, references, script_cells, step).run(first, end);
}

} // namespace orv
