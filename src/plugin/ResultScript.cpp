#include "plugin/ResultScript.h"

#include <algorithm>
#include <array>

namespace orv {
namespace {

using Kind = ScriptArgumentKind;

// The argument positions follow the script compiler's signatures of these functions; the
// cell functions take the cell's name where their letter 'c' stands. COC is the short form
// of CenterOnCell. CenterOnExterior takes grid numbers and GetInterior, CellChanged and
// TestCells take nothing, so they are not here.
// clang-format off
constexpr std::array<ScriptFunction, 12> kFunctions = {{
    {"PositionCell",  "----c"},
    {"AIEscortCell",  "-c"},
    {"AIFollowCell",  "-c"},
    {"PlaceItemCell", "-c"},
    {"GetPCCell",     "c"},
    {"CenterOnCell",  "c"},
    {"COC",           "c"},
    {"ShowMap",       "c"},
    {"AddTopic",      "t"},
    {"Choice",        "",   Kind::Text},
    {"MessageBox",    "x",  Kind::Text},
    {"Say",           "-x"},
}};
// clang-format on

constexpr std::array<TextView, 3> kConditionWords = {"if", "elseif", "while"};

Kind kind_of_letter(char letter) {
    switch (letter) {
    case 'c':
        return Kind::Cell;
    case 't':
        return Kind::Topic;
    case 'x':
        return Kind::Text;
    default:
        return Kind::Other;
    }
}

bool is_separator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\0' || c == ',' || c == '(' || c == ')';
}

struct Token {
    std::size_t offset = 0;
    std::size_t length = 0;
    bool quoted = false;
    // "->" between a reference and the function name.
    bool arrow = false;
};

// Puts the tokens of one line [begin, end) up to a ';' outside quotes into `tokens`;
// false when a quote stays open to the line's end. The caller's vector is reused from line
// to line, so a script costs one allocation for its tokens, not one per line.
bool tokens_of_line(TextView script, std::size_t begin, std::size_t end,
                    std::vector<Token>& tokens) {
    tokens.clear();
    std::size_t at = begin;
    while (at < end) {
        const char c = script[at];
        if (c == ';') {
            break;
        }
        if (is_separator(c)) {
            ++at;
        } else if (c == '"') {
            const std::size_t close = script.find('"', at + 1);
            if (close == TextView::npos || close >= end) {
                return false;
            }
            tokens.push_back({at + 1, close - at - 1, true, false});
            at = close + 1;
        } else if (c == '-' && at + 1 < end && script[at + 1] == '>') {
            tokens.push_back({at, 2, false, true});
            at += 2;
        } else {
            const std::size_t start = at;
            while (at < end && !is_separator(script[at]) && script[at] != '"' &&
                   script[at] != ';' &&
                   !(script[at] == '-' && at + 1 < end && script[at + 1] == '>')) {
                ++at;
            }
            tokens.push_back({start, at - start, false, false});
        }
    }
    return true;
}

void read_statement(TextView script, const std::vector<Token>& tokens, std::size_t line,
                    std::vector<ScriptArgument>& out) {
    std::size_t first = 0;
    const auto text_of = [&](const Token& token) {
        return script.substr(token.offset, token.length);
    };
    if (first < tokens.size() && !tokens[first].quoted &&
        std::any_of(kConditionWords.begin(), kConditionWords.end(), [&](TextView word) {
            return equal_ignoring_ascii_case(text_of(tokens[first]), word);
        })) {
        ++first;
    }
    if (first + 1 < tokens.size() && tokens[first + 1].arrow) {
        first += 2;
    }
    if (first >= tokens.size() || tokens[first].quoted || tokens[first].arrow) {
        return;
    }
    const ScriptFunction* function = find_script_function(text_of(tokens[first]));
    if (!function) {
        return;
    }
    std::size_t position = 0;
    for (std::size_t k = first + 1; k < tokens.size(); ++k) {
        const Token& token = tokens[k];
        if (token.arrow) {
            continue;
        }
        const Kind kind = position < function->positions.size()
                              ? kind_of_letter(function->positions[position])
                          : token.quoted ? function->later_quoted
                                         : Kind::Other;
        ++position;
        if (kind != Kind::Other) {
            out.push_back({kind, function->name, token.offset, token.length, token.quoted, line});
        }
    }
}

bool needs_quotes(TextView text) {
    return text.empty() || text.find_first_of(" \t,;()") != TextView::npos ||
           text.find("->") != TextView::npos;
}

} // namespace

std::span<const ScriptFunction> script_functions() {
    return kFunctions;
}

const ScriptFunction* find_script_function(TextView name) {
    for (const ScriptFunction& function : kFunctions) {
        if (equal_ignoring_ascii_case(function.name, name)) {
            return &function;
        }
    }
    return nullptr;
}

ScriptReading find_script_arguments(TextView script) {
    ScriptReading reading;
    // Room for the tokens of a long line and the arguments of a few calls at once: a
    // growing vector would allocate several times for every script of a plugin.
    std::vector<Token> tokens;
    tokens.reserve(32);
    reading.arguments.reserve(4);
    std::size_t line = 1;
    std::size_t begin = 0;
    while (begin <= script.size()) {
        std::size_t end = script.find('\n', begin);
        if (end == TextView::npos) {
            end = script.size();
        }
        if (tokens_of_line(script, begin, end, tokens)) {
            read_statement(script, tokens, line, reading.arguments);
        } else {
            reading.unterminated_lines.push_back(line);
        }
        begin = end + 1;
        ++line;
    }
    return reading;
}

ScriptRewrite
rewrite_script_arguments(TextView script, ScriptArgumentKind kind,
                         const std::function<std::optional<Text>(TextView argument)>& replace) {
    ScriptRewrite result;
    std::size_t copied = 0;
    for (const ScriptArgument& argument : find_script_arguments(script).arguments) {
        if (argument.kind != kind) {
            continue;
        }
        const TextView old_text = script.substr(argument.offset, argument.length);
        const auto new_text = replace(old_text);
        if (!new_text || *new_text == old_text || new_text->find_first_of("\"\r\n") != Text::npos) {
            continue;
        }
        result.script.append(script.substr(copied, argument.offset - copied));
        const bool quote = !argument.quoted && needs_quotes(*new_text);
        if (quote) {
            result.script += '"';
        }
        result.script += *new_text;
        if (quote) {
            result.script += '"';
        }
        copied = argument.offset + argument.length;
        ++result.replaced;
    }
    result.script.append(script.substr(copied));
    return result;
}

} // namespace orv
