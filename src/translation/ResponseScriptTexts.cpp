#include "translation/ResponseScriptTexts.h"

#include "plugin/Dialogue.h"
#include "plugin/ResultScript.h"
#include "plugin/Subrecord.h"

namespace orv {

std::vector<Text> shown_script_texts(TextView script) {
    std::vector<Text> texts;
    for (const auto& argument : find_script_arguments(script).arguments) {
        if (argument.kind == ScriptArgumentKind::Text) {
            texts.emplace_back(script.substr(argument.offset, argument.length));
        }
    }
    return texts;
}

std::optional<Text> script_text_refusal(TextView text) {
    if (text.find_first_of(TextView("\"\r\n\0", 4)) != TextView::npos) {
        return cp1252(u8"Ein Text im Skript einer Antwort darf weder Anführungszeichen noch "
                      u8"Zeilenumbrüche oder Nullbytes enthalten.");
    }
    return std::nullopt;
}

Text current_response_script(const BlockStore& store, const ResponseElement& response) {
    const Block* block = store.find(response.block);
    const auto script = block ? find_subrecord(*block, "BNAM") : std::nullopt;
    return script ? result_script_text(*block, *script) : Text{};
}

std::optional<ShownTextsRewrite> rewrite_shown_script_texts(Block& block,
                                                            const ShownTextReplacer& replace) {
    const auto script = find_subrecord(block, "BNAM");
    if (!script) {
        return std::nullopt;
    }
    std::size_t count = 0;
    const auto rewrite =
        rewrite_script_arguments(result_script_text(block, *script), ScriptArgumentKind::Text,
                                 [&](TextView now) { return replace(count++, now); });
    if (rewrite.replaced > 0) {
        replace_subrecord_text(block, *script, TextKind::Whole, rewrite.script);
    }
    return ShownTextsRewrite{count, rewrite.replaced > 0};
}

bool set_response_script_texts(BlockStore& store, ResponseElement& response,
                               const std::vector<Text>& texts) {
    Block* block = store.find(response.block);
    if (block == nullptr) {
        return false;
    }
    const auto rewrite = rewrite_shown_script_texts(
        *block, [&texts](std::size_t index, TextView now) -> std::optional<Text> {
            if (index < texts.size() && texts[index] != now) {
                return texts[index];
            }
            return std::nullopt;
        });
    if (!rewrite || !rewrite->changed) {
        return false;
    }
    response.mark = mark::kEdited;
    return true;
}

} // namespace orv
