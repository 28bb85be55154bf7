#include "translation/Responses.h"

#include "plugin/Dialogue.h"
#include "translation/TranslationDatabase.h"

namespace orv {

void load_responses(BlockStore& store, const TripleFile& database, ObjectLists& rows) {
    const TextDatabaseIndex known(database);
    auto& responses = rows.responses();
    auto& problems = rows.dialogue_problems();
    std::size_t infos = 0;
    for (std::size_t number = 1; number < store.block_count(); ++number) {
        infos += tag_at(store.block(number), 0, "INFO") ? 1 : 0;
    }
    responses.reserve(responses.size() + infos);
    // The DIAL the following INFO records belong to: none before the first one, and none
    // behind a DIAL whose type cannot be read.
    std::int32_t topic_block = 0;
    std::optional<DialogueType> topic_type;
    Text topic_name;
    for (std::size_t number = 1; number < store.block_count(); ++number) {
        Block& block = store.block(number);
        const auto block_number = static_cast<std::int32_t>(number);
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
        if (const TripleEntry* entry = known.find(response.id)) {
            if ((*entry)[1] == response.original && (*entry)[2] != response.original) {
                replace_subrecord_text(block, place->subrecord, place->kind, (*entry)[2]);
                response.mark = mark::kShipped;
            } else if ((*entry)[2] == response.original) {
                response.mark = mark::kExternal;
            }
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
