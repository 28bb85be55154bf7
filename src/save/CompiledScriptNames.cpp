#include "save/CompiledScriptNames.h"

#include "scriptcode/ScriptRecord.h"

namespace orv {
namespace {

std::optional<ScriptArgumentKind> argument_kind(scriptcode::StringRole role) {
    switch (role) {
    case scriptcode::StringRole::Topic:
        return ScriptArgumentKind::Topic;
    case scriptcode::StringRole::Cell:
        return ScriptArgumentKind::Cell;
    case scriptcode::StringRole::Message:
    case scriptcode::StringRole::Button:
        break;
    }
    return std::nullopt;
}

} // namespace

int translate_compiled_script_names(
    Block& block, ScriptArgumentKind kind,
    const std::function<std::optional<Text>(TextView name)>& translation) {
    const auto script = scriptcode::read_script_strings(block);
    if (!script) {
        return 0;
    }
    std::vector<scriptcode::StringReplacement> replacements;
    for (const auto& string : script->strings) {
        if (argument_kind(string.role) != kind) {
            continue;
        }
        if (auto name = translation(string.text); name && *name != string.text) {
            replacements.push_back({string.number, std::move(*name)});
        }
    }
    if (replacements.empty()) {
        return 0;
    }
    auto changed = scriptcode::replace_script_strings(block, replacements);
    if (!changed) {
        return 0;
    }
    block = std::move(*changed);
    return static_cast<int>(replacements.size());
}

std::vector<CompiledScriptNamePlace> compiled_script_name_places(const Block& block) {
    std::vector<CompiledScriptNamePlace> places;
    const auto script = scriptcode::read_script_strings(block);
    if (!script) {
        return places;
    }
    for (const auto& string : script->strings) {
        if (const auto kind = argument_kind(string.role)) {
            places.push_back({string.source_offset, *kind});
        }
    }
    return places;
}

} // namespace orv
