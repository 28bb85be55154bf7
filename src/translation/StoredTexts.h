#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>

#include "platform/Text.h"

namespace orv {

// The long texts (book texts, descriptions) that the text editor stored into records of the
// loaded plugin. Like a row marked "*", a stored text is unsaved work until the next save
// writes the plugin; and whatever was stored since the plugin was opened, the text the
// record had then stays the original the translator reads.
class StoredTexts {
public:
    // Record `block` now holds a text the user stored; `before` is what it held just before.
    // Storing the text the record already holds changes nothing.
    void stored(std::int32_t block, const Text& before, const Text& after);
    // The text record `block` had when the plugin was opened, if a text was stored into it
    // since; nothing for a record the editor never changed.
    const Text* original(std::int32_t block) const;
    // Whether record `block` holds a stored text that no save has written yet.
    bool unsaved(std::int32_t block) const { return m_unsaved.count(block) > 0; }
    std::size_t unsaved_count() const { return m_unsaved.size(); }
    // A save wrote every stored text into the plugin file.
    void saved() { m_unsaved.clear(); }
    // Another plugin was opened: its records are new.
    void clear();

private:
    std::map<std::int32_t, Text> m_originals;
    std::set<std::int32_t> m_unsaved;
};

} // namespace orv
