#pragma once

#include <string>
#include <string_view>

#include "fixtures/PluginBuilder.h"

namespace orv::test {

// A dialogue record of type `type` (0 a topic, 4 a journal).
inline Bytes topic(std::string_view name, char type = '\0') {
    return fixtures::RecordBuilder("DIAL")
        .text("NAME", name)
        .raw("DATA", std::string(1, type))
        .bytes();
}

// A response whose NAME is stored without a terminating zero, as most plugins store it;
// `script`, if any, is its result script.
inline Bytes info(std::string_view id, std::string_view text, std::string_view script = "") {
    auto record = fixtures::RecordBuilder("INFO").text("INAM", id).raw("NAME", text);
    if (!script.empty()) {
        record.raw("BNAM", script);
    }
    return record.bytes();
}

} // namespace orv::test
