#include "translation/Responses.h"

#include "plugin/Dialogue.h"
#include "plugin/ResultScript.h"
#include "translation/TranslationDatabase.h"
#include "translation/TranslationMemory.h"

namespace orv {

namespace {

// Puts the memory's German texts into the result script's text arguments; the other bytes
// of the script stay.
void fill_script_texts(Block& block, const MemoryIndex& memory) {
    const auto script = find_subrecord(block, "BNAM");
    if (!script) {
        return;
    }
    const auto rewrite =
        rewrite_script_arguments(result_script_view(block, *script), ScriptArgumentKind::Text,
                                 [&memory](TextView argument) -> std::optional<Text> {
                                     const Text* german =
                                         memory.translation(kScriptTextMemory, argument);
                                     return german ? std::optional<Text>(*german) : std::nullopt;
                                 });
    if (rewrite.replaced > 0) {
        replace_subrecord_text(block, *script, TextKind::Whole, rewrite.script);
    }
}

// The memory's verdict on a response: its German text filled in, or already German.
bool fill_from_memory(Block& block, const ResponseText& place, ResponseElement& response,
                      const MemoryIndex& memory) {
    const int kind = response.kind == ResponseKind::Journal ? kJournalMemory : kDialogMemory;
    if (const Text* german = memory.translation(kind, response.original)) {
        if (*german != response.original) {
            replace_subrecord_text(block, place.subrecord, place.kind, *german);
        }
        return true;
    }
    return memory.original_of(kind, response.original) != nullptr;
}

} // namespace

bool is_dialogue_record(const Block& block) {
    return tag_at(block, 0, "DIAL") || tag_at(block, 0, "INFO");
}

void load_responses(BlockStore& store, std::span<const std::int32_t> dialogue,
                    const TripleFile& database, ObjectLists& rows, const MemoryIndex& memory) {
    const TextDatabaseIndex known(database);
    auto& responses = rows.responses();
    auto& problems = rows.dialogue_problems();
    std::size_t infos = 0;
    for (const std::int32_t number : dialogue) {
        const Block* block = store.find(number);
        infos += block && tag_at(*block, 0, "INFO") ? 1 : 0;
    }
    responses.reserve(responses.size() + infos);
    // The DIAL the following INFO records belong to: none before the first one, and none
    // behind a DIAL whose type cannot be read.
    std::int32_t topic_block = 0;
    std::optional<DialogueType> topic_type;
    Text topic_name;
    for (const std::int32_t block_number : dialogue) {
        Block* found = store.find(block_number);
        if (found == nullptr) {
            continue;
        }
        Block& block = *found;
        if (tag_at(block, 0, "DIAL")) {
            topic_block = block_number;
            topic_type = dialogue_type(block);
            const auto name = find_subrecord(block, "NAME");
            topic_name = name ? subrecord_text(block, *name, TextKind::Terminated) : Text{};
            if (!topic_type) {
                problems.push_back({DialogueProblem::Kind::TopicWithoutType, block_number});
            }
            continue;
        }
        if (!tag_at(block, 0, "INFO")) {
            continue;
        }
        if (!topic_type) {
            problems.push_back({DialogueProblem::Kind::ResponseWithoutTopic, block_number});
            continue;
        }
        const auto place = response_text_place(block);
        if (!place) {
            continue;
        }
        ResponseElement response;
        response.kind =
            *topic_type == DialogueType::Journal ? ResponseKind::Journal : ResponseKind::Dialog;
        response.topic = topic_name;
        response.id = response_id(block);
        response.original = response_text(block, *place);
        if (const auto script = find_subrecord(block, "BNAM")) {
            response.original_script = result_script_text(block, *script);
        }
        response.block = block_number;
        response.topic_block = topic_block;
        if (!memory.empty() && fill_from_memory(block, *place, response, memory)) {
            response.mark = mark::kShipped;
        } else if (const TripleEntry* entry = known.find(response.id)) {
            if ((*entry)[1] == response.original && (*entry)[2] != response.original) {
                replace_subrecord_text(block, place->subrecord, place->kind, (*entry)[2]);
                response.mark = mark::kShipped;
            } else if ((*entry)[2] == response.original) {
                response.mark = mark::kExternal;
            }
        }
        // After the text: the script is found anew, wherever the text's change moved it.
        if (!memory.empty()) {
            fill_script_texts(block, memory);
        }
        responses.push_back(std::move(response));
    }
}

Text current_response_text(const BlockStore& store, const ResponseElement& response) {
    const Block* block = store.find(response.block);
    const auto place = block ? response_text_place(*block) : std::nullopt;
    return place ? response_text(*block, *place) : Text{};
}

bool set_response_text(BlockStore& store, ResponseElement& response, TextView text) {
    Block* block = store.find(response.block);
    if (block == nullptr) {
        return false;
    }
    const auto place = response_text_place(*block);
    if (!place) {
        return false;
    }
    const Text before = response_text(*block, *place);
    if (before == text) {
        return false;
    }
    replace_subrecord_text(*block, place->subrecord, place->kind, text);
    response.mark = mark::kEdited;
    return true;
}

std::string_view response_kind_label(ResponseKind kind) {
    return kind == ResponseKind::Journal ? "Journal" : "Dialog";
}

} // namespace orv
