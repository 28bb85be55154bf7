#include "plugin/ResultScript.h"

#include <algorithm>
#include <array>
#include <functional>

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

// The tokens of one line: in place for as many as a script's lines have, in a list of their
// own beyond that, so that reading a script allocates nothing as a rule. The passes over a
// plugin read tens of thousands of scripts, on two threads that share one allocator.
class LineTokens {
public:
    void clear() {
        m_count = 0;
        m_more.clear();
    }
    void push_back(const Token& token) {
        if (m_count < m_first.size()) {
            m_first[m_count] = token;
        } else {
            m_more.push_back(token);
        }
        ++m_count;
    }
    std::size_t size() const { return m_count; }
    const Token& operator[](std::size_t k) const {
        return k < m_first.size() ? m_first[k] : m_more[k - m_first.size()];
    }

private:
    std::array<Token, 32> m_first;
    std::vector<Token> m_more;
    std::size_t m_count = 0;
};

// Puts the tokens of one line [begin, end) up to a ';' outside quotes into `tokens`;
// false when a quote stays open to the line's end.
bool tokens_of_line(TextView script, std::size_t begin, std::size_t end, LineTokens& tokens) {
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

void read_statement(TextView script, const LineTokens& tokens, std::size_t line,
                    const ArgumentVisitor& found) {
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
            found({kind, function->name, token.offset, token.length, token.quoted, line});
        }
    }
}

bool needs_quotes(TextView text) {
    return text.empty() || text.find_first_of(" \t,;()") != TextView::npos ||
           text.find("->") != TextView::npos;
}

// Builds the new script of rewrite_script_arguments() from the arguments the reader hands
// it in script order.
class ArgumentRewriter {
public:
    using Replace = std::function<std::optional<Text>(TextView argument)>;

    ArgumentRewriter(TextView script, Kind kind, const Replace& replace)
        : m_script(script), m_kind(kind), m_replace(replace) {}

    void operator()(const ScriptArgument& argument) {
        if (argument.kind != m_kind) {
            return;
        }
        const TextView old_text = m_script.substr(argument.offset, argument.length);
        const auto new_text = m_replace(old_text);
        if (!new_text || *new_text == old_text || new_text->find_first_of("\"\r\n") != Text::npos) {
            return;
        }
        Text& out = m_result.script;
        if (m_result.replaced == 0) {
            out.reserve(m_script.size() + new_text->size() + 2);
        }
        out.append(m_script.substr(m_copied, argument.offset - m_copied));
        const bool quote = !argument.quoted && needs_quotes(*new_text);
        if (quote) {
            out += '"';
        }
        out += *new_text;
        if (quote) {
            out += '"';
        }
        m_copied = argument.offset + argument.length;
        ++m_result.replaced;
    }

    // A script without a change is not copied: nobody writes it back.
    ScriptRewrite finish() && {
        if (m_result.replaced > 0) {
            m_result.script.append(m_script.substr(m_copied));
        }
        return std::move(m_result);
    }

private:
    TextView m_script;
    Kind m_kind;
    const Replace& m_replace;
    ScriptRewrite m_result;
    std::size_t m_copied = 0;
};

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

void read_script(TextView script, const ArgumentVisitor& found,
                 const std::function<void(std::size_t line)>& unterminated) {
    LineTokens tokens;
    std::size_t line = 1;
    std::size_t begin = 0;
    while (begin <= script.size()) {
        std::size_t end = script.find('\n', begin);
        if (end == TextView::npos) {
            end = script.size();
        }
        if (tokens_of_line(script, begin, end, tokens)) {
            read_statement(script, tokens, line, found);
        } else if (unterminated) {
            unterminated(line);
        }
        begin = end + 1;
        ++line;
    }
}

ScriptReading find_script_arguments(TextView script) {
    ScriptReading reading;
    // Room for the arguments of a few calls at once: a growing vector would allocate
    // several times for every script of a plugin.
    reading.arguments.reserve(4);
    find_script_arguments(script, reading);
    return reading;
}

void find_script_arguments(TextView script, ScriptReading& reading) {
    reading.arguments.clear();
    reading.unterminated_lines.clear();
    read_script(
        script,
        [&reading](const ScriptArgument& argument) { reading.arguments.push_back(argument); },
        [&reading](std::size_t line) { reading.unterminated_lines.push_back(line); });
}

ScriptRewrite
rewrite_script_arguments(TextView script, ScriptArgumentKind kind,
                         const std::function<std::optional<Text>(TextView argument)>& replace) {
    // The arguments are taken as the reader finds them, in script order; no list of them
    // is made. The rewriter goes to the reader by reference, which a function object holds
    // without allocating.
    ArgumentRewriter rewriter(script, kind, replace);
    read_script(script, std::ref(rewriter));
    return std::move(rewriter).finish();
}

} // namespace orv
