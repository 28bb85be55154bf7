#include "platform/win32/window/WideText.h"

#include <windows.h>

namespace orv {

std::wstring to_wide(TextView text) {
    const std::string utf8 = to_utf8(text);
    if (utf8.empty()) {
        return {};
    }
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        length);
    return wide;
}

std::optional<Text> from_wide(std::wstring_view text) {
    if (text.empty()) {
        return Text{};
    }
    // A lone surrogate has no UTF-8 form: refused, like any character outside Windows-1252.
    const int length =
        WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(),
                            static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return std::nullopt;
    }
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                        utf8.data(), length, nullptr, nullptr);
    return from_utf8(utf8);
}

std::wstring with_crlf(TextView text) {
    return with_crlf(std::wstring_view(to_wide(text)));
}

std::wstring with_crlf(std::wstring_view wide) {
    std::wstring result;
    result.reserve(wide.size() + wide.size() / 16);
    for (std::size_t i = 0; i < wide.size(); ++i) {
        if (wide[i] == L'\r' || wide[i] == L'\n') {
            result += L"\r\n";
            if (wide[i] == L'\r' && i + 1 < wide.size() && wide[i + 1] == L'\n') {
                ++i;
            }
        } else {
            result += wide[i];
        }
    }
    return result;
}

std::wstring without_mnemonics(TextView text) {
    std::wstring shown;
    for (const wchar_t c : to_wide(text)) {
        shown += c;
        if (c == L'&') {
            shown += L'&';
        }
    }
    return shown;
}

} // namespace orv
