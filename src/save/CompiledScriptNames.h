#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "plugin/Block.h"
#include "plugin/ResultScript.h"

namespace orv {

// The topic and cell names of compiled scripts (SCPT) that a save renames. Only a script
// whose compiled code decodes without doubt and agrees with its source is changed, in its
// source and its code together; any other script keeps every byte (the check names it).

// Gives every argument of `kind` (Topic: AddTopic; Cell: the cell functions) of the script
// in `block` the name `translation` returns for it, when that differs. Returns how many
// arguments changed; 0, with the block as it was, for a script that cannot be changed or a
// replacement the script refuses.
int translate_compiled_script_names(
    Block& block, ScriptArgumentKind kind,
    const std::function<std::optional<Text>(TextView name)>& translation);

// Where the script's source holds the topic and cell arguments that
// translate_compiled_script_names rewrites: each text's offset in SCTX and its kind. Empty
// for a script that cannot be changed.
struct CompiledScriptNamePlace {
    std::size_t offset = 0;
    ScriptArgumentKind kind = ScriptArgumentKind::Cell;
};
std::vector<CompiledScriptNamePlace> compiled_script_name_places(const Block& block);

} // namespace orv
