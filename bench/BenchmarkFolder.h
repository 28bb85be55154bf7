#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "fixtures/LargePlugin.h"
#include "platform/LocalFiles.h"

namespace orv::bench {

// A program folder in a temporary directory holding a generated translation database, for
// benchmarks that read the database from disk as the program does. Removed at exit.
class BenchmarkFolder {
public:
    explicit BenchmarkFolder(const fixtures::LargeSetOptions& options)
        : m_set(fixtures::make_large_set(options)) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "orvental-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        m_folder = pattern;
        LocalFiles files;
        for (const auto& [name, bytes] : m_set.database) {
            const auto path = m_folder / name;
            if (!files.create_directories(path.parent_path()) || !write_whole(files, path, bytes)) {
                std::abort();
            }
        }
        if (!write_whole(files, m_folder / "plugin.esp", m_set.plugin)) {
            std::abort();
        }
    }
    ~BenchmarkFolder() {
        std::error_code error;
        std::filesystem::remove_all(m_folder, error);
    }
    BenchmarkFolder(const BenchmarkFolder&) = delete;
    BenchmarkFolder& operator=(const BenchmarkFolder&) = delete;

    const std::filesystem::path& path() const { return m_folder; }
    const Bytes& plugin() const { return m_set.plugin; }
    // A database file of the set by its path in the program folder ("data/Dialdata.dat").
    const Bytes& database_file(const std::string& name) const { return m_set.database.at(name); }

private:
    static bool write_whole(Files& files, const std::filesystem::path& path, const Bytes& bytes) {
        auto file = files.create(path);
        return file && (*file)->write(bytes) && (*file)->close();
    }

    fixtures::LargeSet m_set;
    std::filesystem::path m_folder;
};

} // namespace orv::bench
