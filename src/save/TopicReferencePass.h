#pragma once

#include <optional>

#include "platform/Files.h"
#include "plugin/BlockStore.h"
#include "save/CellReferencePass.h"
#include "translation/NameIndex.h"
#include "translation/ObjectLists.h"

namespace orv {

// The German names that topic arguments of result scripts get, looked up without regard to
// ASCII letter case as the game finds topics: first the plugin's own topics (the English
// name, and the name the record holds now, each to the name the save writes), then the
// shipped topic names, then the external database, then the memory's topic names. The
// first entry of a name wins.
class TopicNameTable {
public:
    TopicNameTable(const BlockStore& store, const ObjectLists& lists, ByteSpan topic_database,
                   ByteSpan external_database, ByteSpan learned_topics = {});
    TopicNameTable(const TopicNameTable&) = delete;
    TopicNameTable& operator=(const TopicNameTable&) = delete;

    // The German name of a topic, or nothing for a name no source translates.
    std::optional<Text> translation(TextView topic) const { return m_lookup.translation(topic); }

private:
    // Only looked up without regard to case: an index of the exact names would be built
    // for nothing.
    PairFile m_names;
    ScriptNameLookup m_lookup{m_names};
};

// Gives every topic argument (AddTopic) of every INFO result script (BNAM), and of every
// compiled script that can be changed (see CompiledScriptNames.h), in blocks [first, end) the
// name the table knows for it; every other byte of the script stays, and a script without
// such an argument keeps every byte. Returns the number of arguments whose text changed.
// Other ranges of the same store may be translated on other threads at the same time: the
// table is only read.
int translate_topic_references(BlockStore& store, const TopicNameTable& names, std::size_t first,
                               std::size_t end);

} // namespace orv
