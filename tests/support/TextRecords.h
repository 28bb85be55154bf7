#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "fixtures/PluginBuilder.h"

namespace orv::test {

// The fixtures' header record with a plugin description: its HEDR data holds version (4
// bytes), flags (4), author (32), then the description's 256 bytes.
inline Bytes described_header(std::string_view description, std::int32_t record_count) {
    Bytes header = fixtures::header_record(0, record_count);
    constexpr std::size_t kDescription = kRecordHeaderSize + kSubrecordHeaderSize + 40;
    std::transform(description.begin(), description.end(), header.begin() + kDescription,
                   [](char c) { return static_cast<std::byte>(c); });
    return header;
}

// A faction's rank field: the name padded with zero bytes to 32.
inline std::string rank_field(std::string_view name) {
    std::string field(name);
    field.resize(32, '\0');
    return field;
}

} // namespace orv::test
