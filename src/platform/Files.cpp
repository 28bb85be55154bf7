#include "platform/Files.h"

#include <system_error>

namespace orv {

Result<Bytes> read_if_present(Files& files, const std::filesystem::path& path) {
    auto bytes = files.read_all(path);
    if (!bytes && bytes.error().kind == ErrorKind::NotFound) {
        return Bytes{};
    }
    return bytes;
}

Result<FileContents> read_contents_if_present(Files& files, const std::filesystem::path& path) {
    auto contents = files.read_contents(path);
    if (!contents && contents.error().kind == ErrorKind::NotFound) {
        return FileContents();
    }
    return contents;
}

Result<void> FileContents::check_whole() const {
    if (m_mapped && !m_mapped->whole()) {
        return file_error(ErrorKind::ReadFailed, m_path);
    }
    return {};
}

ByteBuffer FileContents::take_copy() {
    if (m_mapped) {
        return ByteBuffer::copy_of(m_mapped->bytes());
    }
    return std::move(m_copy);
}

Result<FileContents> Files::read_contents(const std::filesystem::path& path) {
    auto bytes = read_all(path);
    if (!bytes) {
        return bytes.error();
    }
    return FileContents(ByteSpan(*bytes));
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

namespace {

struct ReasonText {
    FileErrorReason reason;
    const char8_t* text;
};

constexpr ReasonText kReasonTexts[] = {
    {FileErrorReason::DiskFull, u8"der Datenträger ist voll"},
    {FileErrorReason::AccessDenied, u8"der Zugriff wurde verweigert"},
    {FileErrorReason::ReadOnly, u8"der Datenträger ist schreibgeschützt"},
    {FileErrorReason::PathMissing, u8"der Ordner existiert nicht"},
};

bool is_file_error(ErrorKind kind) {
    switch (kind) {
    case ErrorKind::NotFound:
    case ErrorKind::ReadFailed:
    case ErrorKind::CreateFailed:
    case ErrorKind::WriteFailed:
    case ErrorKind::RenameFailed:
    case ErrorKind::RemoveFailed:
        return true;
    default:
        return false;
    }
}

} // namespace

Text file_error_reason_text(FileErrorReason reason) {
    for (const auto& entry : kReasonTexts) {
        if (entry.reason == reason) {
            return cp1252(entry.text);
        }
    }
    return {};
}

Error missing_file_error(const std::filesystem::path& path) {
    const auto folder = path.parent_path();
    std::error_code ignored;
    const bool folder_exists =
        std::filesystem::is_directory(folder.empty() ? "." : folder, ignored);
    return file_error(ErrorKind::NotFound, path,
                      folder_exists ? FileErrorReason::None : FileErrorReason::PathMissing);
}

Error file_error_for(const Error& error, const std::filesystem::path& path) {
    if (!is_file_error(error.kind)) {
        return error;
    }
    return file_error(error.kind, path, error.reason);
}

Error file_error(ErrorKind kind, const std::filesystem::path& path, FileErrorReason reason) {
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
    if (const Text why = file_error_reason_text(reason); !why.empty()) {
        // "… konnte nicht angelegt werden: der Datenträger ist voll."
        message.pop_back();
        message += ": " + why + ".";
    }
    return Error{kind, 0, message, reason};
}

} // namespace orv
