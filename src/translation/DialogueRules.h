#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/Text.h"
#include "translation/DatabaseFile.h"
#include "translation/ObjectLists.h"

namespace orv {

// The topics a response links to. The game shows a topic as a link wherever a response's
// text contains the topic's name, whatever the letter case; where names overlap, the
// longest wins. A translated response must therefore contain the German name of every topic
// its original linked to, or the link is lost.
class TopicLinks {
public:
    // The plugin's topics (EV Name to DV Name) first, then the topic database's pairs; a
    // name already known keeps its first German name.
    TopicLinks(const ObjectLists& lists, const PairFile& topic_database);

    struct Topic {
        Text english;
        Text german;
        // The German name as the link rule compares it.
        Text folded_german;
    };

    // The topics whose English names occur in `text`, read from its start: at each
    // position the longest name starting there is taken and the reading goes on behind it.
    // Each topic once, in the order of its first occurrence.
    std::vector<const Topic*> linked(TextView text) const;

    // Every place where the reading above finds a topic name, in text order: the window
    // highlights them.
    struct Mention {
        const Topic* topic = nullptr;
        std::size_t offset = 0;
        std::size_t length = 0;
    };
    std::vector<Mention> mentions(TextView text) const;

    std::size_t size() const { return m_topics.size(); }

private:
    void add(TextView english, TextView german);

    // A trie of the folded English names in one array; node 0 is the root. Children are few
    // per node, so each node's children form a chain of siblings (the root has a table for
    // every byte instead): no allocation per node.
    struct Node {
        std::int32_t topic = -1;
        std::int32_t first_child = -1;
        std::int32_t next_sibling = -1;
        unsigned char byte = 0;
    };
    std::int32_t child(std::int32_t node, unsigned char byte) const;

    std::vector<Topic> m_topics;
    std::vector<Node> m_nodes;
    std::vector<std::int32_t> m_root_children;
};

// What a translation broke, found by comparing it with its original.
struct TranslationProblem {
    enum class Kind {
        // A linked topic's German name is missing; `subject` is that name.
        TopicLink,
        // A text define ("%PCName", or "^Name" in message-box strings) is missing.
        Define,
        // The translation is longer than the game's editor allows.
        Length,
    };
    Kind kind;
    Text subject;

    bool operator==(const TranslationProblem&) const = default;
};

// The text defines of a text: every `sigil` followed by one or more ASCII letters, in order,
// each once.
std::vector<Text> text_defines(TextView text, char sigil);

// The problems of a response's translation: every linked topic of the original whose
// German name the translation lacks (compared without regard to letter case), every "%"
// define of the original missing from it (compared exactly), and a translation longer than
// the response limit.
std::vector<TranslationProblem> response_problems(const TopicLinks& links, TextView original,
                                                  TextView translation);

// The German message of a problem.
Text describe_problem(const TranslationProblem& problem);

// The line under a response's translation while it is typed: the German topic names it
// lacks ("Fehlende Themen: Fu, Bar") and the defines it lost ("Fehlende Platzhalter:
// %PCName"), each in the order of the problems, the two parts joined by "; "; empty when
// nothing is missing. A length problem is the check's to report, not this line's.
Text missing_names_line(const std::vector<TranslationProblem>& problems);

} // namespace orv
