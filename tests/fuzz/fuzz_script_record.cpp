// A script record (SCPT) from any bytes: reading its strings either refuses with a message or
// accepts; an accepted script then gets every string made longer, and the replacement must
// either refuse or give a record that reads again with exactly the new strings and whose
// header states its new code's size.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "plugin/Subrecord.h"
#include "scriptcode/ScriptRecord.h"

using namespace orv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Bytes input = fuzz::owned(data, size);
    const Block record(input);
    const auto strings = scriptcode::read_script_strings(record);
    if (!strings) {
        if (strings.error().message.empty()) {
            fuzz::fail("a refused script has no message");
        }
        return 0;
    }
    std::vector<scriptcode::StringReplacement> replacements;
    for (const auto& string : strings->strings) {
        replacements.push_back({string.number, string.text + "\xE4x"});
    }
    const auto changed = scriptcode::replace_script_strings(record, replacements);
    if (!changed) {
        if (changed.error().message.empty()) {
            fuzz::fail("a refused replacement has no message");
        }
        return 0;
    }
    const auto reread = scriptcode::read_script_strings(*changed);
    if (!reread || reread->strings.size() != replacements.size()) {
        fuzz::fail("a changed script does not read again with as many strings");
    }
    for (std::size_t k = 0; k < replacements.size(); ++k) {
        if (reread->strings[k].text != replacements[k].text) {
            fuzz::fail("a changed script does not hold the new string");
        }
    }
    const auto header = find_subrecord(*changed, "SCHD");
    const auto code = find_subrecord(*changed, "SCDT");
    if (!header || !code ||
        read_u32_le(*changed, header->data_offset() + scriptcode::kHeaderCodeSizeOffset) !=
            code->size) {
        fuzz::fail("a changed script's header does not state its code's size");
    }
    return 0;
}
