#include "translation/DialogueRules.h"

#include <algorithm>

#include "plugin/Dialogue.h"
#include "translation/RowFilter.h"

namespace orv {
namespace {

bool is_ascii_letter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

TopicLinks::TopicLinks(const ObjectLists& lists, const PairFile& topic_database) {
    m_nodes.emplace_back();
    m_root_children.assign(256, -1);
    for (const auto& element : lists.list(kTopicType).elements) {
        if (!element.ev_name.empty()) {
            add(element.ev_name, element.dv_name);
        }
    }
    for (const auto& entry : topic_database.entries) {
        if (!entry[0].empty()) {
            add(entry[0], entry[1]);
        }
    }
}

std::int32_t TopicLinks::child(std::int32_t node, unsigned char byte) const {
    if (node == 0) {
        return m_root_children[byte];
    }
    for (std::int32_t next = m_nodes[static_cast<std::size_t>(node)].first_child; next >= 0;
         next = m_nodes[static_cast<std::size_t>(next)].next_sibling) {
        if (m_nodes[static_cast<std::size_t>(next)].byte == byte) {
            return next;
        }
    }
    return -1;
}

void TopicLinks::add(TextView english, TextView german) {
    std::int32_t node = 0;
    for (const char c : english) {
        const unsigned char byte = fold_case(static_cast<unsigned char>(c));
        std::int32_t next = child(node, byte);
        if (next < 0) {
            next = static_cast<std::int32_t>(m_nodes.size());
            Node added;
            added.byte = byte;
            if (node == 0) {
                m_root_children[byte] = next;
            } else {
                added.next_sibling = m_nodes[static_cast<std::size_t>(node)].first_child;
                m_nodes[static_cast<std::size_t>(node)].first_child = next;
            }
            m_nodes.push_back(added);
        }
        node = next;
    }
    auto& end = m_nodes[static_cast<std::size_t>(node)];
    if (end.topic < 0) {
        end.topic = static_cast<std::int32_t>(m_topics.size());
        m_topics.push_back({Text(english), Text(german), fold_case(german)});
    }
}

std::vector<const TopicLinks::Topic*> TopicLinks::linked(TextView text) const {
    std::vector<const Topic*> found;
    for (const Mention& mention : mentions(text)) {
        if (std::find(found.begin(), found.end(), mention.topic) == found.end()) {
            found.push_back(mention.topic);
        }
    }
    return found;
}

std::vector<TopicLinks::Mention> TopicLinks::mentions(TextView text) const {
    std::vector<Mention> found;
    std::size_t position = 0;
    while (position < text.size()) {
        std::int32_t node = 0;
        std::int32_t longest = -1;
        std::size_t longest_end = position;
        for (std::size_t i = position; i < text.size(); ++i) {
            node = child(node, fold_case(static_cast<unsigned char>(text[i])));
            if (node < 0) {
                break;
            }
            if (m_nodes[static_cast<std::size_t>(node)].topic >= 0) {
                longest = m_nodes[static_cast<std::size_t>(node)].topic;
                longest_end = i + 1;
            }
        }
        if (longest < 0) {
            ++position;
            continue;
        }
        found.push_back(
            {&m_topics[static_cast<std::size_t>(longest)], position, longest_end - position});
        position = longest_end;
    }
    return found;
}

std::vector<Text> text_defines(TextView text, char sigil) {
    std::vector<Text> defines;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != sigil) {
            continue;
        }
        std::size_t end = i + 1;
        while (end < text.size() && is_ascii_letter(text[end])) {
            ++end;
        }
        if (end > i + 1) {
            Text define(text.substr(i, end - i));
            if (std::find(defines.begin(), defines.end(), define) == defines.end()) {
                defines.push_back(std::move(define));
            }
            i = end - 1;
        }
    }
    return defines;
}

std::vector<TranslationProblem> response_problems(const TopicLinks& links, TextView original,
                                                  TextView translation) {
    std::vector<TranslationProblem> problems;
    const Text folded = fold_case(translation);
    for (const auto* topic : links.linked(original)) {
        if (folded.find(topic->folded_german) == Text::npos) {
            problems.push_back({TranslationProblem::Kind::TopicLink, topic->german});
        }
    }
    for (auto& define : text_defines(original, '%')) {
        if (translation.find(define) == TextView::npos) {
            problems.push_back({TranslationProblem::Kind::Define, std::move(define)});
        }
    }
    if (translation.size() > kResponseLengthLimit) {
        problems.push_back({TranslationProblem::Kind::Length, std::to_string(translation.size())});
    }
    return problems;
}

Text describe_problem(const TranslationProblem& problem) {
    // Converted once: a check may describe tens of thousands of problems.
    static const Text topic_before = cp1252(u8"Das Thema „");
    static const Text topic_after =
        cp1252(u8"“ fehlt in der Übersetzung: der Verweis auf das Thema geht verloren.");
    static const Text define_before = cp1252(u8"Der Platzhalter „");
    static const Text define_after = cp1252(u8"“ fehlt in der Übersetzung.");
    static const Text length_before = cp1252(u8"Die Übersetzung ist ");
    switch (problem.kind) {
    case TranslationProblem::Kind::TopicLink:
        return topic_before + problem.subject + topic_after;
    case TranslationProblem::Kind::Define:
        return define_before + problem.subject + define_after;
    case TranslationProblem::Kind::Length:
        return length_before + problem.subject + " Bytes lang; erlaubt sind " +
               std::to_string(kResponseLengthLimit) + ".";
    }
    return {};
}

Text missing_names_line(const std::vector<TranslationProblem>& problems) {
    const auto part = [&problems](TranslationProblem::Kind kind, TextView label) {
        Text names;
        for (const auto& problem : problems) {
            if (problem.kind == kind) {
                names += names.empty() ? Text(label) : Text(", ");
                names += problem.subject;
            }
        }
        return names;
    };
    const Text topics = part(TranslationProblem::Kind::TopicLink, "Fehlende Themen: ");
    const Text defines = part(TranslationProblem::Kind::Define, "Fehlende Platzhalter: ");
    if (topics.empty() || defines.empty()) {
        return topics + defines;
    }
    return topics + "; " + defines;
}

} // namespace orv
