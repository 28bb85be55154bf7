#include "save/DialogueCheck.h"

#include "plugin/Dialogue.h"
#include "plugin/ResultScript.h"
#include "translation/DatabaseFile.h"
#include "translation/DialogueRules.h"
#include "translation/Responses.h"

namespace orv {
namespace {

FindingKind finding_kind_of(TranslationProblem::Kind kind) {
    switch (kind) {
    case TranslationProblem::Kind::TopicLink:
        return FindingKind::TopicLink;
    case TranslationProblem::Kind::Define:
        return FindingKind::Define;
    case TranslationProblem::Kind::Length:
        return FindingKind::ResponseTooLong;
    }
    return FindingKind::Dialogue;
}

// The texts a result script shows, in script order.
std::vector<TextView> script_texts(TextView script, const ScriptReading& reading) {
    std::vector<TextView> texts;
    for (const auto& argument : reading.arguments) {
        if (argument.kind == ScriptArgumentKind::Text) {
            texts.push_back(script.substr(argument.offset, argument.length));
        }
    }
    return texts;
}

class DialogueChecker {
public:
    DialogueChecker(const BlockStore& store, const ObjectLists& lists, ByteSpan topic_names,
                    std::vector<Finding>& findings)
        : m_store(store), m_lists(lists), m_links(lists, parse_pair_file(topic_names)),
          m_findings(findings) {}

    void run() {
        for (const auto& problem : m_lists.dialogue_problems()) {
            const Block& block = m_store.block(static_cast<std::size_t>(problem.block));
            add(FindingKind::Dialogue, record_tag(block), record_id(block),
                problem.kind == DialogueProblem::Kind::TopicWithoutType
                    ? cp1252(u8"Das Thema hat keinen lesbaren Typ; seine Antworten bleiben "
                             u8"unübersetzt.")
                    : cp1252(u8"Die Antwort gehört zu keinem Thema und bleibt unübersetzt."));
        }
        const auto& responses = m_lists.responses();
        for (std::size_t index = 0; index < responses.size(); ++index) {
            m_response = index;
            check_response(responses[index]);
        }
        m_response.reset();
    }

private:
    void check_response(const ResponseElement& response) {
        const Text text = current_response_text(m_store, response);
        if (text != response.original) {
            for (const auto& problem : response_problems(m_links, response.original, text)) {
                add(finding_kind_of(problem.kind), "INFO", response.id, describe_problem(problem));
            }
        }
        const Block& block = m_store.block(static_cast<std::size_t>(response.block));
        const auto script_place = find_subrecord(block, "BNAM");
        if (!script_place) {
            return;
        }
        const Text script = result_script_text(block, *script_place);
        const auto reading = find_script_arguments(script);
        for (const std::size_t line : reading.unterminated_lines) {
            add(FindingKind::Dialogue, "INFO", response.id,
                "BNAM Zeile " + std::to_string(line) +
                    cp1252(u8": ein Anführungszeichen wird nicht geschlossen; die Texte der "
                           u8"Zeile bleiben, wie sie sind."));
        }
        if (script == response.original_script) {
            return;
        }
        // A script text keeps its place among the others, so the n-th text of the script
        // now is the translation of the n-th one the file held.
        const auto originals =
            script_texts(response.original_script, find_script_arguments(response.original_script));
        const auto translations = script_texts(script, reading);
        for (std::size_t n = 0; n < originals.size() && n < translations.size(); ++n) {
            for (const char sigil : {'%', '^'}) {
                for (const auto& define : text_defines(originals[n], sigil)) {
                    if (translations[n].find(define) == TextView::npos) {
                        add(FindingKind::Define, "INFO", response.id,
                            "BNAM Text " + std::to_string(n + 1) + ": " +
                                describe_problem({TranslationProblem::Kind::Define, define}));
                    }
                }
            }
        }
    }

    void add(FindingKind kind, Text record, Text id, Text detail) {
        m_findings.push_back(Finding{kind, std::move(record), std::move(id), std::move(detail),
                                     std::nullopt, m_response});
    }

    const BlockStore& m_store;
    const ObjectLists& m_lists;
    const TopicLinks m_links;
    std::vector<Finding>& m_findings;
    // The response being checked, which its findings name.
    std::optional<std::size_t> m_response;
};

} // namespace

void check_dialogue(const BlockStore& store, const ObjectLists& lists, ByteSpan topic_names,
                    std::vector<Finding>& findings) {
    DialogueChecker(store, lists, topic_names, findings).run();
}

} // namespace orv
