#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Files.h"
#include "platform/Result.h"
#include "translation/FirstIndexTable.h"
#include "translation/MemoryIndex.h"
#include "translation/NameIndex.h"
#include "translation/TextKeys.h"

namespace orv {

// Where the database files live, relative to the program folder.
inline constexpr std::string_view kDataFolder = "data";
inline constexpr std::string_view kExtraFolder = "dataextra";
inline constexpr std::string_view kExternalDatabaseName = "Extradata.dat";
inline constexpr std::string_view kSkillTableName = "Skildata.dat";
inline constexpr std::string_view kGameSettingsName = "Gmstdata.dat";

std::filesystem::path data_file_path(const std::filesystem::path& program_dir,
                                     std::string_view file_name);
std::filesystem::path external_database_path(const std::filesystem::path& program_dir);

// The translation database as one command (an Open, a Save) sees it: each file is read
// from disk at most once, on first use, and indexed; later changes on disk are seen by the
// next command. Missing files have no entries.
class TranslationDatabase {
public:
    TranslationDatabase(Files& files, std::filesystem::path program_dir);

    // Keeps of each pair file read from now on (the external database and the name files)
    // only the entries that have one of `keys` as original or as translation. Every entry
    // holding a key stays, in file order, so looking up any of the keys finds the same entry
    // as in the whole file; but the memory a load needs then follows the plugin's names, not
    // the size of the database. Files read before stay whole.
    void limit_pairs_to(TextKeySet keys) { m_pair_keys = std::move(keys); }

    // Reads and indexes the pair files under data/ named in `file_names` that are not read
    // yet, so that data_pairs() finds them ready. This thread reads them, in the order given
    // and at most two files ahead of the indexing; the indexing runs on this thread and one
    // more, since it takes far longer than the reading. The result is the same as reading
    // each on its first use in that order, read errors included.
    void preload_pairs(std::span<const std::string_view> file_names);

    // The external database, dataextra/Extradata.dat.
    const NameIndex& external();
    // A pair file under data/, by its file name ("Celldata.dat", "Gmstdata.dat", ...).
    const NameIndex& data_pairs(std::string_view file_name);
    // A triple file under data/ ("Skildata.dat", "Txtbookdata.dat", ...).
    const TripleFile& data_triples(std::string_view file_name);
    // The translation memory, dataextra/Memory.tsv. One that exists but cannot be read is
    // a read error, as for every database file. A damaged one counts as empty and is no
    // error: it only adds translations, the suggestions report it, and its own writer
    // refuses to overwrite it, so nothing of it is lost and Open still works.
    const MemoryIndex& memory();
    // After memory(): the damage of a damaged memory file, with the message that names it.
    const std::optional<Error>& memory_damage() const { return m_memory_damage; }

    // The first failure to read a database file that exists, so that a command can refuse
    // to go on with translations missing; a missing file is no failure. Such a file
    // counts as having no entries.
    const std::optional<Error>& read_error() const { return m_read_error; }

private:
    // The file's contents; a file that exists but cannot be read is noted as the read
    // error and gives none.
    FileContents read_contents(const std::filesystem::path& path);
    void note_read_error(const Error& error);
    // What `parse` makes of the file, or of no bytes when the file was shortened while it
    // was parsed (noted as the read error).
    template <typename Parse>
    auto parse_whole(const std::filesystem::path& path, const Parse& parse);
    PairFile parse_pairs(ByteSpan bytes) const;
    PairFile read_pairs(const std::filesystem::path& path);

    Files& m_files;
    std::filesystem::path m_program_dir;
    std::unique_ptr<NameIndex> m_external;
    std::unique_ptr<MemoryIndex> m_memory;
    std::map<std::string, NameIndex, std::less<>> m_pairs;
    std::map<std::string, TripleFile, std::less<>> m_triples;
    std::optional<Error> m_read_error;
    std::optional<Error> m_memory_damage;
    std::optional<TextKeySet> m_pair_keys;
};

// The topic name file (data/Dialdata.dat), whole, followed by the translation memory's
// topic names (those learned from the game's master files among them): renames and links
// are checked against every German topic name of the game. A missing file has no entries;
// one that exists but cannot be read is an error; a damaged memory adds nothing.
Result<PairFile> read_topic_names(Files& files, const std::filesystem::path& program_dir);

// The skill table entry of a skill index (entries are positional), or nothing for a
// negative index or one at or beyond the end of the table.
const TripleEntry* skill_entry(const TripleFile& skill_table, std::int32_t skill_index);

// A text database (ID, original, German) indexed by ID: the first entry of each ID, for
// looking up the tens of thousands of records of a plugin without a walk per record. The
// file must outlive the index.
class TextDatabaseIndex {
public:
    explicit TextDatabaseIndex(const TripleFile& file);
    const TripleEntry* find(TextView id) const;

private:
    // The ID of an entry, by its number.
    auto ids() const {
        return [this](std::size_t entry) { return TextView(m_file.entries[entry][0]); };
    }

    const TripleFile& m_file;
    FirstIndexTable<ExactTexts> m_entries_by_id;
};

} // namespace orv
