#include "translation/TranslationDatabase.h"

#include "plugin/RecordTypes.h"

namespace orv {

std::filesystem::path data_file_path(const std::filesystem::path& program_dir,
                                     std::string_view file_name) {
    return program_dir / kDataFolder / file_name;
}

std::filesystem::path external_database_path(const std::filesystem::path& program_dir) {
    return program_dir / kExtraFolder / kExternalDatabaseName;
}

TranslationDatabase::TranslationDatabase(Files& files, std::filesystem::path program_dir)
    : m_files(files), m_program_dir(std::move(program_dir)) {}

Bytes TranslationDatabase::read_bytes(const std::filesystem::path& path) {
    auto bytes = m_files.read_all(path);
    if (!bytes) {
        if (bytes.error().kind != ErrorKind::NotFound && !m_read_error) {
            m_read_error = bytes.error();
        }
        return {};
    }
    return std::move(*bytes);
}

PairFile TranslationDatabase::read_pairs(const std::filesystem::path& path) {
    const Bytes bytes = read_bytes(path);
    if (!m_pair_keys) {
        return parse_pair_file(bytes);
    }
    return parse_pair_file(bytes, *m_pair_keys);
}

const NameIndex& TranslationDatabase::external() {
    if (!m_external) {
        m_external = std::make_unique<NameIndex>(read_pairs(external_database_path(m_program_dir)));
    }
    return *m_external;
}

const NameIndex& TranslationDatabase::data_pairs(std::string_view file_name) {
    auto found = m_pairs.find(file_name);
    if (found == m_pairs.end()) {
        auto file = read_pairs(data_file_path(m_program_dir, file_name));
        found = m_pairs.try_emplace(std::string(file_name), std::move(file)).first;
    }
    return found->second;
}

const TripleFile& TranslationDatabase::data_triples(std::string_view file_name) {
    auto found = m_triples.find(file_name);
    if (found == m_triples.end()) {
        auto file = parse_triple_file(read_bytes(data_file_path(m_program_dir, file_name)));
        found = m_triples.try_emplace(std::string(file_name), std::move(file)).first;
    }
    return found->second;
}

const TripleEntry* skill_entry(const TripleFile& skill_table, std::int32_t skill_index) {
    // The index comes straight from a record, so any value can arrive here.
    if (skill_index < 0 || static_cast<std::size_t>(skill_index) >= skill_table.entries.size()) {
        return nullptr;
    }
    return &skill_table.entries[static_cast<std::size_t>(skill_index)];
}

Result<PairFile> read_topic_names(Files& files, const std::filesystem::path& program_dir) {
    TranslationDatabase database(files, program_dir);
    const NameIndex& topics =
        database.data_pairs(kRecordTypes[static_cast<std::size_t>(kTopicType)].name_database);
    if (const auto& error = database.read_error()) {
        return *error;
    }
    return topics.file();
}

TextDatabaseIndex::TextDatabaseIndex(const TripleFile& file) : m_file(file) {
    m_first.reserve(file.entries.size());
    for (std::size_t i = 0; i < file.entries.size(); ++i) {
        m_first.try_emplace(file.entries[i][0], i);
    }
}

const TripleEntry* TextDatabaseIndex::find(TextView id) const {
    const auto found = m_first.find(id);
    return found == m_first.end() ? nullptr : &m_file.entries[found->second];
}

std::optional<Text> find_translated_text(const TripleFile& text_database, TextView id) {
    // The second text, the original, is kept in the file for the translators only.
    for (const auto& entry : text_database.entries) {
        if (entry[0] == id) {
            return entry[2];
        }
    }
    return std::nullopt;
}

} // namespace orv
