#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "plugin/BlockStore.h"
#include "translation/DatabaseFile.h"
#include "translation/MemoryIndex.h"
#include "translation/ObjectLists.h"

namespace orv {

// The text database of responses and journal entries: triples (INFO ID, original, German).
inline constexpr std::string_view kResponseDatabaseName = "Txtinfodata.dat";

// Files every INFO record among the blocks `dialogue` numbers into `rows.responses()` and every
// dialogue record that cannot be placed into `rows.dialogue_problems()`, in file order. An INFO
// belongs to the DIAL before it; under a journal it is a journal entry (or the quest's
// title), under the other four types a line of dialogue. A response whose ID the database
// knows with the record's text as original gets the German text in its record and mark
// "B"; one whose text already is that German text gets "Ü". Before the database, the
// translation memory is asked: a text it knows as English gets the German one and "B", a
// text it knows as German stays and gets "B"; the texts its result script shows are
// replaced by the memory's German ones alike. An INFO without a NAME has no text to
// translate and no row.
// `dialogue` must number the blocks among 1 to N that are dialogue records
// (is_dialogue_record), in file order; no other block is read or changed, so another thread
// may change them meanwhile.
void load_responses(BlockStore& store, std::span<const std::int32_t> dialogue,
                    const TripleFile& database, ObjectLists& rows,
                    const MemoryIndex& memory = MemoryIndex());

// Whether the block is one of the records load_responses reads: a DIAL or an INFO.
bool is_dialogue_record(const Block& block);

// Puts `text` into the response's record as the user's translation and marks it "*";
// returns whether the record's text changed. The NAME keeps its terminating zero byte
// when it had one. A row whose block holds no text changes nothing.
bool set_response_text(BlockStore& store, ResponseElement& response, TextView text);

// The response's text as its record holds it now (empty when the block has no NAME).
Text current_response_text(const BlockStore& store, const ResponseElement& response);

// The label of a response kind in the batch tool's lines and the memory: "Dialog" or
// "Journal".
std::string_view response_kind_label(ResponseKind kind);

} // namespace orv
