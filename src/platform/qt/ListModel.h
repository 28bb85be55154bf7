#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include <QAbstractTableModel>

#include "platform/ListRowRules.h"
#include "platform/Window.h"

namespace orv {

// The rows of one list view. The program hands each batch of rows over whole (set_rows),
// so the model keeps the batch it was given: the program's own lists belong to whichever
// thread is working on them, while these rows belong to the GUI thread. Columns and header
// titles come from the control's column table, never from a count of its own.
//
// The rows are shown in the order given. Sorting is the program's stable byte-order sort
// (a header click reaches the program, which hands the sorted rows back); row r of the
// view must stay element r of the program's list, so no proxy model may reorder them.
class ListModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit ListModel(std::vector<ListColumn> columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Replaces every row in one model reset. A row with fewer cells than columns shows the
    // missing ones empty. `states`, one per row, colours the object lists' rows; the pop-ups'
    // lists have none.
    void set_rows(std::vector<ListRow> rows, std::vector<RowState> states = {});
    // A row's new state; false for a row without one.
    bool set_row_state(std::size_t row, RowState state);
    // Shows only the rows with these indices (see Window::set_visible_rows), in one reset.
    void set_visible_rows(std::vector<std::size_t> rows);
    // The row shown at model row `position`, and the model row of row `row`, if shown.
    std::size_t row_at(int position) const { return m_visible.row_at(std::size_t(position)); }
    std::optional<int> position_of(std::size_t row) const;
    // Changes one cell; returns false for a row or column that does not exist.
    bool set_cell(std::size_t row, int column, const Text& text);
    // The cell's text, empty for a row or column that does not exist.
    Text cell(std::size_t row, int column) const;
    std::size_t row_count() const { return m_rows.size(); }
    const std::vector<ListColumn>& columns() const { return m_columns; }

private:
    const Text* find_cell(std::size_t row, int column) const;

    std::vector<ListColumn> m_columns;
    std::vector<ListRow> m_rows;
    std::vector<RowState> m_states;
    RowVisibility m_visible;
};

} // namespace orv
