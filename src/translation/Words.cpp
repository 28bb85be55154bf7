#include "translation/Words.h"

#include <algorithm>

#include "translation/RowFilter.h"

namespace orv {

bool is_word_byte(unsigned char byte) {
    return (byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') ||
           (byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte != 0xD7 && byte != 0xF7);
}

std::vector<std::string> distinct_words(TextView text) {
    std::vector<std::string> words;
    std::string word;
    const auto finish = [&] {
        if (!word.empty() && std::find(words.begin(), words.end(), word) == words.end()) {
            words.push_back(word);
        }
        word.clear();
    };
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (is_word_byte(byte)) {
            word.push_back(static_cast<char>(fold_case(byte)));
        } else {
            finish();
        }
    }
    finish();
    return words;
}

} // namespace orv
