#include "platform/qt/ListView.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolTip>

namespace orv {

ListView::ListView(int number, std::vector<ListColumn> columns, Placement placement,
                   std::function<void(const Event&)> deliver, QWidget* parent)
    : QTableView(parent), m_number(number), m_placement(placement), m_deliver(std::move(deliver)),
      m_model(std::move(columns)) {
    setObjectName(QStringLiteral("control-%1").arg(number));
    setModel(&m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setShowGrid(true);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);

    // Fixed row heights: the view computes every position from one number instead of
    // asking each of possibly 50,000 rows for its size.
    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(1);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 4);

    QHeaderView* header = horizontalHeader();
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setHighlightSections(false);
    header->setSortIndicatorShown(false);
    header->setStretchLastSection(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSectionResizeMode(QHeaderView::Interactive);
    // The "F" column is narrower than the style's smallest section.
    header->setMinimumSectionSize(0);
    for (int column = 0; column < m_model.columnCount(); ++column) {
        header->resizeSection(column, m_model.columns()[static_cast<std::size_t>(column)].width);
    }
    connect(header, &QHeaderView::sectionClicked, this, [this](int column) {
        m_deliver(ColumnClickEvent{m_number, column});
    });

    // The selection stays as visible when another window has the focus.
    QPalette colours = palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    }
    setPalette(colours);
}

void ListView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    const int sideways = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    horizontalScrollBar()->setValue(sideways);
}

void ListView::send(ListEventType type) {
    m_deliver(ControlEvent{m_number, type});
}

void ListView::send_context_menu(const QPoint& global_position) {
    // Only the main window has a popup menu; the program ignores requests of pop-ups.
    if (m_placement == Placement::MainWindow) {
        m_deliver(ContextMenuEvent{global_position.x(), global_position.y()});
    }
}

void ListView::mousePressEvent(QMouseEvent* event) {
    m_ignore_next_release = false;
    QTableView::mousePressEvent(event);
}

void ListView::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    if (m_ignore_next_release) {
        m_ignore_next_release = false;
        return;
    }
    if (event->button() == Qt::LeftButton) {
        send(ListEventType::Other);
    } else if (event->button() == Qt::RightButton) {
        send(ListEventType::RightClick);
        send_context_menu(event->globalPosition().toPoint());
    }
}

void ListView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) {
        m_ignore_next_release = true;
        send(ListEventType::DoubleClick);
    }
}

void ListView::keyPressEvent(QKeyEvent* event) {
    // Enter and F2 edit the selected row of an object list, as a double click does. (In a
    // pop-up, Enter belongs to the window: it presses the default button.)
    const bool edit_key = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
                          event->key() == Qt::Key_F2;
    if (edit_key && m_placement == Placement::MainWindow && event->modifiers() == Qt::NoModifier) {
        event->accept();
        if (selectionModel() != nullptr && selectionModel()->hasSelection()) {
            send(ListEventType::EditKey);
        }
        return;
    }
    const int before = currentIndex().row();
    QTableView::keyPressEvent(event);
    if (currentIndex().row() != before) {
        send(ListEventType::Other);
    }
}

bool ListView::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QTableView::viewportEvent(event);
    }
    // The whole text, only where the cell shows it cut.
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex cell = indexAt(help->pos());
    const QString text = cell.data(Qt::ToolTipRole).toString();
    constexpr int kCellMargins = 8;
    if (cell.isValid() && !text.isEmpty() &&
        fontMetrics().horizontalAdvance(text) + kCellMargins > visualRect(cell).width()) {
        QToolTip::showText(help->globalPos(), text, viewport(), visualRect(cell));
    } else {
        QToolTip::hideText();
    }
    return true;
}

void ListView::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    // A right click on the rows was sent with its release. The menu key, and a right click
    // on the header, are context-menu requests of their own.
    const bool on_rows = viewport()->geometry().contains(event->pos());
    if (event->reason() != QContextMenuEvent::Mouse || !on_rows) {
        send_context_menu(event->globalPos());
    }
}

} // namespace orv
