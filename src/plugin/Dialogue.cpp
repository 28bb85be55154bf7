#include "plugin/Dialogue.h"

namespace orv {

std::optional<DialogueType> dialogue_type(const Block& block) {
    const auto data = find_subrecord(block, "DATA");
    if (!data || data->size == 0) {
        return std::nullopt;
    }
    const auto byte = std::to_integer<std::uint8_t>(block[data->data_offset()]);
    if (byte > static_cast<std::uint8_t>(DialogueType::Journal)) {
        return std::nullopt;
    }
    return static_cast<DialogueType>(byte);
}

std::optional<ResponseText> response_text_place(const Block& block) {
    const auto name = find_subrecord(block, "NAME");
    if (!name) {
        return std::nullopt;
    }
    const bool terminated = name->size > 0 && block[name->end() - 1] == std::byte{0};
    return ResponseText{*name, terminated ? TextKind::Terminated : TextKind::Whole};
}

Text response_text(const Block& block, const ResponseText& place) {
    return subrecord_text(block, place.subrecord, place.kind);
}

Text response_id(const Block& block) {
    const auto id = find_subrecord(block, "INAM");
    return id ? subrecord_text(block, *id, TextKind::Terminated) : Text{};
}

bool is_quest_title(const Block& block) {
    return find_subrecord(block, "QSTN").has_value();
}

Text result_script_text(const Block& block, const Subrecord& subrecord) {
    return Text(result_script_view(block, subrecord));
}

TextView result_script_view(const Block& block, const Subrecord& subrecord) {
    return subrecord_bytes(block, subrecord, TextKind::Whole);
}

} // namespace orv
