#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <vector>

#include "platform/Files.h"
#include "platform/Text.h"
#include "translation/TextKeys.h"

namespace orv {

// A database file is a sequence of entries without header, count or trailer; each entry is
// N counted texts end to end (a 32-bit little-endian byte count, then that many bytes).
// Pair files (N = 2: original, translation) hold names and game settings; triple files
// (N = 3) hold the skill table and the long texts.
template <std::size_t N>
using DatabaseEntry = std::array<Text, N>;

template <std::size_t N>
struct DatabaseFile {
    // The whole entries, in file order.
    std::vector<DatabaseEntry<N>> entries;
    // Set when the file ends inside an entry or a count exceeds what is left of the file;
    // the entries end before it and `damaged_at` is that entry's byte offset.
    bool damaged = false;
    std::size_t damaged_at = 0;
};

using PairEntry = DatabaseEntry<2>;
using TripleEntry = DatabaseEntry<3>;
using PairFile = DatabaseFile<2>;
using TripleFile = DatabaseFile<3>;

// Parses a database file's bytes. Never allocates more than the bytes hold.
PairFile parse_pair_file(ByteSpan bytes);
TripleFile parse_triple_file(ByteSpan bytes);

// Parses the sources as one pair file, as if they were appended to one another: an entry cut
// short at the end of one source continues with the bytes of the next, and the offset of a
// broken entry counts from the first source's start. Sources that end after a whole entry
// are not copied together.
PairFile parse_joined_pair_files(const std::vector<ByteSpan>& sources);

// Parses a pair file keeping only the entries `keep` accepts (it sees the original and the
// translation before anything is copied); the others cost no memory. Damage is found and
// reported as without a filter, at the byte offset of the broken entry.
using PairFilter = std::function<bool(TextView original, TextView translation)>;
PairFile parse_pair_file(ByteSpan bytes, const PairFilter& keep);
// The same, keeping the entries whose original or translation is one of `keys`.
PairFile parse_pair_file(ByteSpan bytes, const TextKeySet& keys);

// The bytes of one entry, as a file holds it.
void append_counted_text(Bytes& out, TextView text);
void append_entry(Bytes& out, const PairEntry& entry);
void append_entry(Bytes& out, const TripleEntry& entry);

// The bytes of a whole file.
Bytes encode_pair_file(const std::vector<PairEntry>& entries);
Bytes encode_triple_file(const std::vector<TripleEntry>& entries);

} // namespace orv
