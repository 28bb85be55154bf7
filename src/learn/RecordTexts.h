#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/Text.h"
#include "plugin/Block.h"

namespace orv {

// One text of a record that a translation changes.
struct RecordText {
    // The object list of the record's name, or a text kind of the translation memory
    // (TranslationMemory.h): a long text, a response, a journal entry, a script's text.
    int kind = 0;
    // Which of the record's texts of this kind it is: the n-th text a result script shows,
    // counted from 1; 0 for the record's only text of its kind.
    int slot = 0;
    Text text;
};

struct RecordTexts {
    // What a summary or a list of changes calls the record: its ID, a cell's name (or grid
    // position), a response's ID.
    Text id;
    std::vector<RecordText> texts;
};

// Reads the translatable texts of a file's records: the names of the object lists' kinds (a
// topic's only when it is a topic, a path grid's never, as it is its cell's name), the
// long texts of books, classes, races, skills and birthsigns, each response's or journal
// entry's text and the texts its result script shows, and the message texts and buttons of
// a compiled script the program can read. Empty texts are left out; nothing
// outside a block is read. Block 0, the file header record, holds none.
class RecordTextReader {
public:
    // Notes the type of the topic each response belongs to; the blocks must outlive the
    // reader.
    explicit RecordTextReader(const std::vector<Block>& blocks);

    // The texts of block `number` (1 to N).
    RecordTexts texts(std::size_t number) const;
    // Only what a summary calls the record.
    Text id(std::size_t number) const;

private:
    const std::vector<Block>& m_blocks;
    // Per block: the type of the topic before it, or -1 before the first topic and behind
    // one without a readable type.
    std::vector<std::int8_t> m_topic_types;
};

// The texts of blocks 1 to N, by block number.
std::vector<RecordTexts> texts_of_records(const std::vector<Block>& blocks);

} // namespace orv
