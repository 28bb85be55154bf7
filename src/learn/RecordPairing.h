#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "platform/Text.h"
#include "plugin/Block.h"

namespace orv {

// How the records of two files are matched.
enum class PairingMode {
    // An English file and the same file in German. Most records keep their ID, but a
    // cell's and a topic's identity is their name, which the translation changed: an
    // exterior cell is known by its grid position, an interior cell by the references it
    // holds (and its place among the cells that hold the same), a topic by the responses
    // it holds.
    Translation,
    // Two versions of one file in one language: names stay, so an interior cell and a
    // topic are known by their name.
    Versions,
};

struct RecordPairs {
    // Block numbers (first file, second file), in the first file's order.
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    // Records without a partner, in each file's order.
    std::vector<std::size_t> only_first;
    std::vector<std::size_t> only_second;
};

// Pairs the records of two files (blocks 1 to N; block 0, the file header record, pairs
// with no other). Each record has an identity made of its tag and what `mode` knows it by;
// records of equal identity pair in file order (the second duplicate ID of one file with
// the second of the other). A large file's identities are found on two threads.
RecordPairs pair_records(const std::vector<Block>& first, const std::vector<Block>& second,
                         PairingMode mode);

} // namespace orv
