#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "platform/Text.h"

namespace orv {

// The texts that the text editor stored into records of the loaded plugin, outside the
// object lists' rows: long texts (book texts, descriptions) and the texts of compiled scripts.
// Like a row marked "*", a stored text is unsaved work until the next save writes the plugin;
// and whatever was stored since the plugin was opened, the text the record had then stays the
// original the translator reads.
//
// A record holds one such text (slot 0) or several (a script's message texts and buttons,
// slot 1 onwards); each text keeps its own original and counts as unsaved work of its own.
class StoredTexts {
public:
    // Text `slot` of record `block` now holds a text the user stored; `before` is what it held
    // just before. Storing the text it already holds changes nothing.
    void stored(std::int32_t block, const Text& before, const Text& after, int slot = 0);
    // The text it had when the plugin was opened, if a text was stored into it since; nothing
    // for a text the editor never changed.
    const Text* original(std::int32_t block, int slot = 0) const;
    // Whether it holds a stored text that no save has written yet.
    bool unsaved(std::int32_t block, int slot = 0) const {
        return m_unsaved.count({block, slot}) > 0;
    }
    std::size_t unsaved_count() const { return m_unsaved.size(); }
    // The texts stored since the last save, as record and slot, in record order.
    std::vector<std::pair<std::int32_t, int>> unsaved_texts() const {
        return {m_unsaved.begin(), m_unsaved.end()};
    }
    // A save wrote every stored text into the plugin file.
    void saved() { m_unsaved.clear(); }
    // Another plugin was opened: its records are new.
    void clear();

private:
    using Place = std::pair<std::int32_t, int>;
    std::map<Place, Text> m_originals;
    std::set<Place> m_unsaved;
};

} // namespace orv
