#pragma once

#include <functional>
#include <optional>
#include <utility>

#include "platform/Result.h"
#include "translation/Suggestions.h"

namespace orv {

// What the name-edit dialog suggests, read when it is first asked for after an Open or a
// Save (a save adds to the memory) instead of with them: the index spans every entry of
// every name database, which on a large database takes many times as long as opening the
// plugin itself, and many sessions never open the dialog.
class SuggestionsOnDemand {
public:
    using Reader = std::function<LoadedSuggestions()>;

    // How the index is read; without a reader the index is empty.
    void set_reader(Reader reader) { m_reader = std::move(reader); }
    // The next index() reads the files again.
    void forget() { m_index.reset(); }

    // The index, read now when it was forgotten; a problem of that reading (a file that
    // cannot be read, a damaged memory) is put into `problem`, to be shown once.
    const SuggestionIndex& index(std::optional<Error>& problem) {
        if (!m_index) {
            if (m_reader) {
                auto loaded = m_reader();
                problem = std::move(loaded.problem);
                m_index = std::move(loaded.index);
            } else {
                m_index.emplace();
            }
        }
        return *m_index;
    }

private:
    Reader m_reader;
    std::optional<SuggestionIndex> m_index;
};

} // namespace orv
