#include "scriptcode/ReplacementRules.h"

namespace orv::scriptcode {
namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t limit_of(StringRole role) {
    switch (role) {
    case StringRole::Message:
        return 65535;
    case StringRole::Button:
        return 254;
    case StringRole::Topic:
    case StringRole::Cell:
        break;
    }
    return 255;
}

} // namespace

int count_format_specifiers(TextView text) {
    constexpr TextView kFlags = "-+ #0";
    constexpr TextView kConversions = "diouxXeEfFgGaAcsp%";
    int count = 0;
    std::size_t at = 0;
    while ((at = text.find('%', at)) != TextView::npos) {
        std::size_t end = at + 1;
        while (end < text.size() && kFlags.find(text[end]) != TextView::npos) {
            ++end;
        }
        while (end < text.size() && is_digit(text[end])) {
            ++end;
        }
        if (end < text.size() && text[end] == '.') {
            ++end;
            while (end < text.size() && is_digit(text[end])) {
                ++end;
            }
        }
        if (end < text.size() && kConversions.find(text[end]) != TextView::npos) {
            ++count;
            at = end + 1;
        } else {
            at = at + 1;
        }
    }
    return count;
}

std::optional<Text> replacement_problem(StringRole role, TextView original, TextView replacement) {
    const std::size_t limit = limit_of(role);
    if (replacement.size() > limit) {
        return "Der Text hat " + std::to_string(replacement.size()) +
               cp1252(u8" Bytes; hier passen höchstens ") + std::to_string(limit) + ".";
    }
    if (replacement.find_first_of(Text("\"\r\n\0", 4)) != TextView::npos) {
        return cp1252(u8"Der Text enthält ein Anführungszeichen, einen Zeilenumbruch oder ein "
                      u8"Nullzeichen; so kann er nicht im Skript stehen.");
    }
    return specifier_problem(original, replacement);
}

std::optional<Text> specifier_problem(TextView original, TextView text) {
    const int before = count_format_specifiers(original);
    const int after = count_format_specifiers(text);
    if (before != after) {
        return "Der Text hat " + std::to_string(after) +
               " Platzhalter wie %g oder %s, das Original " + std::to_string(before) +
               cp1252(u8"; ihre Zahl muss gleich bleiben.");
    }
    return std::nullopt;
}

} // namespace orv::scriptcode
