#pragma once

#include <string>
#include <string_view>

#include "fixtures/PluginBuilder.h"
#include "translation/Responses.h"

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

// Loads the responses of every dialogue record of the store, as a load does.
inline void load_all_responses(BlockStore& store, const TripleFile& database, ObjectLists& rows,
                               const MemoryIndex& memory = MemoryIndex()) {
    std::vector<std::int32_t> dialogue;
    for (std::size_t number = 1; number < store.block_count(); ++number) {
        if (is_dialogue_record(store.block(number))) {
            dialogue.push_back(static_cast<std::int32_t>(number));
        }
    }
    load_responses(store, dialogue, database, rows, memory);
}

} // namespace orv::test
