#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <vector>

#include "platform/Window.h"

namespace orv {

// The background of the rows still to do and of the edited rows, the same in every backend;
// rows of the other states keep the view's own background.
struct RowColour {
    int red = 0;
    int green = 0;
    int blue = 0;
};
inline constexpr RowColour kToDoBackground{255, 236, 196};
inline constexpr RowColour kEditedBackground{206, 228, 255};

inline std::optional<RowColour> background_of(RowState state) {
    switch (state) {
    case RowState::ToDo:
        return kToDoBackground;
    case RowState::Edited:
        return kEditedBackground;
    case RowState::FromDatabase:
    case RowState::Translated:
    case RowState::Nameless:
        break;
    }
    return std::nullopt;
}

// Which rows of a list view are shown (Window::set_visible_rows): the program names rows by
// their index in its own list, the view counts only the rows it shows.
class RowVisibility {
public:
    // All `total` rows shown.
    void show_all() { m_shown.reset(); }
    // Keeps the indices below `total`, ascending, each once.
    void show_only(std::vector<std::size_t> rows, std::size_t total) {
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
        rows.erase(std::lower_bound(rows.begin(), rows.end(), total), rows.end());
        m_shown = std::move(rows);
    }
    std::size_t shown_count(std::size_t total) const { return m_shown ? m_shown->size() : total; }
    // The row index of the `position`-th shown row; the caller keeps position below
    // shown_count().
    std::size_t row_at(std::size_t position) const {
        return m_shown ? (*m_shown)[position] : position;
    }
    // Where row `row` is shown, or nothing when it is hidden or does not exist.
    std::optional<std::size_t> position_of(std::size_t row, std::size_t total) const {
        if (row >= total) {
            return std::nullopt;
        }
        if (!m_shown) {
            return row;
        }
        const auto found = std::lower_bound(m_shown->begin(), m_shown->end(), row);
        if (found == m_shown->end() || *found != row) {
            return std::nullopt;
        }
        return static_cast<std::size_t>(found - m_shown->begin());
    }

private:
    std::optional<std::vector<std::size_t>> m_shown;
};

} // namespace orv
