#include "save/TopicReferencePass.h"

#include "plugin/ResultScript.h"
#include "plugin/Subrecord.h"
#include "save/CellReferencePass.h"
#include "translation/DatabaseFile.h"

namespace orv {

TopicNameTable::TopicNameTable(const BlockStore& store, const ObjectLists& lists,
                               ByteSpan topic_database, ByteSpan external_database) {
    const RecordType& topic = kRecordTypes[kTopicType];
    for (const auto& element : lists.list(kTopicType).elements) {
        if (element.dv_name.empty()) {
            continue;
        }
        add(element.ev_name, element.dv_name);
        if (element.block > 0 && static_cast<std::size_t>(element.block) < store.block_count()) {
            const Block& block = store.block(static_cast<std::size_t>(element.block));
            if (const auto name = find_subrecord(block, topic.name_subrecord)) {
                add(subrecord_text(block, *name, TextKind::Terminated), element.dv_name);
            }
        }
    }
    for (const ByteSpan file : {topic_database, external_database}) {
        for (const auto& entry : parse_pair_file(file).entries) {
            add(entry[0], entry[1]);
        }
    }
}

void TopicNameTable::add(TextView original, TextView german) {
    if (!original.empty()) {
        m_names.try_emplace(ascii_upper(original), Text(german));
    }
}

std::optional<Text> TopicNameTable::translation(TextView topic) const {
    const auto found = m_names.find(ascii_upper(topic));
    if (found == m_names.end()) {
        return std::nullopt;
    }
    return found->second;
}

int translate_topic_references(BlockStore& store, const TopicNameTable& names) {
    int changed = 0;
    // Block 0 is the file header, never a response.
    for (std::size_t number = 1; number < store.block_count(); ++number) {
        Block& block = store.block(number);
        if (record_tag(block) != "INFO") {
            continue;
        }
        const auto script = find_subrecord(block, "BNAM");
        if (!script) {
            continue;
        }
        const auto rewrite =
            rewrite_script_arguments(result_script_text(block, *script), ScriptArgumentKind::Topic,
                                     [&names](TextView topic) { return names.translation(topic); });
        if (rewrite.replaced > 0) {
            changed += rewrite.replaced;
            replace_subrecord_text(block, *script, TextKind::Whole, rewrite.script);
        }
    }
    return changed;
}

} // namespace orv
