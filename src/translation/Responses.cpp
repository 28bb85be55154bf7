#include "translation/Responses.h"

#include <unordered_map>

#include "plugin/Dialogue.h"

namespace orv {
namespace {

// The first database entry of every response ID: responses are looked up by ID, and a
// plugin has tens of thousands of them.
class ResponseDatabase {
public:
    explicit ResponseDatabase(const TripleFile& file) : m_file(file) {
        m_first.reserve(file.entries.size());
        for (std::size_t i = 0; i < file.entries.size(); ++i) {
            m_first.try_emplace(file.entries[i][0], i);
        }
    }

    const TripleEntry* find(TextView id) const {
        const auto found = m_first.find(id);
        return found == m_first.end() ? nullptr : &m_file.entries[found->second];
    }

private:
    const TripleFile& m_file;
    std::unordered_map<TextView, std::size_t> m_first;
};

Block* block_of(BlockStore& store, std::int32_t number) {
    if (number <= 0 || static_cast<std::size_t>(number) >= store.block_count()) {
        return nullptr;
    }
    return &store.block(static_cast<std::size_t>(number));
}

} // namespace

void load_responses(BlockStore& store, const TripleFile& database, ObjectLists& rows) {
    const ResponseDatabase known(database);
    auto& responses = rows.responses();
    auto& problems = rows.dialogue_problems();
    // The DIAL the following INFO records belong to: none before the first one, and none
    // behind a DIAL whose type cannot be read.
    std::int32_t topic_block = 0;
    std::optional<DialogueType> topic_type;
    Text topic_name;
    for (std::size_t number = 1; number < store.block_count(); ++number) {
        Block& block = store.block(number);
        const auto block_number = static_cast<std::int32_t>(number);
        const Text tag = record_tag(block);
        if (tag == "DIAL") {
            topic_block = block_number;
            topic_type = dialogue_type(block);
            const auto name = find_subrecord(block, "NAME");
            topic_name = name ? subrecord_text(block, *name, TextKind::Terminated) : Text{};
            if (!topic_type) {
                problems.push_back({DialogueProblem::Kind::TopicWithoutType, block_number});
            }
            continue;
        }
        if (tag != "INFO") {
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
    if (response.block <= 0 || static_cast<std::size_t>(response.block) >= store.block_count()) {
        return {};
    }
    const Block& block = store.block(static_cast<std::size_t>(response.block));
    const auto place = response_text_place(block);
    return place ? response_text(block, *place) : Text{};
}

bool set_response_text(BlockStore& store, ResponseElement& response, TextView text) {
    Block* block = block_of(store, response.block);
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
