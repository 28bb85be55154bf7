#include "learn/RecordPairing.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "plugin/Dialogue.h"
#include "plugin/Subrecord.h"

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
};

struct PairingRule {
    std::string_view tag;
    IdentityRule translation;
    IdentityRule versions;
};

// Every tag not listed pairs by its first subrecord in both modes.
// clang-format off
constexpr std::array<PairingRule, 3> kPairingRules = {{
    {"CELL", IdentityRule::CellContents, IdentityRule::CellName},
    {"DIAL", IdentityRule::TopicResponses, IdentityRule::TopicName},
    {"INFO", IdentityRule::ResponseId, IdentityRule::ResponseId},
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

} // namespace

std::vector<Text> record_identities(const std::vector<Block>& blocks, PairingMode mode) {
    std::vector<Text> identities(blocks.size());
    const auto responses = mode == PairingMode::Translation
                               ? smallest_response_ids(blocks)
                               : std::unordered_map<std::size_t, Text>{};
    // How often each identity came before: a second record of the same identity (a
    // duplicate ID, two interior cells with the same references) pairs with the second.
    std::unordered_map<Text, std::size_t> seen;
    seen.reserve(blocks.size());
    for (std::size_t number = 1; number < blocks.size(); ++number) {
        const Block& block = blocks[number];
        Text key;
        switch (rule_of(block, mode)) {
        case IdentityRule::FirstSubrecord:
            if (const auto first = first_subrecord(block)) {
                key = raw_subrecord(block, *first);
            }
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
        }
        Text identity = record_tag(block);
        identity.push_back('\0');
        identity += key;
        const std::size_t occurrence = seen[identity]++;
        identity.push_back('\0');
        identity += std::to_string(occurrence);
        identities[number] = std::move(identity);
    }
    return identities;
}

RecordPairs pair_records(const std::vector<Block>& first, const std::vector<Block>& second,
                         PairingMode mode) {
    const auto first_identities = record_identities(first, mode);
    const auto second_identities = record_identities(second, mode);
    std::unordered_map<TextView, std::size_t> second_by_identity;
    second_by_identity.reserve(second.size());
    for (std::size_t number = 1; number < second.size(); ++number) {
        second_by_identity.emplace(second_identities[number], number);
    }
    RecordPairs result;
    std::vector<bool> taken(second.size(), false);
    for (std::size_t number = 1; number < first.size(); ++number) {
        const auto found = second_by_identity.find(first_identities[number]);
        if (found == second_by_identity.end()) {
            result.only_first.push_back(number);
            continue;
        }
        result.pairs.emplace_back(number, found->second);
        taken[found->second] = true;
    }
    for (std::size_t number = 1; number < second.size(); ++number) {
        if (!taken[number]) {
            result.only_second.push_back(number);
        }
    }
    return result;
}

} // namespace orv
