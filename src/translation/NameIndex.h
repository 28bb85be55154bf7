#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "translation/DatabaseFile.h"

namespace orv {

// A pair file indexed for lookups, read once per command instead of once per name. Every
// answer is exactly what reading the file from its start would give: the first entry in
// file order wins.
class NameIndex {
public:
    NameIndex() = default;
    explicit NameIndex(PairFile file);
    // The index views the texts it holds, so it can be moved but not copied.
    NameIndex(const NameIndex&) = delete;
    NameIndex& operator=(const NameIndex&) = delete;
    NameIndex(NameIndex&&) = default;
    NameIndex& operator=(NameIndex&&) = default;

    // The first entry whose original or whose translation equals `key` (byte for byte,
    // equal length), or nothing.
    std::optional<std::size_t> first_match(TextView key) const;
    // The first entry whose original equals `key`, or nothing.
    std::optional<std::size_t> first_original_match(TextView key) const;

    const PairEntry& entry(std::size_t index) const { return m_file.entries[index]; }
    std::size_t size() const { return m_file.entries.size(); }
    const PairFile& file() const { return m_file; }

private:
    PairFile m_file;
    // Keys view the texts held by m_file, whose entries never move after construction.
    std::unordered_map<std::string_view, std::size_t> m_first_by_original;
    std::unordered_map<std::string_view, std::size_t> m_first_by_translation;
};

} // namespace orv
