#include "translation/TranslationDatabase.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "plugin/RecordTypes.h"
#include "translation/TranslationMemory.h"

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

FileContents TranslationDatabase::read_contents(const std::filesystem::path& path) {
    auto contents = m_files.read_contents(path);
    if (!contents) {
        note_read_error(contents.error());
        return {};
    }
    return std::move(*contents);
}

void TranslationDatabase::note_read_error(const Error& error) {
    if (error.kind != ErrorKind::NotFound && !m_read_error) {
        m_read_error = error;
    }
}

template <typename Parse>
auto TranslationDatabase::parse_whole(const std::filesystem::path& path, const Parse& parse) {
    const FileContents contents = read_contents(path);
    auto parsed = parse(contents.bytes());
    if (const auto whole = contents.check_whole(); !whole) {
        note_read_error(whole.error());
        return parse(ByteSpan());
    }
    return parsed;
}

PairFile TranslationDatabase::parse_pairs(ByteSpan bytes) const {
    return m_pair_keys ? parse_pair_file(bytes, *m_pair_keys) : parse_pair_file(bytes);
}

PairFile TranslationDatabase::read_pairs(const std::filesystem::path& path) {
    return parse_whole(path, [this](ByteSpan bytes) { return parse_pairs(bytes); });
}

void TranslationDatabase::preload_pairs(std::span<const std::string_view> file_names) {
    struct Job {
        std::string_view file_name;
        FileContents contents;
        NameIndex index;
        Result<void> whole;
    };
    std::vector<Job> jobs;
    for (const std::string_view name : file_names) {
        const bool known = m_pairs.contains(name) ||
                           std::any_of(jobs.begin(), jobs.end(),
                                       [name](const Job& job) { return job.file_name == name; });
        if (!known) {
            jobs.push_back({name, {}, {}, {}});
        }
    }
    if (jobs.empty()) {
        return;
    }
    const auto index = [this](Job& job) {
        job.index = NameIndex(parse_pairs(job.contents.bytes()));
        job.whole = job.contents.check_whole();
        job.contents = FileContents();
    };
    // Jobs [0, taken) are being indexed or done, [taken, read) are read and wait.
    constexpr std::size_t kReadAhead = 2;
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t read = 0;
    std::size_t taken = 0;
    std::thread helper([&] {
        std::unique_lock lock(mutex);
        while (true) {
            changed.wait(lock, [&] { return taken < read || taken == jobs.size(); });
            if (taken == jobs.size()) {
                return;
            }
            Job& job = jobs[taken++];
            changed.notify_all();
            lock.unlock();
            index(job);
            lock.lock();
        }
    });
    {
        std::unique_lock lock(mutex);
        while (taken < jobs.size()) {
            if (read < jobs.size() && read - taken < kReadAhead) {
                Job& job = jobs[read];
                lock.unlock();
                // Only this thread reads, so the files are asked for in order and the first
                // read error is the one of the first file in that order.
                job.contents = read_contents(data_file_path(m_program_dir, job.file_name));
                lock.lock();
                ++read;
            } else {
                Job& job = jobs[taken++];
                lock.unlock();
                index(job);
                lock.lock();
            }
            changed.notify_all();
        }
    }
    helper.join();
    for (Job& job : jobs) {
        if (!job.whole) {
            note_read_error(job.whole.error());
            job.index = NameIndex();
        }
        m_pairs.try_emplace(std::string(job.file_name), std::move(job.index));
    }
}

const NameIndex& TranslationDatabase::external() {
    if (!m_external) {
        m_external = std::make_unique<NameIndex>(read_pairs(external_database_path(m_program_dir)));
    }
    return *m_external;
}

const MemoryIndex& TranslationDatabase::memory() {
    if (!m_memory) {
        const auto path = memory_path(m_program_dir);
        auto entries = parse_whole(path, parse_memory);
        if (!entries) {
            m_memory_damage = damaged_memory_error(path, entries.error());
        }
        m_memory = std::make_unique<MemoryIndex>(entries ? std::move(*entries)
                                                         : std::vector<MemoryEntry>{});
    }
    return *m_memory;
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
        auto file = parse_whole(data_file_path(m_program_dir, file_name), parse_triple_file);
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
    PairFile names = topics.file();
    auto memory = read_if_present(files, memory_path(program_dir));
    if (!memory) {
        return memory.error();
    }
    // A damaged memory adds nothing, as at Open.
    if (const auto lines = parse_memory(*memory)) {
        for (const auto& line : *lines) {
            if (line.list_index == kTopicType) {
                names.entries.push_back({line.ev_name, line.dv_name});
            }
        }
    }
    return names;
}

TextDatabaseIndex::TextDatabaseIndex(const TripleFile& file)
    : m_file(file), m_entries_by_id(file.entries.size(), ids()) {}

const TripleEntry* TextDatabaseIndex::find(TextView id) const {
    const auto entry = m_entries_by_id.find(id, ids());
    return entry ? &m_file.entries[*entry] : nullptr;
}

} // namespace orv
