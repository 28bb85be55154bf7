#include "platform/CommandLine.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <iostream>
#include <streambuf>

#include <windows.h>

#include <shellapi.h>

namespace orv {
namespace {

std::string utf8_of(const wchar_t* wide) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) {
        return {};
    }
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), length, nullptr, nullptr);
    utf8.pop_back();
    return utf8;
}

// The length of the longest prefix of `bytes` that ends with a whole UTF-8 sequence, so that
// a character split between two writes is converted once it is complete.
std::size_t whole_sequences(const std::string& bytes) {
    std::size_t end = bytes.size();
    std::size_t back = 0;
    while (back < 3 && back < end &&
           (static_cast<unsigned char>(bytes[end - 1 - back]) & 0xC0) == 0x80) {
        ++back;
    }
    if (back == end) {
        return end;
    }
    const auto lead = static_cast<unsigned char>(bytes[end - 1 - back]);
    const std::size_t needed = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return needed > back + 1 ? end - 1 - back : end;
}

// Writes UTF-8 text to a console window as characters: the console's code page would
// otherwise turn every umlaut into two wrong characters.
class ConsoleBuffer final : public std::streambuf {
public:
    explicit ConsoleBuffer(HANDLE console) : m_console(console) {}

protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            m_pending.push_back(traits_type::to_char_type(c));
            if (c == '\n') {
                sync();
            }
        }
        return traits_type::not_eof(c);
    }

    std::streamsize xsputn(const char* data, std::streamsize count) override {
        m_pending.append(data, static_cast<std::size_t>(count));
        if (m_pending.size() > 4096) {
            sync();
        }
        return count;
    }

    int sync() override {
        const std::size_t ready = whole_sequences(m_pending);
        if (ready == 0) {
            return 0;
        }
        const int wide_length =
            MultiByteToWideChar(CP_UTF8, 0, m_pending.data(), static_cast<int>(ready), nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, m_pending.data(), static_cast<int>(ready), wide.data(),
                            wide_length);
        m_pending.erase(0, ready);
        DWORD written = 0;
        return WriteConsoleW(m_console, wide.data(), static_cast<DWORD>(wide.size()), &written,
                             nullptr)
                   ? 0
                   : -1;
    }

private:
    HANDLE m_console;
    std::string m_pending;
};

// One standard stream: a console gets characters, anything else the bytes unchanged
// (binary mode, so that LF is not turned into CR LF).
std::ostream& stream_for(DWORD handle_id, FILE* file, std::ostream& plain) {
    const HANDLE handle = GetStdHandle(handle_id);
    DWORD mode = 0;
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        // Made once per stream and kept for the program's life, as std::cout is.
        auto* buffer = new ConsoleBuffer(handle);
        auto* console = new std::ostream(buffer);
        console->setf(std::ios::unitbuf);
        return *console;
    }
    std::fflush(file);
    _setmode(_fileno(file), _O_BINARY);
    return plain;
}

} // namespace

std::vector<std::string> command_line_arguments(int /*argc*/, char** /*argv*/) {
    // The narrow argv went through the system's code page; the wide command line did not.
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; wide != nullptr && i < count; ++i) {
        arguments.push_back(utf8_of(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}

std::filesystem::path executable_folder(const char* /*argv0*/) {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) {
            return std::filesystem::current_path();
        }
        if (length < name.size()) {
            name.resize(length);
            return std::filesystem::path(name).parent_path();
        }
        name.resize(name.size() * 2);
    }
}

std::ostream& standard_output() {
    static std::ostream& stream = stream_for(STD_OUTPUT_HANDLE, stdout, std::cout);
    return stream;
}

std::ostream& standard_error() {
    static std::ostream& stream = stream_for(STD_ERROR_HANDLE, stderr, std::cerr);
    return stream;
}

void share_one_heap_between_threads() {
    // The C runtime's heap is one for all threads already.
}

void back_heap_with_large_pages() {
    // Large pages need a privilege on Windows that a user's account does not have.
}

} // namespace orv
