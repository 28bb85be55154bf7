#include "learn/RecordTexts.h"

#include <optional>

#include "plugin/Dialogue.h"
#include "plugin/LongTexts.h"
#include "plugin/RecordTypes.h"
#include "plugin/ResultScript.h"
#include "plugin/Subrecord.h"
#include "scriptcode/ScriptRecord.h"
#include "translation/CompiledScriptTexts.h"
#include "translation/TranslationMemory.h"

namespace orv {
namespace {

void add_name(const Block& block, const RecordType& type, RecordTexts& record) {
    const auto name = find_subrecord(block, type.name_subrecord);
    if (name && name->size > 1) {
        record.texts.push_back({type.index, 0, subrecord_text(block, *name, TextKind::Terminated)});
    }
}

void add_long_texts(const Block& block, RecordTexts& record) {
    if (auto text = long_text_of(block); text && !text->text.empty()) {
        record.texts.push_back(
            {kFirstTextMemory + static_cast<int>(text->target), 0, std::move(text->text)});
    }
}

void add_response_texts(const Block& block, DialogueType topic_type, RecordTexts& record) {
    if (const auto place = response_text_place(block)) {
        Text text = response_text(block, *place);
        if (!text.empty()) {
            record.texts.push_back(
                {topic_type == DialogueType::Journal ? kJournalMemory : kDialogMemory, 0,
                 std::move(text)});
        }
    }
    const auto script = find_subrecord(block, "BNAM");
    if (!script) {
        return;
    }
    const Text text = result_script_text(block, *script);
    int slot = 0;
    for (const auto& argument : find_script_arguments(text).arguments) {
        if (argument.kind == ScriptArgumentKind::Text) {
            ++slot;
            if (argument.length > 0) {
                record.texts.push_back(
                    {kScriptTextMemory, slot, text.substr(argument.offset, argument.length)});
            }
        }
    }
}

void add_compiled_script_texts(const Block& block, RecordTexts& record) {
    int slot = 0;
    for (auto& text : compiled_script_texts(block)) {
        ++slot;
        if (!text.empty()) {
            record.texts.push_back({kCompiledScriptMemory, slot, std::move(text)});
        }
    }
}

Text cell_id(const Block& block) {
    const auto name = find_subrecord(block, "NAME");
    Text text = name ? subrecord_text(block, *name, TextKind::Terminated) : Text{};
    if (!text.empty()) {
        return text;
    }
    const auto data = find_subrecord(block, "DATA");
    if (data && data->size >= 12) {
        const auto x = read_u32_le(block, data->data_offset() + 4);
        const auto y = read_u32_le(block, data->data_offset() + 8);
        if (x && y) {
            return std::to_string(static_cast<std::int32_t>(*x)) + "," +
                   std::to_string(static_cast<std::int32_t>(*y));
        }
    }
    return text;
}

} // namespace

RecordTextReader::RecordTextReader(const std::vector<Block>& blocks)
    : m_blocks(blocks), m_topic_types(blocks.size(), -1) {
    std::int8_t topic_type = -1;
    for (std::size_t number = 1; number < blocks.size(); ++number) {
        if (tag_at(blocks[number], 0, "DIAL")) {
            const auto type = dialogue_type(blocks[number]);
            topic_type = type ? static_cast<std::int8_t>(*type) : std::int8_t{-1};
        }
        m_topic_types[number] = topic_type;
    }
}

Text RecordTextReader::id(std::size_t number) const {
    const Block& block = m_blocks.at(number);
    if (tag_at(block, 0, "INFO")) {
        return response_id(block);
    }
    if (tag_at(block, 0, "SCPT")) {
        return scriptcode::script_id(block);
    }
    return tag_at(block, 0, "CELL") ? cell_id(block) : record_id(block);
}

RecordTexts RecordTextReader::texts(std::size_t number) const {
    const Block& block = m_blocks.at(number);
    RecordTexts record;
    record.id = id(number);
    const std::int8_t topic_type = m_topic_types[number];
    if (tag_at(block, 0, "INFO")) {
        if (topic_type >= 0) {
            add_response_texts(block, static_cast<DialogueType>(topic_type), record);
        }
        return record;
    }
    if (tag_at(block, 0, "SCPT")) {
        add_compiled_script_texts(block, record);
        return record;
    }
    const Text tag = record_tag(block);
    if (const auto type = object_type_of(tag); type && *type != kPathGridType) {
        if (*type != kTopicType || topic_type == static_cast<std::int8_t>(DialogueType::Topic)) {
            add_name(block, kRecordTypes[static_cast<std::size_t>(*type)], record);
        }
    }
    add_long_texts(block, record);
    return record;
}

std::vector<RecordTexts> texts_of_records(const std::vector<Block>& blocks) {
    const RecordTextReader reader(blocks);
    std::vector<RecordTexts> records(blocks.size());
    for (std::size_t number = 1; number < blocks.size(); ++number) {
        records[number] = reader.texts(number);
    }
    return records;
}

} // namespace orv
