#pragma once

#include <vector>

#include "plugin/BlockStore.h"
#include "translation/StoredTexts.h"
#include "translation/TranslationMemory.h"

namespace orv {

// What a save adds to the translation memory for the texts the editor stored: each long text
// and each compiled script's message or button stored since the last save, under its kind, as
// the text it was opened with and the one its record now holds. The next plugin that has the
// same English text then gets the German one at Open, as a name typed by hand does. A text
// that is empty or no longer differs from its original adds nothing; so does a script whose
// texts no longer read.
std::vector<MemoryEntry> stored_text_memory(const StoredTexts& stored, const BlockStore& store,
                                            const Text& date);

} // namespace orv
