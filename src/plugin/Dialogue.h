#pragma once

#include <cstdint>
#include <optional>

#include "plugin/Block.h"
#include "plugin/Subrecord.h"

namespace orv {

// What a DIAL record is: the one byte of its DATA subrecord. Only a topic's name is text the
// player reads; the names of the other kinds are identifiers the game looks up ("Greeting 0",
// a journal's ID) and are never translated.
enum class DialogueType : std::uint8_t {
    Topic = 0,
    Voice = 1,
    Greeting = 2,
    Persuasion = 3,
    Journal = 4,
};

// The type of a DIAL record, or nothing when it has no DATA subrecord, an empty one, or a
// byte outside the five types.
std::optional<DialogueType> dialogue_type(const Block& block);

// Where an INFO record (a response, a journal entry or a quest title) keeps its text: the
// NAME subrecord. Plugins store it with or without a terminating zero byte; a rewrite keeps
// whichever the record had.
struct ResponseText {
    Subrecord subrecord;
    TextKind kind = TextKind::Whole;
};

std::optional<ResponseText> response_text_place(const Block& block);
Text response_text(const Block& block, const ResponseText& place);

// The response's ID (INAM, terminated), stable across languages; empty without one.
Text response_id(const Block& block);

// Whether an INFO record under a journal holds the quest's title (it has a QSTN subrecord).
bool is_quest_title(const Block& block);

// A result script's bytes (BNAM) exactly as stored, zero bytes included: the game compiles
// the text when the response is used, so the text is all there is to it.
Text result_script_text(const Block& block, const Subrecord& subrecord);
// The same bytes where the block holds them, without a copy: valid until the block changes.
// For the passes that read every script of a plugin and change few.
TextView result_script_view(const Block& block, const Subrecord& subrecord);

// The longest response text the game's editor accepts, in bytes.
inline constexpr std::size_t kResponseLengthLimit = 512;

} // namespace orv
