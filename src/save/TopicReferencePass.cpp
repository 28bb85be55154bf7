#include "save/TopicReferencePass.h"

#include "plugin/ResultScript.h"
#include "plugin/Subrecord.h"
#include "save/CellReferencePass.h"
#include "translation/DatabaseFile.h"

namespace orv {

namespace {

// The plugin's topics as pairs: (English name, name the save writes) and (name the record
// holds now, name the save writes), rows in list order.
Bytes plugin_topic_names(const BlockStore& store, const ObjectLists& lists) {
    Bytes pairs;
    const RecordType& topic = kRecordTypes[kTopicType];
    for (const auto& element : lists.list(kTopicType).elements) {
        if (element.dv_name.empty()) {
            continue;
        }
        append_entry(pairs, PairEntry{element.ev_name, element.dv_name});
        const Block* block = store.find(element.block);
        if (const auto name = block ? find_subrecord(*block, topic.name_subrecord) : std::nullopt) {
            append_entry(pairs, PairEntry{subrecord_text(*block, *name, TextKind::Terminated),
                                          element.dv_name});
        }
    }
    return pairs;
}

} // namespace

TopicNameTable::TopicNameTable(const BlockStore& store, const ObjectLists& lists,
                               ByteSpan topic_database, ByteSpan external_database)
    : m_names(build_reference_table(
          {plugin_topic_names(store, lists), topic_database, external_database})) {}

int translate_topic_references(BlockStore& store, const TopicNameTable& names) {
    int changed = 0;
    // Block 0 is the file header, never a response.
    for (std::size_t number = 1; number < store.block_count(); ++number) {
        Block& block = store.block(number);
        if (!tag_at(block, 0, "INFO")) {
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
