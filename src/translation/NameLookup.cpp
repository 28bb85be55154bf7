#include "translation/NameLookup.h"

namespace orv {
namespace {

// Searches one database. `translated` is the code of a name that already is an entry's
// translation, `replaced` the code of a name that was an entry's original and is replaced.
LookupResult lookup_in(Block& block, const Subrecord& name, TextView key, const NameIndex& index,
                       LookupCode translated, LookupCode replaced) {
    const auto found = index.first_match(key);
    if (!found) {
        return {};
    }
    const auto& [original, translation] = index.entry(*found);
    // The translation is checked first: an entry whose two texts are equal leaves the name
    // as it is, which matters for a name with zero bytes inside, whose key has them
    // left out but whose block still holds them.
    if (translation == key) {
        return {translated, original};
    }
    replace_subrecord_text(block, name, TextKind::Terminated, translation);
    return {replaced, {}};
}

} // namespace

LookupResult lookup_name(Block& block, const Subrecord& name, const NameIndex& external,
                         const NameIndex& names) {
    return lookup_name(block, name, external, MemoryIndex(), 0, names);
}

LookupResult lookup_name(Block& block, const Subrecord& name, const NameIndex& external,
                         const MemoryIndex& memory, int list, const NameIndex& names) {
    const Text key = subrecord_text(block, name, TextKind::Terminated);
    // The external database holds the user's own translations, which win over the
    // shipped ones.
    auto result = lookup_in(block, name, key, external, LookupCode::ExternalTranslation,
                            LookupCode::ExternalOriginal);
    if (result.code != LookupCode::NotFound) {
        return result;
    }
    if (const Text* german = memory.translation(list, key)) {
        if (*german == key) {
            return {LookupCode::ShippedTranslation, key};
        }
        replace_subrecord_text(block, name, TextKind::Terminated, *german);
        return {LookupCode::ShippedOriginal, {}};
    }
    if (const Text* english = memory.original_of(list, key)) {
        return {LookupCode::ShippedTranslation, *english};
    }
    return lookup_in(block, name, key, names, LookupCode::ShippedTranslation,
                     LookupCode::ShippedOriginal);
}

} // namespace orv
