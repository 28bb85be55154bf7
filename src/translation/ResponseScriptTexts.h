#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "plugin/BlockStore.h"
#include "translation/ObjectLists.h"

namespace orv {

// The texts a response's result script shows the player (the options of Choice, the text
// and buttons of MessageBox, Say's subtitle), in script order. A line with a quotation mark
// that is not closed holds none: its strings stay as they are.
std::vector<Text> shown_script_texts(TextView script);

// Why `text` cannot stand as a string in a script, in German: a double quote would end it, a
// line break end the line, a zero byte the whole script. Nothing when it can.
std::optional<Text> script_text_refusal(TextView text);

// The response's result script as its record holds it now (empty without one).
Text current_response_script(const BlockStore& store, const ResponseElement& response);

// Rewrites the shown texts of a block's result script (BNAM): text n (from 0) becomes what
// `replace` gives for it, or stays when it gives nothing; every other byte of the script
// stays, and the subrecord's and record's sizes follow. Gives how many shown texts the script
// has and whether the record changed; nothing for a block without a result script.
struct ShownTextsRewrite {
    std::size_t count = 0;
    bool changed = false;
};
using ShownTextReplacer = std::function<std::optional<Text>(std::size_t index, TextView now)>;
std::optional<ShownTextsRewrite> rewrite_shown_script_texts(Block& block,
                                                            const ShownTextReplacer& replace);

// Puts `texts` into the response's result script: its n-th shown text becomes texts[n]
// (texts beyond the script's are ignored); every other byte of the script stays. The
// response is marked "*" when its record changed, which is then returned. Texts must have
// passed script_text_refusal.
bool set_response_script_texts(BlockStore& store, ResponseElement& response,
                               const std::vector<Text>& texts);

} // namespace orv
