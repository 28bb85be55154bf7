#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/Text.h"
#include "platform/Window.h"
#include "plugin/RecordTypes.h"

namespace orv {

// A row's mark in column "F": one Windows-1252 character, or none. Every row of every list
// holds one, so it takes one byte rather than a text of its own.
class RowMark {
public:
    constexpr RowMark() = default;
    constexpr explicit RowMark(char character) : m_character(character) {}
    // The mark a cell of column "F" shows, read back from its text.
    static RowMark shown_as(TextView text) { return text.empty() ? RowMark() : RowMark(text[0]); }

    bool empty() const { return m_character == '\0'; }
    // What the column shows: the character, or nothing.
    Text text() const { return empty() ? Text() : Text(1, m_character); }

    friend bool operator==(RowMark, RowMark) = default;
    // The order of the marks' texts: no mark first, then by unsigned byte.
    friend bool operator<(RowMark left, RowMark right) {
        return static_cast<unsigned char>(left.m_character) <
               static_cast<unsigned char>(right.m_character);
    }

private:
    char m_character = '\0';
};

namespace mark {
inline constexpr RowMark kNone{};
// Translated from the shipped database; not editable.
inline constexpr RowMark kShipped{'B'};
// From the external database, or the user's translation saved ("\xDC" is "Ü").
inline constexpr RowMark kExternal{'\xDC'};
// Edited by hand, not yet saved.
inline constexpr RowMark kEdited{'*'};
// The record has no name; not editable.
inline constexpr RowMark kNoName{'E'};
} // namespace mark

// One row of an object list; row r of a list view and element r of its list always
// describe the same record.
struct Element {
    RowMark mark;
    Text id;
    Text ev_name;
    Text dv_name;
    // The number of the block that holds the row's record.
    std::int32_t block = 0;
};

// What a row is, decided by its mark alone, except for an unmarked row: it is still to do
// while its DV Name is its EV Name (no translation known and none typed), and counts as
// translated once they differ (a name already German in the plugin). The window colours by
// it, and the counts and the filter ask it whether a row is still to do.
RowState row_state(const Element& element);

// One SKIL record: its skill index and the three texts of its skill table entry.
struct SkillElement {
    std::int32_t skill_index = 0;
    Text id;
    Text ev_name;
    Text dv_name;
    std::int32_t block = 0;
};

// What an INFO record's text is to the player.
enum class ResponseKind {
    // A line of dialogue: under a topic, a greeting, a persuasion or a voice.
    Dialog,
    // A journal entry or a quest's title.
    Journal,
};

// One INFO record whose text the player reads, in file order. The record itself holds the
// current text; `original` is the text the file held when it was opened, which the link
// and define rules and the translation memory compare against.
struct ResponseElement {
    RowMark mark;
    ResponseKind kind = ResponseKind::Dialog;
    // The name of the DIAL record it belongs to as loaded (a journal's ID for the journal).
    Text topic;
    // The response's ID (INAM).
    Text id;
    Text original;
    // The result script (BNAM) as the file held it, for the texts it shows.
    Text original_script;
    std::int32_t block = 0;
    std::int32_t topic_block = 0;
};

// A dialogue record the loader could not place: it keeps its bytes and gets no row.
struct DialogueProblem {
    enum class Kind {
        // A DIAL without a readable type.
        TopicWithoutType,
        // An INFO before any DIAL, or after a DIAL without a type.
        ResponseWithoutTopic,
    };
    Kind kind;
    std::int32_t block = 0;

    bool operator==(const DialogueProblem&) const = default;
};

// The columns of a list view, in order.
enum class Column { Mark = 0, Id = 1, EvName = 2, DvName = 3 };
inline constexpr int kColumnCount = 4;

struct ObjectList {
    std::vector<Element> elements;
    // +1 ascending, -1 descending: the direction of this list's next column sort. It
    // belongs to the list, not to a column, and survives opening another plugin.
    int sort_direction = +1;
};

// The object lists in tab order, the skill list and the dialogue's responses.
class ObjectLists {
public:
    ObjectList& list(int index) { return m_lists.at(static_cast<std::size_t>(index)); }
    const ObjectList& list(int index) const { return m_lists.at(static_cast<std::size_t>(index)); }
    std::vector<SkillElement>& skills() { return m_skills; }
    const std::vector<SkillElement>& skills() const { return m_skills; }
    std::vector<ResponseElement>& responses() { return m_responses; }
    const std::vector<ResponseElement>& responses() const { return m_responses; }
    std::vector<DialogueProblem>& dialogue_problems() { return m_dialogue_problems; }
    const std::vector<DialogueProblem>& dialogue_problems() const { return m_dialogue_problems; }

    void append(int list_index, Element element);
    void set_mark_and_dv_name(int list_index, std::size_t row, RowMark mark, const Text& dv_name);
    // Replaces every element of every list by those of `rows`; sort directions stay.
    void take_rows(ObjectLists&& rows);

    // Sorts a list by a column's text, in the list's direction, keeping equal rows in their
    // order, then reverses the direction. Texts compare as unsigned bytes, shorter prefix
    // first.
    void sort_by_column(int list_index, Column column);

private:
    std::array<ObjectList, kObjectListCount> m_lists;
    std::vector<SkillElement> m_skills;
    std::vector<ResponseElement> m_responses;
    std::vector<DialogueProblem> m_dialogue_problems;
};

} // namespace orv
