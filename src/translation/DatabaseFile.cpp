#include "translation/DatabaseFile.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>

#include "plugin/ByteReader.h"

namespace orv {
namespace {

// One counted text as a view into the file, or nothing when the count or the text runs past
// the end. Nothing is allocated here, so a huge count costs nothing.
inline std::optional<TextView> read_counted_text(ByteReader& reader) {
    const auto count = reader.read_u32_le();
    if (!count) {
        return std::nullopt;
    }
    const auto bytes = reader.read_bytes(*count);
    if (!bytes) {
        return std::nullopt;
    }
    return TextView(reinterpret_cast<const char*>(bytes->data()), bytes->size());
}

// The N texts of the next entry as views into the file; false when the entry is broken.
template <std::size_t N>
bool read_entry(ByteReader& reader, std::span<TextView, N> texts) {
    for (auto& text : texts) {
        auto read = read_counted_text(reader);
        if (!read) {
            return false;
        }
        text = *read;
    }
    return true;
}

// Appends the entries of `bytes` to `file`; `base` is where the bytes start in the file, for
// the offset of a broken entry.
template <std::size_t N, typename Keep>
void append_entries(DatabaseFile<N>& file, ByteSpan bytes, std::size_t base, const Keep& keep) {
    ByteReader reader(bytes);
    while (!reader.at_end()) {
        const std::size_t start = reader.num_read();
        std::array<TextView, N> texts;
        if (!read_entry<N>(reader, texts)) {
            // A file written by the program always ends after a whole entry; what follows a
            // broken entry cannot be trusted to start at an entry boundary.
            file.damaged = true;
            file.damaged_at = base + start;
            break;
        }
        // Only the entries kept are copied out of the file's bytes.
        if (keep(texts)) {
            DatabaseEntry<N> entry;
            std::copy(texts.begin(), texts.end(), entry.begin());
            file.entries.push_back(std::move(entry));
        }
    }
}

template <std::size_t N, typename Keep>
DatabaseFile<N> parse_entries(ByteSpan bytes, const Keep& keep) {
    DatabaseFile<N> file;
    append_entries<N>(file, bytes, 0, keep);
    return file;
}

// The number of whole entries in `bytes`, or nothing when they end inside an entry.
std::optional<std::size_t> whole_pair_entries(ByteSpan bytes) {
    ByteReader reader(bytes);
    std::size_t count = 0;
    std::array<TextView, 2> texts;
    while (!reader.at_end()) {
        if (!read_entry<2>(reader, texts)) {
            return std::nullopt;
        }
        ++count;
    }
    return count;
}

template <std::size_t N>
DatabaseFile<N> parse_entries(ByteSpan bytes) {
    return parse_entries<N>(bytes, [](const std::array<TextView, N>&) { return true; });
}

template <std::size_t N>
void append_texts(Bytes& out, const DatabaseEntry<N>& entry) {
    for (const auto& text : entry) {
        append_counted_text(out, text);
    }
}

template <std::size_t N>
Bytes encode_entries(const std::vector<DatabaseEntry<N>>& entries) {
    Bytes out;
    for (const auto& entry : entries) {
        append_texts(out, entry);
    }
    return out;
}

} // namespace

PairFile parse_pair_file(ByteSpan bytes) {
    return parse_entries<2>(bytes);
}

PairFile parse_pair_file(ByteSpan bytes, const PairFilter& keep) {
    return parse_entries<2>(
        bytes, [&keep](const std::array<TextView, 2>& texts) { return keep(texts[0], texts[1]); });
}

PairFile parse_pair_file(ByteSpan bytes, const TextKeySet& keys) {
    // The entries are read a group at a time, and the key set is asked about all texts of
    // a group at once, which is far faster than one question per text. The entries kept,
    // and the damage, are the same as one entry at a time would give.
    constexpr std::size_t kGroup = 128;
    PairFile file;
    ByteReader reader(bytes);
    std::array<TextView, 2 * kGroup> texts;
    std::array<bool, 2 * kGroup> found{};
    while (!reader.at_end() && !file.damaged) {
        std::size_t count = 0;
        while (count < kGroup && !reader.at_end()) {
            const std::size_t start = reader.num_read();
            if (!read_entry<2>(reader, std::span(texts).subspan(2 * count).first<2>())) {
                file.damaged = true;
                file.damaged_at = start;
                break;
            }
            ++count;
        }
        keys.contains_each(std::span(texts).first(2 * count), std::span(found).first(2 * count));
        for (std::size_t i = 0; i < count; ++i) {
            if (found[2 * i] || found[2 * i + 1]) {
                file.entries.push_back({Text(texts[2 * i]), Text(texts[2 * i + 1])});
            }
        }
    }
    return file;
}

PairFile parse_joined_pair_files(const std::vector<ByteSpan>& sources) {
    const auto keep_all = [](const std::array<TextView, 2>&) { return true; };
    // Counted first: the list of entries is allocated once, and a source that ends inside
    // an entry is found before anything is copied.
    std::size_t count = 0;
    for (std::size_t k = 0; k + 1 < sources.size(); ++k) {
        const auto whole = whole_pair_entries(sources[k]);
        if (!whole) {
            // The entry cut short continues with the next source's bytes, and the entries
            // after it are read out of step: only the joined bytes tell which they are.
            Bytes joined;
            for (const ByteSpan source : sources) {
                joined.insert(joined.end(), source.begin(), source.end());
            }
            return parse_pair_file(joined);
        }
        count += *whole;
    }
    PairFile file;
    if (!sources.empty()) {
        count += whole_pair_entries(sources.back()).value_or(0);
    }
    file.entries.reserve(count);
    std::size_t base = 0;
    for (const ByteSpan source : sources) {
        append_entries<2>(file, source, base, keep_all);
        base += source.size();
    }
    return file;
}

TripleFile parse_triple_file(ByteSpan bytes) {
    return parse_entries<3>(bytes);
}

void append_counted_text(Bytes& out, TextView text) {
    // Names and texts are limited to far less than 4 GiB long before they get here.
    assert(text.size() <= std::numeric_limits<std::uint32_t>::max());
    const auto count = static_cast<std::uint32_t>(text.size());
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::byte>((count >> (8 * i)) & 0xFF));
    }
    const auto* bytes = reinterpret_cast<const std::byte*>(text.data());
    out.insert(out.end(), bytes, bytes + text.size());
}

void append_entry(Bytes& out, const PairEntry& entry) {
    append_texts(out, entry);
}

void append_entry(Bytes& out, const TripleEntry& entry) {
    append_texts(out, entry);
}

Bytes encode_pair_file(const std::vector<PairEntry>& entries) {
    return encode_entries(entries);
}

Bytes encode_triple_file(const std::vector<TripleEntry>& entries) {
    return encode_entries(entries);
}

} // namespace orv
