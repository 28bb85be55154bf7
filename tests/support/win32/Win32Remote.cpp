#include "win32/Win32Remote.h"

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>

#include <commctrl.h>

#include "platform/win32/window/Win32Window.h"

namespace orv {
namespace {

std::wstring window_text(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string utf8(const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                        length, nullptr, nullptr);
    return result;
}

std::wstring wide(const std::string& text) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                        length);
    return result;
}

// The item's text as the menu holds it: mnemonic marker, and the key name after a tab.
std::string menu_text(HMENU menu, UINT position) {
    wchar_t text[256] = {};
    MENUITEMINFOW item{};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_STRING | MIIM_FTYPE;
    item.dwTypeData = text;
    item.cch = 255;
    GetMenuItemInfoW(menu, position, TRUE, &item);
    return (item.fType & MFT_SEPARATOR) != 0 ? "-" : utf8(text);
}

// Runs `press` with the keys `held` down, as the window reads them with GetKeyState (a
// posted key message does not set them).
void with_keys_held(std::initializer_list<int> held, const std::function<void()>& press) {
    BYTE state[256];
    GetKeyboardState(state);
    BYTE before[256];
    std::copy(std::begin(state), std::end(state), std::begin(before));
    for (const int key : held) {
        state[key] = 0x80;
    }
    SetKeyboardState(state);
    press();
    SetKeyboardState(before);
}

void notify(HWND control, UINT code, int item, int sub_item) {
    NMITEMACTIVATE notification{};
    notification.hdr.hwndFrom = control;
    notification.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
    notification.hdr.code = code;
    notification.iItem = item;
    notification.iSubItem = sub_item;
    SendMessageW(GetParent(control), WM_NOTIFY, notification.hdr.idFrom,
                 reinterpret_cast<LPARAM>(&notification));
}

// What a pending thread timer does once its window shows.
std::function<bool()> g_waiting_for_box;
std::function<bool()> g_waiting_for_menu;

void CALLBACK check_box(HWND, UINT, UINT_PTR timer, DWORD) {
    if (g_waiting_for_box && g_waiting_for_box()) {
        KillTimer(nullptr, timer);
        g_waiting_for_box = nullptr;
    }
}

void CALLBACK check_menu(HWND, UINT, UINT_PTR timer, DWORD) {
    if (g_waiting_for_menu && g_waiting_for_menu()) {
        KillTimer(nullptr, timer);
        g_waiting_for_menu = nullptr;
    }
}

HWND find_own_window(const wchar_t* window_class) {
    struct Search {
        const wchar_t* window_class;
        HWND found;
    } search{window_class, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM context) -> BOOL {
            auto* wanted = reinterpret_cast<Search*>(context);
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (IsWindowVisible(window) && lstrcmpW(name, wanted->window_class) == 0) {
                wanted->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The program gives the main window one tab bar, whatever its number: the child window of
// the tab control's class.
HWND tab_bar(HWND main) {
    HWND found = nullptr;
    EnumChildWindows(
        main,
        [](HWND child, LPARAM context) -> BOOL {
            wchar_t name[64] = {};
            GetClassNameW(child, name, 64);
            if (lstrcmpiW(name, WC_TABCONTROLW) != 0) {
                return TRUE;
            }
            *reinterpret_cast<HWND*>(context) = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

} // namespace

void Win32Remote::run_events() {
    bool handled = false;
    while (m_window.run_one()) {
        handled = true;
    }
    if (!handled) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

bool Win32Remote::right_click_opens_popup_menu(int control, int row) {
    auto shown = std::make_shared<bool>(false);
    close_next_popup_menu([shown](HMENU) {
        *shown = true;
        return false;
    });
    click_row(control, row, ListEventType::RightClick);
    return *shown;
}

void Win32Remote::choose_menu(int command) {
    SendMessageW(m_window.main_handle(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

void Win32Remote::select_tab(int page) {
    HWND tabs = tab_bar(m_window.main_handle());
    SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
    // Windows sends no notification for a change made with TCM_SETCURSEL; a click does.
    notify(tabs, TCN_SELCHANGE, 0, 0);
}

void Win32Remote::click_row(int control, int row, ListEventType type) {
    HWND list = m_window.control_handle(control);
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    SetFocus(list);
    const UINT code = type == ListEventType::DoubleClick  ? NM_DBLCLK
                      : type == ListEventType::RightClick ? NM_RCLICK
                                                          : NM_CLICK;
    notify(list, code, row, 0);
}

void Win32Remote::click_header(int control, int column) {
    notify(m_window.control_handle(control), LVN_COLUMNCLICK, -1, column);
}

void Win32Remote::type_text(int control, const std::string& text) {
    type_text(control, wide(text));
}

void Win32Remote::type_text(int control, const std::wstring& text) {
    HWND field = m_window.control_handle(control);
    SetFocus(field);
    SendMessageW(field, EM_SETSEL, 0, -1);
    SendMessageW(field, WM_CHAR, VK_BACK, 0);
    for (const wchar_t c : text) {
        SendMessageW(field, WM_CHAR, c, 0);
    }
}

void Win32Remote::press_button(int control) {
    SendMessageW(m_window.control_handle(control), BM_CLICK, 0, 0);
}

void Win32Remote::press_key(int control, unsigned virtual_key) {
    HWND target = m_window.control_handle(control);
    SetFocus(target);
    // Through the message loop, where the dialog keys are handled.
    PostMessageW(target, WM_KEYDOWN, virtual_key, 1);
    PostMessageW(target, WM_KEYUP, virtual_key, static_cast<LPARAM>(0xC0000001));
    while (m_window.run_one()) {
    }
}

void Win32Remote::press_key(int control, const std::string& key) {
    if (key.size() == 6 && key.starts_with("Ctrl+")) {
        with_keys_held({VK_CONTROL}, [&] { press_key(control, static_cast<unsigned>(key[5])); });
        return;
    }
    static const std::map<std::string, unsigned> keys = {
        {"Enter", VK_RETURN}, {"F1", VK_F1}, {"F2", VK_F2}, {"Escape", VK_ESCAPE}};
    press_key(control, keys.at(key));
}

int Win32Remote::menu_opened_by_key(int control, const std::string& key,
                                    std::function<bool()> keep_open) {
    const std::wstring typed = wide(key.substr(4));
    auto opened = std::make_shared<HMENU>(nullptr);
    close_next_popup_menu([opened, keep_open](HMENU menu) {
        *opened = menu;
        return keep_open && keep_open();
    });
    // The key as the keyboard gives it: Alt held, the character's key down (with Shift where
    // the character needs it); the loop translates it into the character that the menu bar
    // looks up.
    const SHORT scan = VkKeyScanW(typed.at(0));
    const auto virtual_key = static_cast<WPARAM>(LOBYTE(scan));
    HWND target = m_window.control_handle(control);
    SetFocus(target);
    const LPARAM alt_down = 1 | (LPARAM{1} << 29);
    with_keys_held((HIBYTE(scan) & 1) != 0 ? std::initializer_list<int>{VK_MENU, VK_SHIFT}
                                           : std::initializer_list<int>{VK_MENU},
                   [&] {
                       PostMessageW(target, WM_SYSKEYDOWN, virtual_key, alt_down);
                       while (m_window.run_one()) {
                       }
                   });
    PostMessageW(target, WM_SYSKEYUP, virtual_key, alt_down | (LPARAM{3} << 30));
    while (m_window.run_one()) {
    }
    HMENU bar = GetMenu(m_window.main_handle());
    for (int menu = 0; menu < GetMenuItemCount(bar); ++menu) {
        if (*opened != nullptr && GetSubMenu(bar, menu) == *opened) {
            return menu;
        }
    }
    return -1;
}

int Win32Remote::focused_control() const {
    const HWND focus = GetFocus();
    const int number = focus != nullptr ? GetDlgCtrlID(focus) : 0;
    return number != 0 && m_window.control_handle(number) == focus ? number : 0;
}

void Win32Remote::close_window(WindowId window) {
    SendMessageW(window == WindowId::Main ? m_window.main_handle() : m_window.popup_handle(window),
                 WM_CLOSE, 0, 0);
}

void Win32Remote::paint() {
    RedrawWindow(m_window.main_handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

std::vector<std::string> Win32Remote::menu_titles() const {
    std::vector<std::string> titles;
    HMENU bar = GetMenu(m_window.main_handle());
    for (int position = 0; position < GetMenuItemCount(bar); ++position) {
        titles.push_back(menu_text(bar, static_cast<UINT>(position)));
    }
    return titles;
}

std::vector<std::string> Win32Remote::menu_items(int menu) const {
    HMENU items =
        menu < 0 ? m_window.popup_menu() : GetSubMenu(GetMenu(m_window.main_handle()), menu);
    std::vector<std::string> texts;
    for (int position = 0; position < GetMenuItemCount(items); ++position) {
        texts.push_back(menu_text(items, static_cast<UINT>(position)));
    }
    return texts;
}

bool Win32Remote::menu_enabled(int command) const {
    HMENU menu = GetMenu(m_window.main_handle());
    UINT state = GetMenuState(menu, static_cast<UINT>(command), MF_BYCOMMAND);
    if (state == static_cast<UINT>(-1)) {
        state = GetMenuState(m_window.popup_menu(), static_cast<UINT>(command), MF_BYCOMMAND);
    }
    return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

std::optional<std::pair<int, bool>> Win32Remote::sort_arrow(int control) const {
    HWND header =
        reinterpret_cast<HWND>(SendMessageW(m_window.control_handle(control), LVM_GETHEADER, 0, 0));
    const auto count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
        if ((item.fmt & (HDF_SORTUP | HDF_SORTDOWN)) != 0) {
            return std::pair(index, (item.fmt & HDF_SORTUP) != 0);
        }
    }
    return std::nullopt;
}

RowColour Win32Remote::row_background(int control, int row, int column) const {
    HWND list = m_window.control_handle(control);
    RECT cell{};
    cell.top = column;
    cell.left = LVIR_BOUNDS;
    SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&cell));
    RECT area{};
    GetClientRect(list, &area);
    // The list paints itself into a picture of its own, as it would on the screen.
    HDC screen = GetDC(list);
    HDC picture = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, area.right, area.bottom);
    const HGDIOBJ old = SelectObject(picture, bitmap);
    SendMessageW(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(picture),
                 PRF_CLIENT | PRF_ERASEBKGND);
    // Right of the cell's short text, inside its grid lines.
    const COLORREF colour = GetPixel(picture, cell.right - 4, (cell.top + cell.bottom) / 2);
    SelectObject(picture, old);
    DeleteObject(bitmap);
    DeleteDC(picture);
    ReleaseDC(list, screen);
    return RowColour{GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

std::string Win32Remote::status_text(int field) const {
    HWND status = m_window.status_handle();
    const auto length =
        LOWORD(SendMessageW(status, SB_GETTEXTLENGTHW, static_cast<WPARAM>(field), 0));
    std::wstring text(length + 1u, L'\0');
    SendMessageW(status, SB_GETTEXTW, static_cast<WPARAM>(field),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return utf8(text);
}

std::string Win32Remote::window_title(WindowId window) const {
    return utf8(window_text(window == WindowId::Main ? m_window.main_handle()
                                                     : m_window.popup_handle(window)));
}

Rect Win32Remote::window_rect(WindowId window) const {
    HWND handle = window == WindowId::Main ? m_window.main_handle() : m_window.popup_handle(window);
    RECT frame{};
    if (handle == nullptr || !GetWindowRect(handle, &frame)) {
        return {};
    }
    // The inner size, the main window's with its menu bar: the frame less borders and
    // caption.
    RECT borders{0, 0, 0, 0};
    AdjustWindowRectEx(&borders, static_cast<DWORD>(GetWindowLongPtrW(handle, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(handle, GWL_EXSTYLE)));
    return Rect{frame.left, frame.top, frame.right - frame.left - (borders.right - borders.left),
                frame.bottom - frame.top - (borders.bottom - borders.top)};
}

Rect Win32Remote::frame_rect(WindowId window) const {
    RECT frame{};
    GetWindowRect(window == WindowId::Main ? m_window.main_handle() : m_window.popup_handle(window),
                  &frame);
    return Rect{frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top};
}

bool Win32Remote::window_open(WindowId window) const {
    HWND handle = window == WindowId::Main ? m_window.main_handle() : m_window.popup_handle(window);
    return handle != nullptr && IsWindowVisible(handle);
}

std::string Win32Remote::control_text(int control) const {
    return utf8(window_text(m_window.control_handle(control)));
}

bool Win32Remote::control_enabled(int control) const {
    return IsWindowEnabled(m_window.control_handle(control)) != FALSE;
}

Rect Win32Remote::control_rect(int control) const {
    HWND handle = m_window.control_handle(control);
    RECT rect{};
    GetWindowRect(handle, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(handle), reinterpret_cast<POINT*>(&rect), 2);
    return Rect{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

int Win32Remote::row_count(int control) const {
    return static_cast<int>(SendMessageW(m_window.control_handle(control), LVM_GETITEMCOUNT, 0, 0));
}

std::string Win32Remote::cell(int control, int row, int column) const {
    wchar_t text[1024] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 1024;
    // The list view asks the program for the text (LVN_GETDISPINFO), as when it draws.
    SendMessageW(m_window.control_handle(control), LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
    return utf8(text);
}

std::vector<std::string> Win32Remote::column(int control, int column) const {
    std::vector<std::string> texts;
    for (int row = 0; row < row_count(control); ++row) {
        texts.push_back(cell(control, row, column));
    }
    return texts;
}

std::vector<std::string> Win32Remote::headers(int control) const {
    HWND header =
        reinterpret_cast<HWND>(SendMessageW(m_window.control_handle(control), LVM_GETHEADER, 0, 0));
    std::vector<std::string> titles;
    const auto count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        wchar_t text[256] = {};
        HDITEMW item{};
        item.mask = HDI_TEXT | HDI_WIDTH;
        item.pszText = text;
        item.cchTextMax = 256;
        SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
        titles.push_back(utf8(text) + "/" + std::to_string(item.cxy));
    }
    return titles;
}

std::vector<std::string> Win32Remote::tab_labels() const {
    HWND tabs = tab_bar(m_window.main_handle());
    std::vector<std::string> labels;
    const auto count = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        wchar_t text[256] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 256;
        SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
        labels.push_back(utf8(text));
    }
    return labels;
}

int Win32Remote::current_tab() const {
    return static_cast<int>(SendMessageW(tab_bar(m_window.main_handle()), TCM_GETCURSEL, 0, 0));
}

void Win32Remote::answer_next_message_box(
    MessageAnswer answer, std::function<void(std::string title, std::string text)> seen,
    std::function<bool(const Rect& frame)> keep_open) {
    g_waiting_for_box = [answer, seen = std::move(seen), keep_open = std::move(keep_open)] {
        HWND box = find_own_window(L"#32770");
        if (box == nullptr) {
            return false;
        }
        if (keep_open) {
            RECT frame{};
            GetWindowRect(box, &frame);
            if (keep_open(Rect{frame.left, frame.top, frame.right - frame.left,
                               frame.bottom - frame.top})) {
                return false;
            }
        }
        // The message text is the box's static control with the number 0xFFFF.
        seen(utf8(window_text(box)), utf8(window_text(GetDlgItem(box, 0xFFFF))));
        const int button = answer == MessageAnswer::Yes  ? IDYES
                           : answer == MessageAnswer::No ? IDNO
                                                         : IDOK;
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        return true;
    };
    SetTimer(nullptr, 0, 10, check_box);
}

void Win32Remote::press_enter_on_next_message_box(
    std::function<void(std::string title, std::string text)> seen) {
    g_waiting_for_box = [seen = std::move(seen)] {
        HWND box = find_own_window(L"#32770");
        if (box == nullptr) {
            return false;
        }
        seen(utf8(window_text(box)), utf8(window_text(GetDlgItem(box, 0xFFFF))));
        // To the control with the focus, through the box's own loop, as the keyboard does.
        HWND focus = GetFocus();
        HWND target = focus != nullptr && IsChild(box, focus) ? focus : box;
        PostMessageW(target, WM_KEYDOWN, VK_RETURN, 1);
        PostMessageW(target, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC0000001));
        return true;
    };
    SetTimer(nullptr, 0, 10, check_box);
}

void Win32Remote::close_next_popup_menu(std::function<bool(HMENU__* menu)> keep_open) {
    g_waiting_for_menu = [keep_open = std::move(keep_open)] {
        HWND shown = find_own_window(L"#32768");
        if (shown == nullptr) {
            return false;
        }
        if (keep_open(reinterpret_cast<HMENU>(SendMessageW(shown, MN_GETHMENU, 0, 0)))) {
            return false;
        }
        EndMenu();
        return true;
    };
    SetTimer(nullptr, 0, 10, check_menu);
}

} // namespace orv
