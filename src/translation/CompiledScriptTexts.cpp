#include "translation/CompiledScriptTexts.h"

#include <string>

#include "scriptcode/ScriptRecord.h"

namespace orv {
namespace {

bool player_reads(scriptcode::StringRole role) {
    return role == scriptcode::StringRole::Message || role == scriptcode::StringRole::Button;
}

} // namespace

std::vector<Text> compiled_script_texts(const Block& block) {
    std::vector<Text> texts;
    auto script = scriptcode::read_script_strings(block);
    if (script) {
        for (auto& string : script->strings) {
            if (player_reads(string.role)) {
                texts.push_back(std::move(string.text));
            }
        }
    }
    return texts;
}

std::vector<PlayerText> find_compiled_script_texts(const PlayerTextKind& kind,
                                                   const BlockStore& store, const ObjectLists&) {
    std::vector<PlayerText> texts;
    // Block 0 is the file header, whatever its tag.
    for (std::size_t number = 1; number < store.block_count(); ++number) {
        const Block& block = store.block(number);
        if (record_tag(block) != kind.tag) {
            continue;
        }
        const Text id = scriptcode::script_id(block);
        int slot = 0;
        for (auto& text : compiled_script_texts(block)) {
            ++slot;
            texts.push_back({number, id + "#" + std::to_string(slot), std::move(text), slot});
        }
    }
    return texts;
}

std::optional<Text> write_compiled_script_text(const PlayerTextKind&, Block& block,
                                               const PlayerText& target, TextView text) {
    const auto script = scriptcode::read_script_strings(block);
    if (!script) {
        return script.error().message;
    }
    int slot = 0;
    for (const auto& string : script->strings) {
        if (!player_reads(string.role) || ++slot != target.slot) {
            continue;
        }
        auto changed = scriptcode::replace_script_strings(block, {{string.number, Text(text)}});
        if (!changed) {
            return changed.error().message;
        }
        block = std::move(*changed);
        return std::nullopt;
    }
    return cp1252(u8"Der Text „") + target.key + cp1252(u8"“ ist im Skript nicht mehr da.");
}

void fill_compiled_script_texts(BlockStore& store, const MemoryIndex& memory) {
    if (!memory.holds(kCompiledScriptMemory)) {
        return;
    }
    for (std::size_t number = 1; number < store.block_count(); ++number) {
        Block& block = store.block(number);
        if (!tag_at(block, 0, "SCPT")) {
            continue;
        }
        const auto script = scriptcode::read_script_strings(block);
        if (!script) {
            continue;
        }
        std::vector<scriptcode::StringReplacement> replacements;
        for (const auto& string : script->strings) {
            const Text* german = player_reads(string.role)
                                     ? memory.translation(kCompiledScriptMemory, string.text)
                                     : nullptr;
            if (german != nullptr && *german != string.text) {
                replacements.push_back({string.number, *german});
            }
        }
        if (replacements.empty()) {
            continue;
        }
        if (auto changed = scriptcode::replace_script_strings(block, replacements)) {
            block = std::move(*changed);
        }
    }
}

} // namespace orv
