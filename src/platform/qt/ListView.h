#pragma once

#include <functional>

#include <QTableView>

#include "platform/Events.h"
#include "platform/qt/ListModel.h"

namespace orv {

// A report-style list view: columns with titles and fixed starting widths, grid lines,
// single full-row selection that stays visible without focus, fixed row heights (so that
// Qt never measures 50,000 rows), and no sorting of its own.
//
// What the user does reaches the program as events: a left click or a keyboard move of
// the selection is a control event of type Other, a left double click DoubleClick, a right
// click (on the button's release) RightClick, a header click a ColumnClickEvent. In the
// main window a right click is also the window's context-menu request, sent right after
// the RightClick so that the program knows the clicked row when the popup menu opens; Qt's
// own context-menu event for the same click is swallowed, so one click shows the popup
// menu once. In the main window, Enter or F2 on the selected row is EditKey, rows are
// coloured by their state, and a cell cut short shows its whole text as a tool tip.
class ListView final : public QTableView {
    Q_OBJECT

public:
    enum class Placement { MainWindow, PopupWindow };

    ListView(int number, std::vector<ListColumn> columns, Placement placement,
             std::function<void(const Event&)> deliver, QWidget* parent);

    ListModel& list_model() { return m_model; }
    int number() const { return m_number; }
    // Brings a row into view, up or down only: the rows are chosen whole, and scrolling
    // sideways to a wide clicked cell would hide the first columns (the mark) of a narrow
    // list.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void send(ListEventType type);
    void send_context_menu(const QPoint& global_position);

    int m_number;
    Placement m_placement;
    std::function<void(const Event&)> m_deliver;
    ListModel m_model;
    // The release that ends a double click is not a click of its own.
    bool m_ignore_next_release = false;
};

} // namespace orv
