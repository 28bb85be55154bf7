#include "learn/RecordPairing.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "plugin/BlockHalves.h"
#include "plugin/Dialogue.h"
#include "plugin/Subrecord.h"
#include "scriptcode/ScriptRecord.h"

namespace orv {
namespace {

// What a record's identity is made of.
enum class IdentityRule {
    // The whole first subrecord, header included: the ID of most records, the index of a
    // skill or a magic effect.
    FirstSubrecord,
    // An exterior cell's grid position; an interior cell's references.
    CellContents,
    // An exterior cell's grid position; an interior cell's name.
    CellName,
    // The smallest response ID among the responses behind the topic, with its type.
    TopicResponses,
    // The topic's name and type.
    TopicName,
    // The response's ID (INAM).
    ResponseId,
    // A script's ID, the start of its header, whose code size a translation changes.
    ScriptId,
};

struct PairingRule {
    std::string_view tag;
    IdentityRule translation;
    IdentityRule versions;
};

// Every tag not listed pairs by its first subrecord in both modes.
// clang-format off
constexpr std::array<PairingRule, 4> kPairingRules = {{
    {"CELL", IdentityRule::CellContents, IdentityRule::CellName},
    {"DIAL", IdentityRule::TopicResponses, IdentityRule::TopicName},
    {"INFO", IdentityRule::ResponseId, IdentityRule::ResponseId},
    {"SCPT", IdentityRule::ScriptId, IdentityRule::ScriptId},
}};
// clang-format on

IdentityRule rule_of(const Block& block, PairingMode mode) {
    for (const auto& rule : kPairingRules) {
        if (tag_at(block, 0, rule.tag)) {
            return mode == PairingMode::Translation ? rule.translation : rule.versions;
        }
    }
    return IdentityRule::FirstSubrecord;
}

// The bytes of a subrecord, header and data, as a text (zero bytes kept).
Text raw_subrecord(const Block& block, const Subrecord& subrecord) {
    const auto* data = reinterpret_cast<const char*>(block.data() + subrecord.offset);
    return Text(data, subrecord.end() - subrecord.offset);
}

// A cell's DATA: flags, then the grid position; bit 0 of the flags marks an interior.
constexpr std::uint32_t kInteriorFlag = 1;
constexpr std::uint32_t kCellDataSize = 12;

std::optional<Text> exterior_grid(const Block& block) {
    const auto data = find_subrecord(block, "DATA");
    if (!data || data->size < kCellDataSize) {
        return std::nullopt;
    }
    const auto flags = read_u32_le(block, data->data_offset());
    const auto x = read_u32_le(block, data->data_offset() + 4);
    const auto y = read_u32_le(block, data->data_offset() + 8);
    if (!flags || !x || !y || (*flags & kInteriorFlag) != 0) {
        return std::nullopt;
    }
    return "grid " + std::to_string(static_cast<std::int32_t>(*x)) + "," +
           std::to_string(static_cast<std::int32_t>(*y));
}

// The references of an interior cell: each reference's number (FRMR) and the object it
// places (the NAME behind it), which no translation changes.
Text cell_references(const Block& block) {
    Text references = "interior";
    bool in_reference = false;
    for (auto subrecord = first_subrecord(block); subrecord;
         subrecord = next_subrecord(block, *subrecord)) {
        if (tag_at(block, subrecord->offset, "FRMR")) {
            in_reference = true;
            references += raw_subrecord(block, *subrecord);
        } else if (in_reference && tag_at(block, subrecord->offset, "NAME")) {
            references += raw_subrecord(block, *subrecord);
        }
    }
    return references;
}

Text terminated_text(const Block& block, TextView tag) {
    const auto subrecord = find_subrecord(block, tag);
    return subrecord ? subrecord_text(block, *subrecord, TextKind::Terminated) : Text{};
}

Text topic_type_byte(const Block& block) {
    const auto type = dialogue_type(block);
    return type ? Text(1, static_cast<char>(*type)) : Text("?");
}

// The smallest response ID behind each topic, by the topic's block number: responses
// follow their topic, so the IDs are the same in both languages whatever the topic's name.
std::unordered_map<std::size_t, Text> smallest_response_ids(const std::vector<Block>& blocks) {
    std::unordered_map<std::size_t, Text> smallest;
    std::optional<std::size_t> topic;
    for (std::size_t number = 1; number < blocks.size(); ++number) {
        const Block& block = blocks[number];
        if (tag_at(block, 0, "DIAL")) {
            topic = number;
        } else if (topic && tag_at(block, 0, "INFO")) {
            const Text id = response_id(block);
            const auto [position, inserted] = smallest.try_emplace(*topic, id);
            if (!inserted && id < position->second) {
                position->second = id;
            }
        }
    }
    return smallest;
}

// What a record is known by: its tag and its rule's key. The key of most records is their
// first subrecord, viewed where the block holds it; the others' keys are made and owned
// beside the views.
struct Identity {
    TextView tag;
    TextView key;

    bool operator==(const Identity&) const = default;
};

struct IdentityHash {
    std::size_t operator()(const Identity& identity) const {
        const std::hash<TextView> hash;
        return hash(identity.key) ^ (hash(identity.tag) * 0x9E3779B97F4A7C15ull);
    }
};

struct Identities {
    std::vector<Identity> of_block;
    // The keys that are not a view into the block, by block number.
    std::vector<Text> made;
};

TextView view_of(const Block& block, std::size_t offset, std::size_t length) {
    return {reinterpret_cast<const char*>(block.data()) + offset, length};
}

// The key of each of blocks [first, end) whose rule makes one.
void make_keys(const std::vector<Block>& blocks, PairingMode mode,
               const std::unordered_map<std::size_t, Text>& responses, std::size_t first,
               std::size_t end, Identities& identities) {
    for (std::size_t number = std::max<std::size_t>(first, 1); number < end; ++number) {
        const Block& block = blocks[number];
        Text& key = identities.made[number];
        switch (rule_of(block, mode)) {
        case IdentityRule::FirstSubrecord:
            break;
        case IdentityRule::CellContents:
            key = exterior_grid(block).value_or(cell_references(block));
            break;
        case IdentityRule::CellName:
            key = exterior_grid(block).value_or("interior " + terminated_text(block, "NAME"));
            break;
        case IdentityRule::TopicResponses:
            if (const auto found = responses.find(number); found != responses.end()) {
                key = topic_type_byte(block) + "responses " + found->second;
            } else {
                key = topic_type_byte(block) + "name " + terminated_text(block, "NAME");
            }
            break;
        case IdentityRule::TopicName:
            key = topic_type_byte(block) + "name " + terminated_text(block, "NAME");
            break;
        case IdentityRule::ResponseId:
            key = response_id(block);
            break;
        case IdentityRule::ScriptId:
            key = scriptcode::script_id(block);
            break;
        }
    }
}

// The identities of blocks 1 to N (block 0 gets an empty one it never uses).
Identities record_identities(const std::vector<Block>& blocks, PairingMode mode) {
    Identities identities{std::vector<Identity>(blocks.size()), std::vector<Text>(blocks.size())};
    const auto responses = mode == PairingMode::Translation
                               ? smallest_response_ids(blocks)
                               : std::unordered_map<std::size_t, Text>{};
    const auto make = [&](std::size_t first, std::size_t end) {
        make_keys(blocks, mode, responses, first, end, identities);
    };
    in_two_halves(0, blocks.size(), make, make);
    // The views are taken once every made key has its place.
    for (std::size_t number = 1; number < blocks.size(); ++number) {
        const Block& block = blocks[number];
        Identity& identity = identities.of_block[number];
        identity.tag = view_of(block, 0, std::min<std::size_t>(block.size(), 4));
        if (rule_of(block, mode) != IdentityRule::FirstSubrecord) {
            identity.key = identities.made[number];
        } else if (const auto subrecord = first_subrecord(block)) {
            identity.key = view_of(block, subrecord->offset, subrecord->end() - subrecord->offset);
        }
    }
    return identities;
}

// The records of one identity in the second file: the first one still without a partner
// (0 when none is left) and the last one, which `next_same` links on from.
struct Partners {
    std::size_t free = 0;
    std::size_t last = 0;
};

} // namespace

RecordPairs pair_records(const std::vector<Block>& first, const std::vector<Block>& second,
                         PairingMode mode) {
    const auto first_identities = record_identities(first, mode);
    const auto second_identities = record_identities(second, mode);
    // Records of the second file with equal identities, linked in file order.
    std::vector<std::size_t> next_same(second.size(), 0);
    std::unordered_map<Identity, Partners, IdentityHash> partners;
    partners.reserve(second.size());
    for (std::size_t number = 1; number < second.size(); ++number) {
        const auto [position, inserted] =
            partners.try_emplace(second_identities.of_block[number], Partners{number, number});
        if (!inserted) {
            next_same[position->second.last] = number;
            position->second.last = number;
        }
    }
    RecordPairs result;
    result.pairs.reserve(std::min(first.size(), second.size()));
    std::vector<bool> taken(second.size(), false);
    for (std::size_t number = 1; number < first.size(); ++number) {
        const auto found = partners.find(first_identities.of_block[number]);
        if (found == partners.end() || found->second.free == 0) {
            result.only_first.push_back(number);
            continue;
        }
        const std::size_t partner = found->second.free;
        found->second.free = next_same[partner];
        result.pairs.emplace_back(number, partner);
        taken[partner] = true;
    }
    for (std::size_t number = 1; number < second.size(); ++number) {
        if (!taken[number]) {
            result.only_second.push_back(number);
        }
    }
    return result;
}

} // namespace orv
