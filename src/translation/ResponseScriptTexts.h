#pragma once

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

// Puts `texts` into the response's result script: its n-th shown text becomes texts[n]
// (texts beyond the script's are ignored); every other byte of the script stays. The
// response is marked "*" when its record changed, which is then returned. Texts must have
// passed script_text_refusal.
bool set_response_script_texts(BlockStore& store, ResponseElement& response,
                               const std::vector<Text>& texts);

} // namespace orv
