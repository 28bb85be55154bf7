#include "plugin/RecordTypes.h"

#include <array>
#include <cstdint>

namespace orv {

namespace {

// A text of up to four bytes as one number, for comparing tags in one step; the length is
// part of it, so "AB" and "AB\0" stay apart.
std::uint64_t packed_tag(TextView tag) {
    std::uint64_t packed = tag.size();
    for (const char c : tag) {
        packed = (packed << 8) | static_cast<unsigned char>(c);
    }
    return packed;
}

const auto kPackedTags = [] {
    std::array<std::uint64_t, kRecordTypes.size()> packed{};
    for (std::size_t i = 0; i < kRecordTypes.size(); ++i) {
        packed[i] = packed_tag(kRecordTypes[i].tag);
    }
    return packed;
}();

} // namespace

std::optional<int> object_type_of(TextView tag) {
    if (tag.size() > 4) {
        return std::nullopt;
    }
    const std::uint64_t packed = packed_tag(tag);
    for (std::size_t i = 0; i < kPackedTags.size(); ++i) {
        if (kPackedTags[i] == packed) {
            return kRecordTypes[i].index;
        }
    }
    return std::nullopt;
}

std::optional<int> object_type_labelled(TextView label) {
    for (const auto& type : kRecordTypes) {
        if (type.label == label) {
            return type.index;
        }
    }
    return std::nullopt;
}

} // namespace orv
