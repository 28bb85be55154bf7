#include "platform/win32/window/VirtualList.h"

#include <algorithm>

#include <windows.h>

#include <commctrl.h>

#include "platform/win32/window/WideText.h"

namespace orv {

VirtualList::VirtualList(int number, bool in_main_window, HWND handle,
                         const std::vector<ListColumn>& columns,
                         const std::function<int(int)>& scaled)
    : m_number(number), m_in_main_window(in_main_window), m_handle(handle) {
    const DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER |
                           LVS_EX_INFOTIP | LVS_EX_LABELTIP;
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

void VirtualList::set_rows(std::vector<ListRow> rows, std::vector<RowState> states) {
    m_rows = std::move(rows);
    m_states = std::move(states);
    m_visible.show_all();
    // The old selection meant a row of the old rows.
    LVITEMW clear{};
    clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(m_handle, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&clear));
    SendMessageW(m_handle, LVM_SETITEMCOUNT, m_rows.size(), 0);
    InvalidateRect(m_handle, nullptr, TRUE);
}

void VirtualList::set_visible_rows(std::vector<std::size_t> rows) {
    const std::optional<std::size_t> kept = selected();
    m_visible.show_only(std::move(rows), m_rows.size());
    LVITEMW clear{};
    clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(m_handle, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&clear));
    SendMessageW(m_handle, LVM_SETITEMCOUNT, m_visible.shown_count(m_rows.size()), LVSICF_NOSCROLL);
    // The selected row stays selected while it is shown.
    if (const auto position = kept ? m_visible.position_of(*kept, m_rows.size()) : std::nullopt) {
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(m_handle, LVM_SETITEMSTATE, *position, reinterpret_cast<LPARAM>(&item));
    }
    InvalidateRect(m_handle, nullptr, TRUE);
}

void VirtualList::set_sort_indicator(int column, bool ascending) {
    const HWND header = reinterpret_cast<HWND>(SendMessageW(m_handle, LVM_GETHEADER, 0, 0));
    const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        SendMessageW(header, HDM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
        // Column -1 (file order) matches no column: every arrow goes.
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (index == column) {
            item.fmt |= ascending ? HDF_SORTUP : HDF_SORTDOWN;
        }
        SendMessageW(header, HDM_SETITEMW, index, reinterpret_cast<LPARAM>(&item));
    }
}

long long VirtualList::custom_draw(void* header) const {
    auto* draw = static_cast<NMLVCUSTOMDRAW*>(header);
    if (!m_in_main_window) {
        return CDRF_DODEFAULT;
    }
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
        return CDRF_NOTIFYITEMDRAW;
    }
    // The selected row keeps the list view's selection colours, also while another window
    // has the focus (the name dialog edits it): a state colour would hide the selection.
    const auto position = static_cast<WPARAM>(draw->nmcd.dwItemSpec);
    if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT &&
        position < m_visible.shown_count(m_rows.size()) &&
        (SendMessageW(m_handle, LVM_GETITEMSTATE, position, LVIS_SELECTED) & LVIS_SELECTED) == 0) {
        const std::size_t row = m_visible.row_at(draw->nmcd.dwItemSpec);
        if (const auto colour =
                row < m_states.size() ? background_of(m_states[row]) : std::nullopt) {
            draw->clrTextBk = RGB(colour->red, colour->green, colour->blue);
        }
    }
    return CDRF_DODEFAULT;
}

void VirtualList::set_row_state(std::size_t row, RowState state) {
    if (row >= m_states.size()) {
        return;
    }
    m_states[row] = state;
    if (const auto position = m_visible.position_of(row, m_rows.size())) {
        SendMessageW(m_handle, LVM_REDRAWITEMS, *position, *position);
    }
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
    if (const auto position = m_visible.position_of(row, m_rows.size())) {
        SendMessageW(m_handle, LVM_REDRAWITEMS, *position, *position);
    }
}

Text VirtualList::cell(std::size_t row, int column) const {
    if (row >= m_rows.size() || column < 0 ||
        static_cast<std::size_t>(column) >= m_rows[row].size()) {
        return {};
    }
    return m_rows[row][static_cast<std::size_t>(column)];
}

std::optional<std::size_t> VirtualList::selected() const {
    const LRESULT position =
        SendMessageW(m_handle, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    if (position < 0 ||
        static_cast<std::size_t>(position) >= m_visible.shown_count(m_rows.size())) {
        return std::nullopt;
    }
    return m_visible.row_at(static_cast<std::size_t>(position));
}

void VirtualList::select(std::size_t element) {
    // A row the filter hides cannot be selected.
    const auto row = m_visible.position_of(element, m_rows.size());
    if (!row) {
        LVITEMW clear{};
        clear.stateMask = LVIS_SELECTED;
        SendMessageW(m_handle, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(&clear));
        return;
    }
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(m_handle, LVM_SETITEMSTATE, *row, reinterpret_cast<LPARAM>(&item));
    SendMessageW(m_handle, LVM_ENSUREVISIBLE, *row, FALSE);
    SetFocus(m_handle);
}

std::vector<Event> VirtualList::notify(const void* header) {
    const auto* notification = static_cast<const NMHDR*>(header);
    switch (notification->code) {
    case LVN_GETDISPINFOW: {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(notification));
        const auto position = static_cast<std::size_t>(info->item.iItem);
        if ((info->item.mask & LVIF_TEXT) != 0 && info->item.iItem >= 0 &&
            position < m_visible.shown_count(m_rows.size())) {
            m_shown = to_wide(cell(m_visible.row_at(position), info->item.iSubItem));
            info->item.pszText = m_shown.data();
        }
        return {};
    }
    case LVN_GETINFOTIPW: {
        // The texts of the row that its cells show cut, one a line.
        auto* tip = reinterpret_cast<NMLVGETINFOTIPW*>(const_cast<NMHDR*>(notification));
        const auto position = static_cast<std::size_t>(tip->iItem);
        if (tip->iItem < 0 || position >= m_visible.shown_count(m_rows.size()) ||
            tip->cchTextMax <= 0) {
            return {};
        }
        std::wstring text;
        const ListRow& row = m_rows[m_visible.row_at(position)];
        for (std::size_t column = 0; column < row.size(); ++column) {
            const std::wstring shown = to_wide(row[column]);
            const int needed = static_cast<int>(SendMessageW(
                m_handle, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(shown.c_str())));
            const int width =
                static_cast<int>(SendMessageW(m_handle, LVM_GETCOLUMNWIDTH, column, 0));
            constexpr int kCellMargins = 12;
            if (!shown.empty() && needed + kCellMargins > width) {
                text += (text.empty() ? L"" : L"\r\n") + shown;
            }
        }
        text.resize(std::min(text.size(), static_cast<std::size_t>(tip->cchTextMax - 1)));
        std::copy(text.begin(), text.end(), tip->pszText);
        tip->pszText[text.size()] = L'\0';
        return {};
    }
    case NM_RETURN:
        if (m_in_main_window && selected()) {
            return {ControlEvent{m_number, ListEventType::EditKey}};
        }
        return {};
    case LVN_KEYDOWN:
        if (reinterpret_cast<const NMLVKEYDOWN*>(notification)->wVKey == VK_F2) {
            if (m_in_main_window && selected()) {
                return {ControlEvent{m_number, ListEventType::EditKey}};
            }
            return {};
        }
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
