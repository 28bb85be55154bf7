#pragma once

#include "plugin/Block.h"
#include "plugin/Subrecord.h"
#include "translation/MemoryIndex.h"
#include "translation/NameIndex.h"

namespace orv {

// What the name lookup found. The numbers are the result codes the rows' marks follow.
enum class LookupCode {
    // No entry knows the name.
    NotFound = 0,
    // The name is the original of an entry of the kind's name database file: replaced.
    ShippedOriginal = 1,
    // The name is already the translation of an entry of the external database.
    ExternalTranslation = 2,
    // The name is already the translation of an entry of the kind's name database file.
    ShippedTranslation = 3,
    // The name is the original of an entry of the external database: replaced.
    ExternalOriginal = 4,
};

struct LookupResult {
    LookupCode code = LookupCode::NotFound;
    // The matching entry's original for codes 2 and 3; empty otherwise.
    Text english;
};

// The name lookup for the terminated name subrecord `name` of `block`. The key is the name
// text (the first L - 1 data bytes, zero bytes left out). The external database is searched
// first, then the kind's name database; in each, the first entry whose original or
// translation equals the key decides. A key equal to the entry's translation gives code 2
// or 3 and leaves the block unchanged (also when original and translation are equal);
// otherwise the name is replaced by the translation (code 4 or 1), keeping every size
// field right.
LookupResult lookup_name(Block& block, const Subrecord& name, const NameIndex& external,
                         const NameIndex& names);

// The same with the translation memory's names of the record's object list `list` asked
// between the external database and the name database file: a name that is a line's
// English text is replaced by its German one, a name that is a line's German text stays.
// Both count as shipped translations (codes 1 and 3), since the memory holds what earlier
// saves and learned plugins confirmed, not this plugin's own hand translations.
LookupResult lookup_name(Block& block, const Subrecord& name, const NameIndex& external,
                         const MemoryIndex& memory, int list, const NameIndex& names);

} // namespace orv
