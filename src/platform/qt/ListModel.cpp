#include "platform/qt/ListModel.h"

#include <limits>

#include <QColor>

#include "platform/qt/QtText.h"

namespace orv {

ListModel::ListModel(std::vector<ListColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns)) {}

int ListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) {
        return 0;
    }
    // Qt counts rows in int; no plugin comes near that many records.
    constexpr auto most = static_cast<std::size_t>(std::numeric_limits<int>::max());
    return static_cast<int>(std::min(m_visible.shown_count(m_rows.size()), most));
}

int ListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant ListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= rowCount()) {
        return {};
    }
    const std::size_t row = row_at(index.row());
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        // The tool tip is the whole text; the view shows it only where the cell is cut.
        const Text* text = find_cell(row, index.column());
        return text != nullptr ? to_qstring(*text) : QString();
    }
    if (role == Qt::BackgroundRole && row < m_states.size()) {
        if (const auto colour = background_of(m_states[row])) {
            return QColor(colour->red, colour->green, colour->blue);
        }
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        // Every column of the program's lists is left-aligned.
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    }
    return {};
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 ||
        static_cast<std::size_t>(section) >= m_columns.size()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return to_qstring(m_columns[static_cast<std::size_t>(section)].title);
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    }
    return {};
}

Qt::ItemFlags ListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    // Shown and chosen, never edited in place: names change only through the dialog.
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void ListModel::set_rows(std::vector<ListRow> rows, std::vector<RowState> states) {
    beginResetModel();
    m_rows = std::move(rows);
    m_states = std::move(states);
    m_visible.show_all();
    endResetModel();
}

bool ListModel::set_row_state(std::size_t row, RowState state) {
    if (row >= m_states.size()) {
        return false;
    }
    m_states[row] = state;
    if (const auto position = position_of(row)) {
        emit dataChanged(index(*position, 0), index(*position, columnCount() - 1));
    }
    return true;
}

void ListModel::set_visible_rows(std::vector<std::size_t> rows) {
    beginResetModel();
    m_visible.show_only(std::move(rows), m_rows.size());
    endResetModel();
}

std::optional<int> ListModel::position_of(std::size_t row) const {
    const auto position = m_visible.position_of(row, m_rows.size());
    if (!position || *position >= static_cast<std::size_t>(rowCount())) {
        return std::nullopt;
    }
    return static_cast<int>(*position);
}

bool ListModel::set_cell(std::size_t row, int column, const Text& text) {
    if (find_cell(row, column) == nullptr) {
        if (row >= m_rows.size() || column < 0 ||
            static_cast<std::size_t>(column) >= m_columns.size()) {
            return false;
        }
        // A short row grows up to the column that is written.
        m_rows[row].resize(static_cast<std::size_t>(column) + 1);
    }
    m_rows[row][static_cast<std::size_t>(column)] = text;
    if (const auto position = position_of(row)) {
        emit dataChanged(index(*position, column), index(*position, column));
    }
    return true;
}

Text ListModel::cell(std::size_t row, int column) const {
    const Text* text = find_cell(row, column);
    return text != nullptr ? *text : Text{};
}

const Text* ListModel::find_cell(std::size_t row, int column) const {
    if (row >= m_rows.size() || column < 0 ||
        static_cast<std::size_t>(column) >= m_columns.size()) {
        return nullptr;
    }
    const ListRow& cells = m_rows[row];
    if (static_cast<std::size_t>(column) >= cells.size()) {
        return nullptr;
    }
    return &cells[static_cast<std::size_t>(column)];
}

} // namespace orv
