#include "platform/Text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

namespace orv {
namespace {

// Unicode code points of the Windows-1252 bytes 80 to 9F hex. The undefined bytes map to
// the C1 control character of the same value so that they survive a round trip.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::optional<unsigned char> byte_of(char32_t code_point) {
    if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF)) {
        return static_cast<unsigned char>(code_point);
    }
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == code_point) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return std::nullopt;
}

// The UTF-8 form of one Windows-1252 byte: its length and its (up to three) bytes.
struct Utf8Sequence {
    unsigned char length = 0;
    char bytes[3] = {};
};

constexpr std::array<Utf8Sequence, 256> make_utf8_table() {
    std::array<Utf8Sequence, 256> table{};
    for (int byte = 0; byte < 256; ++byte) {
        const char32_t cp =
            byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : static_cast<char32_t>(byte);
        auto& entry = table[static_cast<std::size_t>(byte)];
        if (cp < 0x80) {
            entry.length = 1;
            entry.bytes[0] = static_cast<char>(cp);
        } else if (cp < 0x800) {
            entry.length = 2;
            entry.bytes[0] = static_cast<char>(0xC0 | (cp >> 6));
            entry.bytes[1] = static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            entry.length = 3;
            entry.bytes[0] = static_cast<char>(0xE0 | (cp >> 12));
            entry.bytes[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            entry.bytes[2] = static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return table;
}

constexpr auto kUtf8Table = make_utf8_table();

// Decodes one UTF-8 sequence starting at `pos`; advances `pos` past it. Rejects overlong
// forms, surrogates and values beyond U+10FFFF.
std::optional<char32_t> decode_one(std::string_view utf8, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(utf8[pos]);
    std::size_t extra = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        cp = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        cp = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        cp = lead & 0x07;
        minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    if (utf8.size() - pos <= extra) {
        return std::nullopt;
    }
    for (std::size_t i = 1; i <= extra; ++i) {
        const auto next = static_cast<unsigned char>(utf8[pos + i]);
        if ((next & 0xC0) != 0x80) {
            return std::nullopt;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return std::nullopt;
    }
    pos += extra + 1;
    return cp;
}

} // namespace

void append_utf8(std::string& out, TextView text) {
    // Most texts are ASCII, which UTF-8 keeps as it is.
    if (std::all_of(text.begin(), text.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        out.append(text);
        return;
    }
    // Room for the longest result first, so that the loop below never reallocates.
    const std::size_t start = out.size();
    out.resize(start + 3 * text.size());
    char* next = out.data() + start;
    for (const char c : text) {
        const auto& sequence = kUtf8Table[static_cast<unsigned char>(c)];
        next[0] = sequence.bytes[0];
        next[1] = sequence.bytes[1];
        next[2] = sequence.bytes[2];
        next += sequence.length;
    }
    out.resize(static_cast<std::size_t>(next - out.data()));
}

std::string to_utf8(TextView text) {
    std::string out;
    append_utf8(out, text);
    return out;
}

std::optional<Text> from_utf8(std::string_view utf8) {
    Text out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const auto cp = decode_one(utf8, pos);
        if (!cp) {
            return std::nullopt;
        }
        const auto byte = byte_of(*cp);
        if (!byte) {
            return std::nullopt;
        }
        out.push_back(static_cast<char>(*byte));
    }
    return out;
}

Text cp1252(std::u8string_view literal) {
    const std::string_view utf8(reinterpret_cast<const char*>(literal.data()), literal.size());
    auto text = from_utf8(utf8);
    if (!text) {
        // A program literal that Windows-1252 cannot hold is a programming error.
        std::abort();
    }
    return *text;
}

Text to_upper_cp1252(TextView text) {
    Text upper;
    to_upper_cp1252(text, upper);
    return upper;
}

void to_upper_cp1252(TextView text, Text& upper) {
    upper.assign(text);
    for (char& c : upper) {
        const auto byte = static_cast<unsigned char>(c);
        unsigned char capital = byte;
        if ((byte >= 'a' && byte <= 'z') || (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7)) {
            capital = static_cast<unsigned char>(byte - 0x20);
        } else if (byte == 0x9A || byte == 0x9C || byte == 0x9E) {
            capital = static_cast<unsigned char>(byte - 0x10);
        } else if (byte == 0xFF) {
            capital = 0x9F;
        }
        c = static_cast<char>(capital);
    }
}

} // namespace orv
