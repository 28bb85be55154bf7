#include "translation/StoredTextMemory.h"

#include <optional>

#include "plugin/LongTexts.h"
#include "translation/CompiledScriptTexts.h"

namespace orv {
namespace {

struct KindAndText {
    int kind = 0;
    Text text;
};

// A stored text as its record holds it now: slot 0 is a record's long text, slots from 1
// the texts of a compiled script in their order.
std::optional<KindAndText> text_now(const Block& block, int slot) {
    if (slot > 0) {
        auto texts = compiled_script_texts(block);
        if (static_cast<std::size_t>(slot) > texts.size()) {
            return std::nullopt;
        }
        return KindAndText{kCompiledScriptMemory,
                           std::move(texts[static_cast<std::size_t>(slot) - 1])};
    }
    auto text = long_text_of(block);
    if (!text) {
        return std::nullopt;
    }
    return KindAndText{kFirstTextMemory + static_cast<int>(text->target), std::move(text->text)};
}

} // namespace

std::vector<MemoryEntry> stored_text_memory(const StoredTexts& stored, const BlockStore& store,
                                            const Text& date) {
    std::vector<MemoryEntry> lines;
    for (const auto& [number, slot] : stored.unsaved_texts()) {
        const Block* block = store.find(number);
        const Text* original = stored.original(number, slot);
        if (block == nullptr || original == nullptr || original->empty()) {
            continue;
        }
        auto now = text_now(*block, slot);
        if (now && !now->text.empty() && now->text != *original) {
            lines.push_back({now->kind, *original, std::move(now->text), date, {}});
        }
    }
    return lines;
}

} // namespace orv
