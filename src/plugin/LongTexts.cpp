#include "plugin/LongTexts.h"

#include "plugin/RecordTypes.h"
#include "plugin/Subrecord.h"

namespace orv {

std::optional<LongText> long_text_of(const Block& block) {
    for (std::size_t target = 0; target < kTextTargets.size(); ++target) {
        if (!tag_at(block, 0, kTextTargets[target].tag)) {
            continue;
        }
        const auto text = find_subrecord(block, kTextTargets[target].text_subrecord);
        if (!text) {
            return std::nullopt;
        }
        return LongText{target, subrecord_text(block, *text, TextKind::Whole)};
    }
    return std::nullopt;
}

} // namespace orv
