#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "DialogueRecords.h"
#include "fixtures/PluginBuilder.h"

namespace orv::test {

// Records of the kinds that pair in their own way, for the learning tests.

inline std::string le32(std::uint32_t value) {
    return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
            static_cast<char>(value >> 24)};
}

inline Bytes named(std::string_view tag, std::string_view id, std::string_view name) {
    return fixtures::RecordBuilder(tag).text("NAME", id).text("FNAM", name).bytes();
}

inline Bytes book(std::string_view id, std::string_view name, std::string_view text) {
    return fixtures::RecordBuilder("BOOK")
        .text("NAME", id)
        .text("FNAM", name)
        .raw("TEXT", text)
        .bytes();
}

inline Bytes exterior_cell(std::string_view name, std::int32_t x, std::int32_t y) {
    return fixtures::RecordBuilder("CELL")
        .text("NAME", name)
        .raw("DATA",
             le32(0) + le32(static_cast<std::uint32_t>(x)) + le32(static_cast<std::uint32_t>(y)))
        .bytes();
}

// An interior cell holding one reference: its number and the object it places.
inline Bytes interior_cell(std::string_view name, std::uint32_t reference,
                           std::string_view object) {
    return fixtures::RecordBuilder("CELL")
        .text("NAME", name)
        .raw("DATA", le32(1) + le32(0) + le32(0))
        .u32("FRMR", reference)
        .text("NAME", object)
        .bytes();
}

} // namespace orv::test
