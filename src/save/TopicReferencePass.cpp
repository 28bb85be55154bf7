#include "save/TopicReferencePass.h"

#include "plugin/ResultScript.h"
#include "plugin/Subrecord.h"
#include "save/CellReferencePass.h"
#include "save/CompiledScriptNames.h"
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
                               ByteSpan topic_database, ByteSpan external_database,
                               ByteSpan learned_topics)
    : m_names(parse_joined_pair_files(
          {plugin_topic_names(store, lists), topic_database, external_database, learned_topics})) {
    // Built now, so that lookups from several threads only read it.
    m_lookup.build();
}

int translate_topic_references(BlockStore& store, const TopicNameTable& names, std::size_t first,
                               std::size_t end) {
    int changed = 0;
    for (std::size_t number = first; number < end; ++number) {
        Block& block = store.block(number);
        if (tag_at(block, 0, "SCPT")) {
            changed += translate_compiled_script_names(
                block, ScriptArgumentKind::Topic,
                [&names](TextView topic) { return names.translation(topic); });
            continue;
        }
        if (!tag_at(block, 0, "INFO")) {
            continue;
        }
        const auto script = find_subrecord(block, "BNAM");
        if (!script) {
            continue;
        }
        const auto rewrite =
            rewrite_script_arguments(result_script_view(block, *script), ScriptArgumentKind::Topic,
                                     [&names](TextView topic) { return names.translation(topic); });
        if (rewrite.replaced > 0) {
            changed += rewrite.replaced;
            replace_subrecord_text(block, *script, TextKind::Whole, rewrite.script);
        }
    }
    return changed;
}

} // namespace orv
