#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "platform/Text.h"

namespace orv {

// What a row's ID column shows.
enum class IdColumn {
    // The record's displayed name (cells and path grids, whose NAME is ID and name at once).
    Name,
    // The record's ID, the text of its first subrecord.
    RecordId,
};

// One of the kinds of records whose names are translated. Its index is also the number of
// its tab page and of its object list; every pass over the kinds goes in index order.
struct RecordType {
    int index;
    std::string_view label;
    std::string_view tag;
    std::string_view name_subrecord;
    IdColumn id_column;
    // The name database files under data/, in lookup order. The second is used only for
    // path grids, and only when the first knows nothing of the name.
    std::string_view name_database;
    std::string_view second_name_database;
    // The longest name, in bytes without the terminating zero, that the name-edit dialog
    // accepts for this kind.
    int name_limit;
};

inline constexpr int kObjectListCount = 26;
inline constexpr int kCellType = 0;
inline constexpr int kRegionType = 1;
inline constexpr int kPathGridType = 2;
// Dialogue topics: only the DIAL records of the topic type get a row (see Dialogue.h).
inline constexpr int kTopicType = 25;

// clang-format off
inline constexpr std::array<RecordType, kObjectListCount> kRecordTypes = {{
    {0, "Cell", "CELL", "NAME", IdColumn::Name, "Celldata.dat", "", 63},
    {1, "Region", "REGN", "FNAM", IdColumn::RecordId, "Regndata.dat", "", 63},
    {2, "Pgrd", "PGRD", "NAME", IdColumn::Name, "Celldata.dat", "Regndata.dat", 63},
    {3, "Activator", "ACTI", "FNAM", IdColumn::RecordId, "Actidata.dat", "", 31},
    {4, "Apparatus", "APPA", "FNAM", IdColumn::RecordId, "Appadata.dat", "", 31},
    {5, "Armor", "ARMO", "FNAM", IdColumn::RecordId, "Armodata.dat", "", 31},
    {6, "Book", "BOOK", "FNAM", IdColumn::RecordId, "Bookdata.dat", "", 31},
    {7, "Cloth", "CLOT", "FNAM", IdColumn::RecordId, "Clotdata.dat", "", 31},
    {8, "Container", "CONT", "FNAM", IdColumn::RecordId, "Contdata.dat", "", 31},
    {9, "Door", "DOOR", "FNAM", IdColumn::RecordId, "Doordata.dat", "", 31},
    {10, "Ingredient", "INGR", "FNAM", IdColumn::RecordId, "Ingrdata.dat", "", 31},
    {11, "Creature", "CREA", "FNAM", IdColumn::RecordId, "Creadata.dat", "", 31},
    {12, "Spellmaking", "SPEL", "FNAM", IdColumn::RecordId, "Speldata.dat", "", 31},
    {13, "Alchemy", "ALCH", "FNAM", IdColumn::RecordId, "Alchdata.dat", "", 31},
    {14, "Light", "LIGH", "FNAM", IdColumn::RecordId, "Lighdata.dat", "", 31},
    {15, "Lockpick", "LOCK", "FNAM", IdColumn::RecordId, "Lockdata.dat", "", 31},
    {16, "Misc Item", "MISC", "FNAM", IdColumn::RecordId, "Miscdata.dat", "", 31},
    {17, "Probe", "PROB", "FNAM", IdColumn::RecordId, "Probdata.dat", "", 31},
    {18, "Repair Item", "REPA", "FNAM", IdColumn::RecordId, "Repadata.dat", "", 31},
    {19, "Weapon", "WEAP", "FNAM", IdColumn::RecordId, "Weapdata.dat", "", 31},
    {20, "NPC", "NPC_", "FNAM", IdColumn::RecordId, "Npc_data.dat", "", 31},
    {21, "Race", "RACE", "FNAM", IdColumn::RecordId, "Racedata.dat", "", 31},
    {22, "Class", "CLAS", "FNAM", IdColumn::RecordId, "Clasdata.dat", "", 31},
    {23, "Birthsign", "BSGN", "FNAM", IdColumn::RecordId, "Bsgndata.dat", "", 31},
    {24, "Faction", "FACT", "FNAM", IdColumn::RecordId, "Factdata.dat", "", 31},
    {25, "Topic", "DIAL", "NAME", IdColumn::Name, "Dialdata.dat", "", 31},
}};
// clang-format on

// SKIL records get no object list; the loader files them into the skill list instead.
inline constexpr std::string_view kSkillTag = "SKIL";

// The object kind of a record tag (byte for byte, case-sensitive), or nothing for a tag
// outside the table. SKIL is no object kind.
std::optional<int> object_type_of(TextView tag);

// The object kind whose tab label is `label`, or nothing.
std::optional<int> object_type_labelled(TextView label);

// A long text that the text-translation editor handles.
struct TextTarget {
    std::string_view label;
    std::string_view tag;
    std::string_view text_subrecord;
    std::string_view text_database;
    // The object list whose rows the editor offers, or nothing for the skill list.
    std::optional<int> object_list;
};

// clang-format off
inline constexpr std::array<TextTarget, 5> kTextTargets = {{
    {"Book", "BOOK", "TEXT", "Txtbookdata.dat", 6},
    {"Class", "CLAS", "DESC", "Txtclasdata.dat", 22},
    {"Race", "RACE", "DESC", "Txtracedata.dat", 21},
    {"Skill", "SKIL", "DESC", "Txtskildata.dat", std::nullopt},
    {"Birthsign", "BSGN", "DESC", "Txtbsgndata.dat", 23},
}};
// clang-format on

} // namespace orv
