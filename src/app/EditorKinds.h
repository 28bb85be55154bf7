#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "plugin/RecordTypes.h"
#include "translation/ObjectLists.h"
#include "translation/Responses.h"

namespace orv {

// A kind of text that the text editor ("Text bearbeiten") offers: one of the long texts of
// kTextTargets, or the responses or journal entries of the loaded dialogue.
struct EditorKind {
    // The window's title and the menu entry's text.
    std::string_view label;
    // The title of the entry list's second column, which names each entry.
    std::string_view key_title;
    // The text database whose third texts translate the kind (triples: ID, original, German).
    std::string_view text_database;
    // A long text: the records and the subrecord its text lies in. Nothing for responses.
    std::optional<TextTarget> long_text;
    // Responses of this kind; only when long_text is nothing.
    ResponseKind responses = ResponseKind::Dialog;
};

constexpr EditorKind long_text_kind(const TextTarget& target, std::string_view key_title) {
    return {target.label, key_title, target.text_database, target, ResponseKind::Dialog};
}

// The kinds in the order of the menu "Text bearbeiten".
// clang-format off
inline constexpr std::array<EditorKind, 7> kEditorKinds = {{
    long_text_kind(kTextTargets[0], "Id Book"),
    long_text_kind(kTextTargets[1], "Id Class"),
    long_text_kind(kTextTargets[2], "Id Race"),
    long_text_kind(kTextTargets[3], "Id Skill"),
    long_text_kind(kTextTargets[4], "Id Birthsign"),
    {"Dialog", "Thema", kResponseDatabaseName, std::nullopt, ResponseKind::Dialog},
    {"Journal", "Journal-ID", kResponseDatabaseName, std::nullopt, ResponseKind::Journal},
}};
// clang-format on

} // namespace orv
