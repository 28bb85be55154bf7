#pragma once

#include <vector>

#include "platform/Files.h"
#include "plugin/BlockStore.h"
#include "save/ReferenceCheck.h"
#include "translation/ObjectLists.h"

namespace orv {

// Adds what the dialogue of the loaded plugin breaks, as the next save would write it:
// first the dialogue records that could not be placed (block order), then for each
// response in file order whose text is not its original any more the problems of its
// translation (linked topics, among the plugin's topics and those of the topic name file
// `topic_names`, defines, length), the defines its result-script texts lost, and the lines
// of its result script whose quote is never closed.
void check_dialogue(const BlockStore& store, const ObjectLists& lists, ByteSpan topic_names,
                    std::vector<Finding>& findings);

} // namespace orv
