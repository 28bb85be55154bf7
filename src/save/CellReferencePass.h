#pragma once

#include <optional>
#include <vector>

#include "platform/Files.h"
#include "plugin/BlockStore.h"
#include "plugin/Progress.h"
#include "plugin/Subrecord.h"
#include "translation/NameIndex.h"

namespace orv {

// The reference lookup table: the byte-wise concatenation of its sources, read as one pair
// file. The caller passes, in this order, the cell renames of this save, the shipped cell
// names, the shipped region names and the external database as this save rebuilt it, so
// that the first matching entry follows that precedence.
NameIndex build_reference_table(const std::vector<ByteSpan>& sources);

// The places where a record names a cell by its name.
enum class ReferencePlace {
    // A DNAM of a CELL or NPC_ record: a door's or a travel destination.
    Destination,
    // The first ANAM of an INFO record: the cell a response is bound to.
    ResponseCell,
    // An SCVR of an INFO record; it names a cell only when cell_in_place says so.
    Condition,
};

// A condition's text is a five-character head, then the cell name when it names one.
inline constexpr std::size_t kConditionHeadLength = 5;

// Calls visit(subrecord, place) for every DNAM of a CELL or NPC_ record, then for an INFO
// record its first ANAM and every SCVR, each walk in file order. The visitor may replace
// the subrecord's text: the walk reads its size anew and goes on behind it. Walks stop at a
// subrecord that runs past the block's end. The file header (block 0) is the caller's to
// leave out. This is the one definition of where cell references are.
template <typename BlockType, typename Visit>
void for_each_reference_place(BlockType& block, Visit&& visit) {
    const Text tag = record_tag(block);
    const auto walk = [&block](TextView wanted, auto&& on_found) {
        for (auto subrecord = first_subrecord(block); subrecord;
             subrecord = next_subrecord(block, *subrecord)) {
            if (subrecord_tag(block, *subrecord) == wanted && !on_found(*subrecord)) {
                return;
            }
        }
    };
    if (tag == "CELL" || tag == "NPC_") {
        walk("DNAM", [&](const Subrecord& found) {
            visit(found, ReferencePlace::Destination);
            return true;
        });
    } else if (tag == "INFO") {
        // Only the first ANAM binds the response to a cell; a later one is left as it is.
        walk("ANAM", [&](const Subrecord& found) {
            visit(found, ReferencePlace::ResponseCell);
            return false;
        });
        walk("SCVR", [&](const Subrecord& found) {
            visit(found, ReferencePlace::Condition);
            return true;
        });
    }
}

// The cell name a reference place holds: the whole terminated text of a destination or a
// response cell; for a condition whose characters 2 to 5 read "BLX0", the rest behind its
// head (nothing for any other condition).
std::optional<Text> cell_in_place(const Block& block, const Subrecord& subrecord,
                                  ReferencePlace place);

// Gives references to cells the names of the reference table: every DNAM of CELL and NPC_
// records, the first ANAM of INFO records (whole terminated names), and every SCVR of INFO
// records whose characters 2 to 5 are "BLX0" (the name follows the five-character head).
// Shows "Übersetze zellenverweise : k / N" after every lookup and every SCVR. Walks stop at
// a subrecord that runs past its block's end. Returns the number of references whose text changed.
int translate_cell_references(BlockStore& store, const NameIndex& references,
                              const ProgressFunction& progress);

} // namespace orv
