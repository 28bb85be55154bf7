#include "scriptcode/SourceStatements.h"

#include <array>

#include "plugin/ResultScript.h"
#include "scriptcode/ScriptFunctions.h"

namespace orv::scriptcode {
namespace {

struct Keyword {
    TextView word;
    std::optional<SourceKind> kind;
};

// The first words that are no function call; those without a kind compile to nothing.
constexpr std::array<Keyword, 13> kKeywords = {{
    {"begin", std::nullopt},
    {"short", std::nullopt},
    {"long", std::nullopt},
    {"float", std::nullopt},
    {"set", SourceKind::Set},
    {"if", SourceKind::If},
    {"elseif", SourceKind::ElseIf},
    {"else", SourceKind::Else},
    {"endif", SourceKind::EndIf},
    {"while", SourceKind::While},
    {"endwhile", SourceKind::EndWhile},
    {"return", SourceKind::Return},
    {"end", SourceKind::End},
}};

bool is_separator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == ',' || c == '(' || c == ')';
}

bool arrow_at(TextView line, std::size_t at) {
    return at + 1 < line.size() && line[at] == '-' && line[at + 1] == '>';
}

struct LineTokens {
    std::vector<SourceToken> tokens;
    // The index of the token before "->", if the line has one.
    std::optional<std::size_t> arrow_after;
};

// The tokens of the line [begin, end) up to a ';' outside quotes; nothing when a quote stays
// open to the line's end.
std::optional<LineTokens> tokens_of_line(TextView source, std::size_t begin, std::size_t end) {
    LineTokens result;
    std::size_t at = begin;
    while (at < end) {
        const char c = source[at];
        if (c == ';') {
            break;
        }
        if (is_separator(c)) {
            ++at;
        } else if (c == '"') {
            const std::size_t close = source.find('"', at + 1);
            if (close == TextView::npos || close >= end) {
                return std::nullopt;
            }
            result.tokens.push_back({at + 1, close - at - 1, true});
            at = close + 1;
        } else if (arrow_at(source.substr(0, end), at)) {
            if (!result.arrow_after && !result.tokens.empty()) {
                result.arrow_after = result.tokens.size() - 1;
            }
            at += 2;
        } else {
            const std::size_t start = at;
            while (at < end && !is_separator(source[at]) && source[at] != '"' &&
                   source[at] != ';' && !arrow_at(source.substr(0, end), at)) {
                ++at;
            }
            result.tokens.push_back({start, at - start, false});
        }
    }
    return result;
}

Error refused_line(std::size_t line, const Text& what) {
    return Error{ErrorKind::Refused, 0, "Quelltext, Zeile " + std::to_string(line) + ": " + what};
}

} // namespace

std::optional<Text> local_variable(TextView source, TextView name) {
    source = source.substr(0, source.find('\0'));
    constexpr std::array<std::pair<TextView, char>, 3> kTypes = {
        {{"short", 's'}, {"long", 'l'}, {"float", 'f'}}};
    std::array<unsigned, 3> counts{};
    std::size_t begin = 0;
    while (begin < source.size()) {
        std::size_t end = source.find('\n', begin);
        if (end == TextView::npos) {
            end = source.size();
        }
        const auto tokens = tokens_of_line(source, begin, end);
        begin = end + 1;
        if (!tokens || tokens->tokens.size() < 2 || tokens->tokens[0].quoted) {
            continue;
        }
        const TextView first = token_text(source, tokens->tokens[0]);
        for (std::size_t type = 0; type < kTypes.size(); ++type) {
            if (!equal_ignoring_ascii_case(first, kTypes[type].first)) {
                continue;
            }
            const unsigned index = ++counts[type];
            if (equal_ignoring_ascii_case(token_text(source, tokens->tokens[1]), name)) {
                return Text{kTypes[type].second, static_cast<char>(index & 0xFF),
                            static_cast<char>(index >> 8 & 0xFF)};
            }
        }
    }
    return std::nullopt;
}

Result<std::vector<SourceStatement>> read_source(TextView source) {
    // The editor stores the source with a closing zero byte; nothing behind it compiles.
    source = source.substr(0, source.find('\0'));
    std::vector<SourceStatement> statements;
    std::size_t line = 1;
    std::size_t begin = 0;
    while (begin <= source.size()) {
        std::size_t end = source.find('\n', begin);
        if (end == TextView::npos) {
            end = source.size();
        }
        const auto tokens = tokens_of_line(source, begin, end);
        if (!tokens) {
            return refused_line(line, cp1252(u8"ein Anführungszeichen wird nicht geschlossen."));
        }
        if (!tokens->tokens.empty()) {
            SourceStatement statement;
            statement.line = line;
            std::size_t first = 0;
            // "ref->Function": only a function call takes a reference.
            if (tokens->arrow_after == 0 && tokens->tokens.size() > 1) {
                statement.reference = tokens->tokens[0];
                first = 1;
            }
            const SourceToken& word = tokens->tokens[first];
            const TextView text = token_text(source, word);
            const Keyword* keyword = nullptr;
            for (const Keyword& candidate : kKeywords) {
                if (!word.quoted && equal_ignoring_ascii_case(candidate.word, text)) {
                    keyword = &candidate;
                }
            }
            if (keyword && !statement.reference) {
                if (keyword->kind) {
                    statement.kind = *keyword->kind;
                    statements.push_back(std::move(statement));
                }
            } else {
                statement.function = word.quoted ? nullptr : function_by_name(text);
                if (!statement.function) {
                    return refused_line(line,
                                        "\"" + Text(text) + "\" ist keine bekannte Funktion.");
                }
                statement.arguments.assign(tokens->tokens.begin() +
                                               static_cast<std::ptrdiff_t>(first + 1),
                                           tokens->tokens.end());
                statements.push_back(std::move(statement));
            }
        }
        begin = end + 1;
        ++line;
    }
    return statements;
}

} // namespace orv::scriptcode
