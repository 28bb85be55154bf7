#include "translation/ExternalDatabase.h"

#include "platform/AtomicWrite.h"
#include "translation/DatabaseFile.h"

namespace orv {

Bytes sentinel_pair() {
    Bytes bytes;
    append_entry(bytes, PairEntry{Text(kSentinelText), Text(kSentinelText)});
    return bytes;
}

Result<void> reset_external_database(Files& files, const std::filesystem::path& path) {
    // Creating a folder that exists succeeds, so there is no need to ask first.
    if (const auto folder = path.parent_path(); !folder.empty()) {
        if (auto created = files.create_directories(folder); !created) {
            return created;
        }
    }
    const auto contents = sentinel_pair();
    return write_file_atomically(files, path, contents);
}

Text reset_question(const std::filesystem::path& external_path) {
    return cp1252(u8"LÖSCHT DIE EXTERNE DATENBANK NUR WENN IHR EUCH SICHER\r"
                  u8"SEID, DASS IHR DIE ENTHALTENEN DATEN NICHT FÜR ZUKÜNFTIGE\r"
                  u8"ÜBERSETZUNGEN BENÖTIGT.\r\r"
                  u8"AKTUELLE DATEI : ") +
           to_upper_cp1252(display_path(external_path.filename())) +
           cp1252(u8"\r\r                EXTERNE DATENBANK LÖSCHEN?");
}

} // namespace orv
