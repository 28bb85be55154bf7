#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "platform/Files.h"
#include "plugin/BlockStore.h"
#include "plugin/Dialogue.h"
#include "plugin/Progress.h"
#include "plugin/ResultScript.h"
#include "plugin/Subrecord.h"
#include "translation/FirstIndexTable.h"
#include "translation/NameIndex.h"

namespace orv {

// The reference lookup table: the byte-wise concatenation of its sources, read as one pair
// file. The caller passes, in this order, the cell renames of this save, the shipped cell
// names, the shipped region names and the external database as this save rebuilt it, so
// that the first matching entry follows that precedence.
NameIndex build_reference_table(const std::vector<ByteSpan>& sources);

// The places where a record names a cell by its name.
enum class ReferencePlace {
    // A DNAM of a CELL, NPC_ or CREA record: a door's or a travel destination.
    Destination,
    // A CNDT of an NPC_ or CREA record directly behind AI_E or AI_F: the cell an escort or
    // follow package ends in. (A CNDT elsewhere is something else: a container's weight.)
    PackageCell,
    // A CNAM of a CELL record directly behind MVRF: the interior cell a moved reference
    // went to. (A CNDT behind MVRF holds the grid numbers of an exterior cell instead.)
    MovedReferenceCell,
    // The first ANAM of an INFO record: the cell a response is bound to.
    ResponseCell,
    // An SCVR of an INFO record; it names a cell only when cell_in_place says so.
    Condition,
    // A BNAM of an INFO record: the response's result script, plain text that the game
    // compiles when the response runs; its cell functions name cells (see ResultScript.h).
    ResultScript,
};

// A condition's text is a five-character head, then the cell name when it names one.
inline constexpr std::size_t kConditionHeadLength = 5;

// Calls visit(subrecord, place) for every cell reference of a record, in file order: for
// CELL, NPC_ and CREA records every DNAM, for NPC_ and CREA every CNDT directly behind an
// AI_E or AI_F, for CELL every CNAM directly behind an MVRF; for an INFO record its first
// ANAM, then every SCVR, then every BNAM. The visitor may replace the subrecord's text: the
// walk reads its size anew and goes on behind it. Walks stop at a subrecord that runs past
// the block's end. The file header (block 0) is the caller's to leave out. This is the one
// definition of where cell references are.
template <typename BlockType, typename Visit>
void for_each_reference_place(BlockType& block, Visit&& visit) {
    // Tags are compared byte for byte (tag_at): this walk runs over every record in every
    // check and save.
    const auto walk = [&block](auto&& on_found) {
        std::optional<std::size_t> previous;
        for (auto subrecord = first_subrecord(block); subrecord;
             subrecord = next_subrecord(block, *subrecord)) {
            if (!on_found(*subrecord, previous)) {
                return;
            }
            previous = subrecord->offset;
        }
    };
    const auto previous_is = [&block](const std::optional<std::size_t>& previous, TextView tag) {
        return previous && tag_at(block, *previous, tag);
    };
    const bool cell = tag_at(block, 0, "CELL");
    if (cell || tag_at(block, 0, "NPC_") || tag_at(block, 0, "CREA")) {
        walk([&](const Subrecord& found, const std::optional<std::size_t>& previous) {
            if (tag_at(block, found.offset, "DNAM")) {
                visit(found, ReferencePlace::Destination);
            } else if (!cell && tag_at(block, found.offset, "CNDT") &&
                       (previous_is(previous, "AI_E") || previous_is(previous, "AI_F"))) {
                visit(found, ReferencePlace::PackageCell);
            } else if (cell && tag_at(block, found.offset, "CNAM") &&
                       previous_is(previous, "MVRF")) {
                visit(found, ReferencePlace::MovedReferenceCell);
            }
            return true;
        });
    } else if (tag_at(block, 0, "INFO")) {
        // Only the first ANAM binds the response to a cell; a later one is left as it is.
        walk([&](const Subrecord& found, const std::optional<std::size_t>&) {
            if (!tag_at(block, found.offset, "ANAM")) {
                return true;
            }
            visit(found, ReferencePlace::ResponseCell);
            return false;
        });
        for (const auto& wanted_place : {std::pair{"SCVR", ReferencePlace::Condition},
                                         std::pair{"BNAM", ReferencePlace::ResultScript}}) {
            const TextView wanted = wanted_place.first;
            const ReferencePlace place = wanted_place.second;
            walk([&](const Subrecord& found, const std::optional<std::size_t>&) {
                if (tag_at(block, found.offset, wanted)) {
                    visit(found, place);
                }
                return true;
            });
        }
    }
}

// The cell name a reference place holds: the whole terminated text of a destination, a
// package's or a moved reference's cell or a response cell; for a condition whose
// characters 2 to 5 read "BLX0", the rest behind its head (nothing for any other
// condition). Nothing for a result script, which may name many cells: read it with
// find_script_arguments(result_script_text(...)).
std::optional<Text> cell_in_place(const Block& block, const Subrecord& subrecord,
                                  ReferencePlace place);

// Names in result scripts (cells, topics) are looked up as the game finds them: without
// regard to ASCII case. The first entry of the table whose original matches wins; the
// index is built on the first lookup, so a plugin without such names pays nothing. Lookups
// may come from several threads at once: the first of them builds the index, the others
// wait for it.
class ScriptNameLookup {
public:
    // Looks up in the entries of `names`, which must outlive the lookup.
    explicit ScriptNameLookup(const PairFile& names) : m_names(names) {}
    explicit ScriptNameLookup(const NameIndex& references) : m_names(references.file()) {}

    // The name the table gives `name`, or nothing.
    std::optional<Text> translation(TextView name) const;
    // Builds the index now, unless it is built, for a caller that knows it will look up.
    void build() const;

private:
    // Names as the game compares them: ASCII letters without regard to case, every other
    // byte exactly.
    struct NamesIgnoringAsciiCase {
        static std::uint64_t hash(TextView name) { return hash_text_ignoring_ascii_case(name); }
        static bool equal(TextView left, TextView right) {
            return equal_ignoring_ascii_case(left, right);
        }
    };

    // The original of an entry, by its number.
    auto originals() const {
        return [this](std::size_t entry) { return TextView(m_names.entries[entry][0]); };
    }

    const PairFile& m_names;
    mutable std::once_flag m_built;
    // The first entry of each name; built once, through build().
    mutable FirstIndexTable<NamesIgnoringAsciiCase> m_first_of_name;
};

// Gives references to cells in blocks [first, end) the names of the reference table: at every
// place for_each_reference_place visits, whole terminated names by exact bytes; a condition's
// name behind its head; the cell arguments of a result script's cell functions through
// ScriptNameLookup, with every other byte of the script kept. step(number) follows every
// lookup, every SCVR and every result script, with the number of its block; an empty one is
// not called. Walks stop at a subrecord that runs past its block's end. Returns the number of
// references whose text changed. `script_cells` must look up in `references`. Other ranges of
// the same store may be translated on other threads at the same time. Block 0, the file
// header, is never a place of references: a pass starts at 1.
int translate_cell_references(BlockStore& store, const NameIndex& references,
                              const ScriptNameLookup& script_cells, std::size_t first,
                              std::size_t end, const std::function<void(std::size_t)>& step);

} // namespace orv
