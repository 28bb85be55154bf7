#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "plugin/RecordTypes.h"
#include "translation/ObjectLists.h"
#include "translation/Responses.h"
#include "translation/TranslationMemory.h"

namespace orv {

// A kind of text that the text editor ("Text bearbeiten") offers: one of the long texts of
// kTextTargets, the responses or journal entries of the loaded dialogue, or a kind of the
// batch tool's player texts. Exactly one of long_text, responses and player_texts says where
// the entries come from.
struct EditorKind {
    // The window's title and the menu entry's text.
    std::string_view label;
    // The title of the entry list's second column, which names each entry.
    std::string_view key_title;
    // The text database whose third texts translate the kind (triples: ID, original, German);
    // empty when no database translates it.
    std::string_view text_database;
    // The memory's kind whose translations are suggested besides the text database's;
    // nothing: the text database's alone.
    std::optional<int> suggestion_memory;
    // A long text: the records and the subrecord its text lies in.
    std::optional<TextTarget> long_text;
    // Responses of this kind.
    std::optional<ResponseKind> responses;
    // The label of the player-text kind (see PlayerTexts.h) whose finder lists the entries and
    // whose writer stores them, with its refusals.
    std::string_view player_texts;
};

constexpr EditorKind long_text_kind(const TextTarget& target, std::string_view key_title) {
    return {target.label, key_title, target.text_database, std::nullopt, target, std::nullopt, ""};
}

// The kinds in the order of the menu "Text bearbeiten". The texts of compiled scripts have
// no database: the memory's, learned from translated plugins, alone suggest for them.
// clang-format off
inline constexpr std::array<EditorKind, 8> kEditorKinds = {{
    long_text_kind(kTextTargets[0], "Id Book"),
    long_text_kind(kTextTargets[1], "Id Class"),
    long_text_kind(kTextTargets[2], "Id Race"),
    long_text_kind(kTextTargets[3], "Id Skill"),
    long_text_kind(kTextTargets[4], "Id Birthsign"),
    {"Dialog", "Thema", kResponseDatabaseName, kDialogMemory, std::nullopt, ResponseKind::Dialog, ""},
    {"Journal", "Journal-ID", kResponseDatabaseName, kJournalMemory, std::nullopt, ResponseKind::Journal, ""},
    {"Script", "Script-ID#Nr", "", kCompiledScriptMemory, std::nullopt, std::nullopt, "Script"},
}};
// clang-format on

} // namespace orv
