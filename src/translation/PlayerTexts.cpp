#include "translation/PlayerTexts.h"

#include <algorithm>
#include <array>
#include <string>

#include "plugin/Dialogue.h"
#include "plugin/RecordTypes.h"
#include "plugin/ResultScript.h"
#include "plugin/Subrecord.h"
#include "translation/CompiledScriptTexts.h"
#include "translation/ResponseScriptTexts.h"
#include "translation/Responses.h"
#include "translation/TranslationMemory.h"

namespace orv {
namespace {

// A faction rank name is a field of 32 bytes, the name padded with zero bytes.
constexpr std::size_t kRankFieldSize = 32;
// The plugin header's data: version (4 bytes), flags (4), author (32), description (256),
// record count (4). Later bytes, if any, are kept as they are.
constexpr std::size_t kHeaderDataSize = 300;
constexpr std::size_t kDescriptionOffset = 40;
constexpr std::size_t kDescriptionFieldSize = 256;

// The text of a fixed field: its bytes up to the first zero byte. The field lies inside the
// block (its subrecord was checked to hold it).
Text fixed_field_text(const Block& block, std::size_t offset, std::size_t length) {
    Text text;
    for (std::size_t i = offset; i < offset + length; ++i) {
        const auto byte = static_cast<char>(block[i]);
        if (byte == '\0') {
            break;
        }
        text.push_back(byte);
    }
    return text;
}

// Writes `text` into a fixed field, padded with zero bytes to the field's length; the
// field keeps at least one zero byte, which ends the text.
std::optional<Text> write_fixed_field(Block& block, std::size_t offset, std::size_t length,
                                      TextView text) {
    if (text.size() > length - 1) {
        return "Der Text hat " + std::to_string(text.size()) +
               cp1252(u8" Zeichen; in dieses Feld passen höchstens ") + std::to_string(length - 1) +
               ".";
    }
    if (text.find('\0') != TextView::npos) {
        return cp1252(u8"Der Text enthält ein Nullzeichen; es würde ihn im Feld beenden.");
    }
    if (fixed_field_text(block, offset, length) == text) {
        return std::nullopt;
    }
    Text padded(length, '\0');
    std::copy(text.begin(), text.end(), padded.begin());
    splice(block, offset, length, padded);
    return std::nullopt;
}

Text text_gone_message(const PlayerText& target) {
    return cp1252(u8"Der Text „") + target.key + cp1252(u8"“ ist im Datensatz nicht mehr da.");
}

// Blocks 1 to N tagged `tag`, in file order. Block 0 is the file header, never one of them,
// whatever its tag.
template <typename Visit>
void for_each_record(const BlockStore& store, TextView tag, Visit visit) {
    for (std::size_t number = 1; number < store.block_count(); ++number) {
        const Block& block = store.block(number);
        if (record_tag(block) == tag) {
            visit(number, block);
        }
    }
}

// --- Long texts of the text editor: books, classes, races, skills, birthsigns -------------

// The editor's rows: the object list of the record kind, or the skill list, whose IDs are
// those of the skill table. A record without the text subrecord has no text to translate.
std::vector<PlayerText> find_editor_texts(const PlayerTextKind& kind, const BlockStore& store,
                                          const ObjectLists& lists) {
    std::vector<PlayerText> texts;
    const auto add = [&](std::int32_t number, const Text& id) {
        const Block* block = store.find(number);
        if (block == nullptr) {
            return;
        }
        if (const auto text = find_subrecord(*block, kind.subrecord)) {
            texts.push_back({static_cast<std::size_t>(number), id,
                             subrecord_text(*block, *text, TextKind::Whole), 0});
        }
    };
    if (kind.tag == kSkillTag) {
        for (const auto& skill : lists.skills()) {
            add(skill.block, skill.id);
        }
    } else if (const auto list = object_type_of(kind.tag)) {
        for (const auto& element : lists.list(*list).elements) {
            add(element.block, element.id);
        }
    }
    return texts;
}

// The text database's first entry for an ID (ID, original, German text) applies when its
// original is the record's text; a record that already holds the German text is done too.
// An entry without a German text translates nothing.
void drop_translated_editor_texts(const PlayerTextKind& kind, std::vector<PlayerText>& texts,
                                  TranslationDatabase& database) {
    const TextDatabaseIndex known(database.data_triples(kind.database));
    std::erase_if(texts, [&known](const PlayerText& text) {
        const TripleEntry* entry = known.find(text.key);
        return entry != nullptr && !(*entry)[2].empty() &&
               ((*entry)[1] == text.text || (*entry)[2] == text.text);
    });
}

// The whole data of the subrecord is the text, without terminator (TEXT, DESC, STRV).
std::optional<Text> write_whole_text(const PlayerTextKind& kind, Block& block,
                                     const PlayerText& target, TextView text) {
    const auto subrecord = find_subrecord(block, kind.subrecord);
    if (!subrecord) {
        return text_gone_message(target);
    }
    replace_subrecord_text(block, *subrecord, TextKind::Whole, text);
    return std::nullopt;
}

// --- Game settings -----------------------------------------------------------------------

// Like the save's game-setting pass: the first STRV among the first 100 subrecords.
std::vector<PlayerText> find_setting_texts(const PlayerTextKind& kind, const BlockStore& store,
                                           const ObjectLists&) {
    std::vector<PlayerText> texts;
    for_each_record(store, kind.tag, [&](std::size_t number, const Block& block) {
        if (const auto value = find_subrecord(block, kind.subrecord)) {
            texts.push_back(
                {number, record_id(block), subrecord_text(block, *value, TextKind::Whole), 0});
        }
    });
    return texts;
}

// The save replaces a text that is an original of the game-setting file; one that is a
// translation there is German already.
void drop_translated_settings(const PlayerTextKind& kind, std::vector<PlayerText>& texts,
                              TranslationDatabase& database) {
    const NameIndex& settings = database.data_pairs(kind.database);
    std::erase_if(texts, [&settings](const PlayerText& text) {
        return settings.first_match(text.text).has_value();
    });
}

// --- Faction ranks -----------------------------------------------------------------------

// Every RNAM of the record counts for the rank numbers, in subrecord order, so that a
// damaged one leaves the numbers of the others as they are.
std::vector<PlayerText> find_rank_texts(const PlayerTextKind& kind, const BlockStore& store,
                                        const ObjectLists&) {
    std::vector<PlayerText> texts;
    for_each_record(store, kind.tag, [&](std::size_t number, const Block& block) {
        const Text faction = record_id(block);
        int rank = 0;
        for (auto subrecord = first_subrecord(block); subrecord;
             subrecord = next_subrecord(block, *subrecord)) {
            if (subrecord_tag(block, *subrecord) != kind.subrecord) {
                continue;
            }
            ++rank;
            if (subrecord->size == kRankFieldSize) {
                texts.push_back({number, faction + "#" + std::to_string(rank),
                                 fixed_field_text(block, subrecord->data_offset(), kRankFieldSize),
                                 rank});
            }
        }
    });
    return texts;
}

std::optional<Text> write_rank_text(const PlayerTextKind& kind, Block& block,
                                    const PlayerText& target, TextView text) {
    int rank = 0;
    for (auto subrecord = first_subrecord(block); subrecord;
         subrecord = next_subrecord(block, *subrecord)) {
        if (subrecord_tag(block, *subrecord) != kind.subrecord || ++rank != target.slot) {
            continue;
        }
        if (subrecord->size != kRankFieldSize) {
            break;
        }
        return write_fixed_field(block, subrecord->data_offset(), kRankFieldSize, text);
    }
    return text_gone_message(target);
}

// --- Magic effects -----------------------------------------------------------------------

// Keyed by the effect's index, a 32-bit number in INDX; an effect without one is left out.
std::vector<PlayerText> find_effect_texts(const PlayerTextKind& kind, const BlockStore& store,
                                          const ObjectLists&) {
    std::vector<PlayerText> texts;
    for_each_record(store, kind.tag, [&](std::size_t number, const Block& block) {
        const auto index = find_subrecord(block, "INDX");
        const auto text = find_subrecord(block, kind.subrecord);
        if (!index || index->size != 4 || !text) {
            return;
        }
        const auto value = read_u32_le(block, index->data_offset());
        if (!value) {
            return;
        }
        texts.push_back({number, std::to_string(static_cast<std::int32_t>(*value)),
                         subrecord_text(block, *text, TextKind::Whole), 0});
    });
    return texts;
}

// --- The plugin's description ------------------------------------------------------------

constexpr std::string_view kDescriptionKey = "-";

std::optional<Subrecord> header_data(const Block& block, TextView tag) {
    const auto header = find_subrecord(block, tag);
    if (!header || header->size < kHeaderDataSize) {
        return std::nullopt;
    }
    return header;
}

std::vector<PlayerText> find_description(const PlayerTextKind& kind, const BlockStore& store,
                                         const ObjectLists&) {
    const Block* block = store.find(0);
    if (block == nullptr) {
        return {};
    }
    const auto header = header_data(*block, kind.subrecord);
    if (!header) {
        return {};
    }
    return {{0, Text(kDescriptionKey),
             fixed_field_text(*block, header->data_offset() + kDescriptionOffset,
                              kDescriptionFieldSize),
             0}};
}

// The header's size never changes: the record count behind the description stays where a
// plugin is opened from.
std::optional<Text> write_description(const PlayerTextKind& kind, Block& block,
                                      const PlayerText& target, TextView text) {
    const auto header = header_data(block, kind.subrecord);
    if (!header) {
        return text_gone_message(target);
    }
    return write_fixed_field(block, header->data_offset() + kDescriptionOffset,
                             kDescriptionFieldSize, text);
}

// --- Dialogue ----------------------------------------------------------------------------

// Responses and journal entries, keyed by their INFO ID, as the loader filed them.
std::vector<PlayerText> find_responses(const BlockStore& store, const ObjectLists& lists,
                                       ResponseKind wanted) {
    std::vector<PlayerText> texts;
    for (const auto& response : lists.responses()) {
        if (response.kind == wanted) {
            texts.push_back({static_cast<std::size_t>(response.block), response.id,
                             current_response_text(store, response), 0});
        }
    }
    return texts;
}

std::vector<PlayerText> find_dialog_texts(const PlayerTextKind&, const BlockStore& store,
                                          const ObjectLists& lists) {
    return find_responses(store, lists, ResponseKind::Dialog);
}

std::vector<PlayerText> find_journal_texts(const PlayerTextKind&, const BlockStore& store,
                                           const ObjectLists& lists) {
    return find_responses(store, lists, ResponseKind::Journal);
}

// The NAME keeps its terminating zero when it had one.
std::optional<Text> write_response_text(const PlayerTextKind&, Block& block,
                                        const PlayerText& target, TextView text) {
    const auto place = response_text_place(block);
    if (!place) {
        return text_gone_message(target);
    }
    replace_subrecord_text(block, place->subrecord, place->kind, text);
    return std::nullopt;
}

// The texts a response's result script shows (Choice, MessageBox and its buttons, Say's
// subtitle), keyed "INFO ID#n", n counting them from 1 in script order. Lines with an open
// quote hold none: their strings stay as they are.
std::vector<PlayerText> find_script_texts(const PlayerTextKind&, const BlockStore& store,
                                          const ObjectLists& lists) {
    std::vector<PlayerText> texts;
    for (const auto& response : lists.responses()) {
        const Block* block = store.find(response.block);
        const auto script = block ? find_subrecord(*block, "BNAM") : std::nullopt;
        if (!script) {
            continue;
        }
        int number = 0;
        for (auto& shown : shown_script_texts(result_script_text(*block, *script))) {
            ++number;
            texts.push_back({static_cast<std::size_t>(response.block),
                             response.id + "#" + std::to_string(number), std::move(shown), number});
        }
    }
    return texts;
}

// Only the n-th text argument changes; every other byte of the script stays.
std::optional<Text> write_script_text(const PlayerTextKind&, Block& block, const PlayerText& target,
                                      TextView text) {
    if (auto refusal = script_text_refusal(text)) {
        return refusal;
    }
    // Slots count from 1.
    const auto slot = static_cast<std::size_t>(target.slot);
    const auto rewrite =
        rewrite_shown_script_texts(block, [&](std::size_t index, TextView) -> std::optional<Text> {
            return index + 1 == slot ? std::optional<Text>(text) : std::nullopt;
        });
    if (!rewrite || rewrite->count < slot) {
        return text_gone_message(target);
    }
    return std::nullopt;
}

// The long texts of the text editor, with the editor's record kind, subrecord and text
// database.
constexpr PlayerTextKind editor_kind(std::string_view label, const TextTarget& target) {
    return {label,
            target.tag,
            target.text_subrecord,
            target.text_database,
            find_editor_texts,
            drop_translated_editor_texts,
            write_whole_text,
            ""};
}

// Label, record tag, subrecord, database file, find, drop the translated, write, key of an
// empty key field.
// clang-format off
constexpr std::array<PlayerTextKind, 13> kKinds = {{
    editor_kind("Book text", kTextTargets[0]),
    editor_kind("Class text", kTextTargets[1]),
    editor_kind("Race text", kTextTargets[2]),
    editor_kind("Skill text", kTextTargets[3]),
    editor_kind("Birthsign text", kTextTargets[4]),
    {"Setting", "GMST", "STRV", kGameSettingsName, find_setting_texts, drop_translated_settings, write_whole_text, ""},
    {"Rank", "FACT", "RNAM", "", find_rank_texts, nullptr, write_rank_text, ""},
    {"Effect", "MGEF", "DESC", "", find_effect_texts, nullptr, write_whole_text, ""},
    {"Description", "", "HEDR", "", find_description, nullptr, write_description, kDescriptionKey},
    {"Dialog", "INFO", "NAME", kResponseDatabaseName, find_dialog_texts, drop_translated_editor_texts, write_response_text, ""},
    {"Journal", "INFO", "NAME", kResponseDatabaseName, find_journal_texts, drop_translated_editor_texts, write_response_text, ""},
    {"Response script", "INFO", "BNAM", "", find_script_texts, nullptr, write_script_text, ""},
    {"Script", "SCPT", "SCDT", "", find_compiled_script_texts, nullptr, write_compiled_script_text, ""},
}};
// clang-format on
static_assert(kKinds[0].tag == "BOOK" && kKinds[1].tag == "CLAS" && kKinds[2].tag == "RACE" &&
                  kKinds[3].tag == kSkillTag && kKinds[4].tag == "BSGN",
              "each editor kind's label names the record kind of its text target");

} // namespace

std::span<const PlayerTextKind> player_text_kinds() {
    return kKinds;
}

const PlayerTextKind* player_text_kind_labelled(TextView label) {
    const auto found =
        std::find_if(kKinds.begin(), kKinds.end(),
                     [label](const PlayerTextKind& kind) { return kind.label == label; });
    return found == kKinds.end() ? nullptr : &*found;
}

std::vector<PlayerText> texts_to_do(const PlayerTextKind& kind, const BlockStore& store,
                                    const ObjectLists& lists, TranslationDatabase& database) {
    auto texts = kind.find(kind, store, lists);
    std::erase_if(texts, [](const PlayerText& text) { return text.text.empty(); });
    if (kind.drop_translated != nullptr && !texts.empty()) {
        kind.drop_translated(kind, texts, database);
    }
    // A text the translation memory holds as German was filled in at Open (or was German
    // already): it counts as translated, as one the kind's database translates.
    const auto memory_kind = memory_kind_labelled(kind.label);
    if (memory_kind && *memory_kind >= kDialogMemory && !texts.empty()) {
        const MemoryIndex& memory = database.memory();
        std::erase_if(texts, [&](const PlayerText& text) {
            return memory.original_of(*memory_kind, text.text) != nullptr;
        });
    }
    return texts;
}

PlayerTextWriter::PlayerTextWriter(BlockStore& store, const ObjectLists& lists)
    : m_store(store), m_lists(lists) {}

const PlayerTextWriter::Found& PlayerTextWriter::found(const PlayerTextKind& kind) {
    auto [position, inserted] = m_found.try_emplace(&kind);
    if (inserted) {
        Found& found = position->second;
        found.texts = kind.find(kind, m_store, m_lists);
        for (std::size_t i = 0; i < found.texts.size(); ++i) {
            found.by_key.emplace(found.texts[i].key, i);
        }
    }
    return position->second;
}

std::optional<Text> PlayerTextWriter::set(const PlayerTextKind& kind, TextView key, TextView text) {
    const TextView wanted = key.empty() && !kind.key_when_empty.empty() ? kind.key_when_empty : key;
    const Found& texts = found(kind);
    const auto [first, last] = texts.by_key.equal_range(wanted);
    if (first == last) {
        return cp1252(u8"Kein Text der Art „") + Text(kind.label) +
               cp1252(u8"“ hat den Schlüssel „") + Text(key) + cp1252(u8"“.");
    }
    if (text.empty()) {
        return cp1252(u8"Ein leerer Text wird nicht übernommen.");
    }
    // Texts of one kind share their limits, so a text that does not fit is refused at the
    // first of them, before anything is written.
    for (auto position = first; position != last; ++position) {
        const PlayerText& target = texts.texts[position->second];
        if (auto refusal = kind.write(kind, m_store.block(target.block), target, text)) {
            return refusal;
        }
    }
    return std::nullopt;
}

} // namespace orv
