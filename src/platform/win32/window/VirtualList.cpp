#include "platform/win32/window/VirtualList.h"

#include <windows.h>

#include <commctrl.h>

#include "platform/win32/window/WideText.h"

namespace orv {

VirtualList::VirtualList(int number, bool in_main_window, HWND handle,
                         const std::vector<ListColumn>& columns,
                         const std::function<int(int)>& scaled)
    : m_number(number), m_in_main_window(in_main_window), m_handle(handle) {
    const DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER;
    SendMessageW(handle, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    for (std::size_t index = 0; index < columns.size(); ++index) {
        std::wstring title = to_wide(columns[index].title);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM | LVCF_FMT;
        column.fmt = LVCFMT_LEFT;
        column.cx = scaled(columns[index].width);
        column.pszText = title.data();
        column.iSubItem = static_cast<int>(index);
        SendMessageW(handle, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
    }
}

void VirtualList::set_rows(std::vector<ListRow> rows) {
    m_rows = std::move(rows);
    // The old selection meant a row of the old rows.
    LVITEMW clear{};
    clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(m_handle, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&clear));
    SendMessageW(m_handle, LVM_SETITEMCOUNT, m_rows.size(), 0);
    InvalidateRect(m_handle, nullptr, TRUE);
}

void VirtualList::set_cell(std::size_t row, int column, const Text& text) {
    if (row >= m_rows.size() || column < 0) {
        return;
    }
    ListRow& cells = m_rows[row];
    if (static_cast<std::size_t>(column) >= cells.size()) {
        cells.resize(static_cast<std::size_t>(column) + 1);
    }
    cells[static_cast<std::size_t>(column)] = text;
    SendMessageW(m_handle, LVM_REDRAWITEMS, row, row);
}

Text VirtualList::cell(std::size_t row, int column) const {
    if (row >= m_rows.size() || column < 0 ||
        static_cast<std::size_t>(column) >= m_rows[row].size()) {
        return {};
    }
    return m_rows[row][static_cast<std::size_t>(column)];
}

std::optional<std::size_t> VirtualList::selected() const {
    const LRESULT row =
        SendMessageW(m_handle, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    if (row < 0 || static_cast<std::size_t>(row) >= m_rows.size()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(row);
}

void VirtualList::select(std::size_t row) {
    if (row >= m_rows.size()) {
        return;
    }
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(m_handle, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    SendMessageW(m_handle, LVM_ENSUREVISIBLE, row, FALSE);
    SetFocus(m_handle);
}

std::vector<Event> VirtualList::notify(const void* header) {
    const auto* notification = static_cast<const NMHDR*>(header);
    switch (notification->code) {
    case LVN_GETDISPINFOW: {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(notification));
        if ((info->item.mask & LVIF_TEXT) != 0 && info->item.iItem >= 0) {
            m_shown =
                to_wide(cell(static_cast<std::size_t>(info->item.iItem), info->item.iSubItem));
            info->item.pszText = m_shown.data();
        }
        return {};
    }
    case LVN_KEYDOWN:
        m_keyboard_move = true;
        return {};
    case LVN_ITEMCHANGED: {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(notification);
        const bool now_selected =
            (change->uNewState & LVIS_SELECTED) != 0 && (change->uOldState & LVIS_SELECTED) == 0;
        if (now_selected && m_keyboard_move) {
            m_keyboard_move = false;
            return {ControlEvent{m_number, ListEventType::Other}};
        }
        return {};
    }
    case NM_CLICK:
        m_keyboard_move = false;
        return {ControlEvent{m_number, ListEventType::Other}};
    case NM_DBLCLK:
        return {ControlEvent{m_number, ListEventType::DoubleClick}};
    case NM_RCLICK: {
        if (!m_in_main_window) {
            return {ControlEvent{m_number, ListEventType::RightClick}};
        }
        const DWORD at = GetMessagePos();
        return {ControlEvent{m_number, ListEventType::RightClick},
                ContextMenuEvent{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))}};
    }
    case LVN_COLUMNCLICK:
        return {ColumnClickEvent{m_number,
                                 reinterpret_cast<const NMLISTVIEW*>(notification)->iSubItem}};
    default:
        return {};
    }
}

} // namespace orv
