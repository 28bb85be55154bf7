#include "platform/Files.h"

namespace orv {

Result<Bytes> read_if_present(Files& files, const std::filesystem::path& path) {
    auto bytes = files.read_all(path);
    if (!bytes && bytes.error().kind == ErrorKind::NotFound) {
        return Bytes{};
    }
    return bytes;
}

std::filesystem::path path_from_utf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8_of(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

std::string folder_part(std::string_view path) {
    if (path.starts_with('"')) {
        path.remove_prefix(1);
    }
    const auto last = path.rfind(kPathSeparator);
    return last == std::string_view::npos ? std::string{} : std::string(path.substr(0, last + 1));
}

Text display_path(const std::filesystem::path& path) {
    const auto utf8 = utf8_of(path);
    if (auto text = from_utf8(utf8)) {
        return *text;
    }
    Text shown;
    for (const char c : utf8) {
        shown.push_back(static_cast<unsigned char>(c) < 0x80 ? c : '?');
    }
    return shown;
}

Error file_error(ErrorKind kind, const std::filesystem::path& path) {
    const Text name = cp1252(u8"„") + display_path(path) + cp1252(u8"“");
    Text message;
    switch (kind) {
    case ErrorKind::NotFound:
        message = cp1252(u8"Die Datei ") + name + cp1252(u8" gibt es nicht.");
        break;
    case ErrorKind::ReadFailed:
        message = cp1252(u8"Die Datei ") + name + cp1252(u8" konnte nicht gelesen werden.");
        break;
    case ErrorKind::CreateFailed:
        message = cp1252(u8"Die Datei ") + name + cp1252(u8" konnte nicht angelegt werden.");
        break;
    case ErrorKind::WriteFailed:
        message = cp1252(u8"Die Datei ") + name +
                  cp1252(u8" konnte nicht vollständig geschrieben werden.");
        break;
    case ErrorKind::RenameFailed:
        message = cp1252(u8"Die Datei ") + name + cp1252(u8" konnte nicht ersetzt werden.");
        break;
    case ErrorKind::RemoveFailed:
        message = cp1252(u8"Die Datei ") + name + cp1252(u8" konnte nicht gelöscht werden.");
        break;
    default:
        message = cp1252(u8"Fehler bei der Datei ") + name + ".";
        break;
    }
    return Error{kind, 0, message};
}

} // namespace orv
