#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "platform/Text.h"
#include "plugin/BlockStore.h"
#include "translation/ObjectLists.h"
#include "translation/TranslationDatabase.h"

namespace orv {

// The texts a player reads that no object list shows as a name: book texts, descriptions,
// text-valued game settings, faction ranks, magic-effect descriptions and the plugin's own
// description. The batch tool lists those still to do (`todo`) and sets them from edits
// lines (`translate --edits`); both go through the table of kinds below, so a new kind of
// text is one more row there and reaches both commands.

// One text of one kind in the loaded plugin.
struct PlayerText {
    // The number of the block that holds it.
    std::size_t block = 0;
    // What names it in todo and edits lines: a record ID, a setting's ID, "faction#2".
    Text key;
    // The text as the record holds it now (Windows-1252, line breaks as the record has them).
    Text text;
    // Which of its record's texts of this kind it is, where a record holds several (a
    // faction's rank number, from 1); 0 where it holds one.
    int slot = 0;
};

struct PlayerTextKind;

// Every text of the kind that the plugin holds, in file order, the empty ones included. A
// text whose subrecord is damaged (runs past its record, has the wrong size for a fixed
// field) is left out; nothing outside the blocks is read.
using FindPlayerTexts = std::vector<PlayerText> (*)(const PlayerTextKind& kind,
                                                    const BlockStore& store,
                                                    const ObjectLists& lists);
// Removes from `texts` those that a database file already translates. Reads its files
// through `database`, whose read_error() then tells whether one could not be read.
using DropTranslatedTexts = void (*)(const PlayerTextKind& kind, std::vector<PlayerText>& texts,
                                     TranslationDatabase& database);
// Writes `text` as the new text of `target` into its block (found again there, since an
// earlier write may have moved it), keeping every size field right. Returns a German
// refusal, and changes nothing, when the text does not fit.
using WritePlayerText = std::optional<Text> (*)(const PlayerTextKind& kind, Block& block,
                                                const PlayerText& target, TextView text);

// One kind of text: a row of the table.
struct PlayerTextKind {
    // The first field of its todo and edits lines; never the label of an object list.
    std::string_view label;
    // The records that hold it and the subrecord the text is in, for the finders and
    // writers that several kinds share.
    std::string_view tag;
    std::string_view subrecord;
    // The data file whose entries count as translations (empty: none; then every text that
    // is not empty is still to do).
    std::string_view database;
    FindPlayerTexts find = nullptr;
    // Nothing: no text counts as translated.
    DropTranslatedTexts drop_translated = nullptr;
    WritePlayerText write = nullptr;
    // The key an empty key field of an edits line stands for; empty: none. The plugin has
    // only one description, so its line may leave the key out.
    std::string_view key_when_empty;
};

// The kinds in the order todo lists them.
std::span<const PlayerTextKind> player_text_kinds();

// The kind whose label is `label` (byte for byte), or nothing.
const PlayerTextKind* player_text_kind_labelled(TextView label);

// The texts of `kind` still to do, in file order: not empty, not translated by the kind's
// database file, and not the German text of a line of the translation memory.
std::vector<PlayerText> texts_to_do(const PlayerTextKind& kind, const BlockStore& store,
                                    const ObjectLists& lists, TranslationDatabase& database);

// Sets texts by kind and key as edits lines name them. Each kind's texts are found once,
// on its first use; block numbers and keys stay valid while texts are written, since a
// write changes only the inside of one block.
class PlayerTextWriter {
public:
    PlayerTextWriter(BlockStore& store, const ObjectLists& lists);

    // Writes `text` into every text of `kind` whose key is `key`. Returns a German refusal,
    // and writes nothing, for a key no text of the kind has, an empty text or one that does
    // not fit. A text equal to the current one leaves the record as it is.
    std::optional<Text> set(const PlayerTextKind& kind, TextView key, TextView text);

private:
    BlockStore& m_store;
    const ObjectLists& m_lists;
    // A kind's texts in file order, and their positions there by key.
    struct Found {
        std::vector<PlayerText> texts;
        std::multimap<Text, std::size_t, std::less<>> by_key;
    };
    const Found& found(const PlayerTextKind& kind);

    std::map<const PlayerTextKind*, Found> m_found;
};

} // namespace orv
