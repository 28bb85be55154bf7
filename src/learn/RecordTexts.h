#pragma once

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

// The translatable texts of blocks 1 to N, by block number (block 0, the file header
// record, holds none): the names of the object lists' kinds (a topic's only when it is a
// topic, a path grid's never, as it is its cell's name), the long texts of books,
// classes, races, skills and birthsigns, each response's or journal entry's text and the
// texts its result script shows. Empty texts are left out; nothing outside a block is
// read.
std::vector<RecordTexts> texts_of_records(const std::vector<Block>& blocks);

} // namespace orv
