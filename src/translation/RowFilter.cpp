#include "translation/RowFilter.h"

#include <string>

namespace orv {
namespace {

constexpr auto kFoldTable = [] {
    std::array<unsigned char, 256> table{};
    for (int byte = 0; byte < 256; ++byte) {
        table[static_cast<std::size_t>(byte)] = static_cast<unsigned char>(byte);
    }
    for (int byte = 'A'; byte <= 'Z'; ++byte) {
        table[static_cast<std::size_t>(byte)] = static_cast<unsigned char>(byte - 'A' + 'a');
    }
    // Ä, Ö, Ü lie 20 hex below ä, ö, ü in Windows-1252.
    for (const int capital : {0xC4, 0xD6, 0xDC}) {
        table[static_cast<std::size_t>(capital)] = static_cast<unsigned char>(capital + 0x20);
    }
    return table;
}();

// Whether `text` contains `folded_query` (already folded), comparing folded bytes.
bool contains_folded(TextView text, TextView folded_query) {
    if (folded_query.size() > text.size()) {
        return false;
    }
    const auto first = static_cast<unsigned char>(folded_query.front());
    const std::size_t last_start = text.size() - folded_query.size();
    for (std::size_t start = 0; start <= last_start; ++start) {
        if (fold_case(static_cast<unsigned char>(text[start])) != first) {
            continue;
        }
        std::size_t k = 1;
        while (k < folded_query.size() && fold_case(static_cast<unsigned char>(text[start + k])) ==
                                              static_cast<unsigned char>(folded_query[k])) {
            ++k;
        }
        if (k == folded_query.size()) {
            return true;
        }
    }
    return false;
}

} // namespace

unsigned char fold_case(unsigned char byte) {
    return kFoldTable[byte];
}

Text fold_case(TextView text) {
    Text folded(text);
    for (auto& c : folded) {
        c = static_cast<char>(fold_case(static_cast<unsigned char>(c)));
    }
    return folded;
}

bool needs_translation(const Element& element) {
    // One rule for the counts, the filter and the rows' colour in the window.
    return row_state(element) == RowState::ToDo;
}

RowFilter::RowFilter(TextView query, RowFilterOptions options)
    : m_folded_query(fold_case(query)), m_options(options) {}

bool RowFilter::matches(const Element& element) const {
    if (element.mark == mark::kNoName && !m_options.show_nameless) {
        return false;
    }
    if (m_options.only_untranslated && !needs_translation(element)) {
        return false;
    }
    return m_folded_query.empty() || contains_folded(element.id, m_folded_query) ||
           contains_folded(element.ev_name, m_folded_query) ||
           contains_folded(element.dv_name, m_folded_query);
}

std::vector<std::size_t> RowFilter::visible_rows(const ObjectList& list) const {
    std::vector<std::size_t> rows;
    rows.reserve(list.elements.size());
    for (std::size_t row = 0; row < list.elements.size(); ++row) {
        if (matches(list.elements[row])) {
            rows.push_back(row);
        }
    }
    return rows;
}

TranslationCounts count_translations(const ObjectLists& lists) {
    TranslationCounts counts;
    for (int list_index = 0; list_index < kObjectListCount; ++list_index) {
        for (const auto& element : lists.list(list_index).elements) {
            if (element.mark == mark::kNoName) {
                continue;
            }
            ++counts.named;
            if (needs_translation(element)) {
                ++counts.to_do[static_cast<std::size_t>(list_index)];
            }
        }
    }
    std::size_t to_do = 0;
    for (const auto count : counts.to_do) {
        to_do += count;
    }
    counts.translated = counts.named - to_do;
    return counts;
}

Text german_number(std::size_t number) {
    const std::string digits = std::to_string(number);
    Text shown;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            shown.push_back('.');
        }
        shown.push_back(digits[i]);
    }
    return shown;
}

Text tab_title(int list_index, std::size_t to_do) {
    return Text(kRecordTypes.at(static_cast<std::size_t>(list_index)).label) + " (" +
           german_number(to_do) + ")";
}

Text translated_status(const TranslationCounts& counts) {
    return cp1252(u8"übersetzt ") + german_number(counts.translated) + " von " +
           german_number(counts.named);
}

} // namespace orv
