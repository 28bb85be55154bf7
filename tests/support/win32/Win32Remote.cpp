#include "win32/Win32Remote.h"

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>

#include <commctrl.h>
#include <richedit.h>

#include "platform/Files.h"
#include "platform/win32/window/Win32Window.h"

namespace orv {
namespace {

// UTF-16 and UTF-8 convert as paths do (any text may be a path's).
std::string utf8(const std::wstring& text) {
    return utf8_of(text);
}

std::wstring wide(const std::string& text) {
    return path_from_utf8(text).wstring();
}

std::string window_text(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return utf8(text);
}

Rect rect_of(const RECT& rect) {
    return Rect{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

HWND handle_of(Win32Window& window, WindowId id) {
    return id == WindowId::Main ? window.main_handle() : window.popup_handle(id);
}

HWND header_of(Win32Window& window, int control) {
    return reinterpret_cast<HWND>(
        SendMessageW(window.control_handle(control), LVM_GETHEADER, 0, 0));
}

// The texts of the menu's items as it holds them: mnemonic marker, the key name after a tab.
std::vector<std::string> menu_texts(HMENU menu) {
    std::vector<std::string> texts;
    for (int position = 0; position < GetMenuItemCount(menu); ++position) {
        wchar_t text[256] = {};
        MENUITEMINFOW item{};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_STRING | MIIM_FTYPE;
        item.dwTypeData = text;
        item.cch = 255;
        GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &item);
        texts.push_back((item.fType & MFT_SEPARATOR) != 0 ? "-" : utf8(text));
    }
    return texts;
}

// Gives `target` the focus and posts it the key's press and release, through the message
// loop, where the dialog keys are handled, with the keys `held` down as the window reads them
// with GetKeyState (a posted key message does not set them). With Alt held it is a system key;
// the release comes after the held keys are up when `release_last`.
void press_virtual_key(Win32Window& window, HWND target, unsigned key,
                       std::initializer_list<int> held = {}, bool release_last = false) {
    const bool alt = std::ranges::find(held, VK_MENU) != held.end();
    const LPARAM down = alt ? 1 | (LPARAM{1} << 29) : 1;
    const auto post = [&](bool press) {
        PostMessageW(target,
                     press ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP),
                     key, press ? down : down | (LPARAM{3} << 30));
    };
    const auto run = [&] {
        while (window.run_one()) {
        }
    };
    SetFocus(target);
    BYTE state[256];
    GetKeyboardState(state);
    BYTE before[256];
    std::copy(std::begin(state), std::end(state), std::begin(before));
    for (const int held_key : held) {
        state[held_key] = 0x80;
    }
    SetKeyboardState(state);
    post(true);
    if (!release_last) {
        post(false);
    }
    run();
    SetKeyboardState(before);
    if (release_last) {
        post(false);
        run();
    }
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

// The first window of the class among the thread's shown top-level windows, or among the
// children of `parent` when given.
HWND find_window(const wchar_t* window_class, HWND parent = nullptr) {
    struct Search {
        const wchar_t* window_class;
        bool shown_only;
        HWND found;
    } search{window_class, parent == nullptr, nullptr};
    const WNDENUMPROC match = [](HWND window, LPARAM context) -> BOOL {
        auto* wanted = reinterpret_cast<Search*>(context);
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (lstrcmpiW(name, wanted->window_class) != 0 ||
            (wanted->shown_only && !IsWindowVisible(window))) {
            return TRUE;
        }
        wanted->found = window;
        return FALSE;
    };
    const auto context = reinterpret_cast<LPARAM>(&search);
    parent != nullptr ? EnumChildWindows(parent, match, context)
                      : EnumThreadWindows(GetCurrentThreadId(), match, context);
    return search.found;
}

// What to do with the next message box ("#32770") or popup menu ("#32768") once it shows:
// both run a message loop of their own, which serves a thread timer. Done once `act` says
// true.
std::map<std::wstring, std::function<bool(HWND)>> g_waiting;

void CALLBACK check_waiting(HWND, UINT, UINT_PTR timer, DWORD) {
    for (auto waiting = g_waiting.begin(); waiting != g_waiting.end();) {
        HWND shown = find_window(waiting->first.c_str());
        waiting = shown != nullptr && waiting->second(shown) ? g_waiting.erase(waiting)
                                                             : std::next(waiting);
    }
    if (g_waiting.empty()) {
        KillTimer(nullptr, timer);
    }
}

void when_shown(const wchar_t* window_class, std::function<bool(HWND)> act) {
    g_waiting[window_class] = std::move(act);
    SetTimer(nullptr, 0, 10, check_waiting);
}

// Once the next popup menu shows, asks `keep_open` with the menu every few milliseconds and
// closes the menu when it says false.
void close_next_popup_menu(std::function<bool(HMENU menu)> keep_open) {
    when_shown(L"#32768", [keep_open = std::move(keep_open)](HWND shown) {
        if (keep_open(reinterpret_cast<HMENU>(SendMessageW(shown, MN_GETHMENU, 0, 0)))) {
            return false;
        }
        EndMenu();
        return true;
    });
}

// The message text is the box's static control with the number 0xFFFF.
void tell_seen(HWND box, const WindowRemote::Seen& seen) {
    seen(window_text(box), window_text(GetDlgItem(box, 0xFFFF)));
}

// The program gives the main window one tab bar, whatever its number.
HWND tab_bar(Win32Window& window) {
    return find_window(WC_TABCONTROLW, window.main_handle());
}

// The items of a header or tab bar as `shown` gives them, each read with its text.
template <typename Item, typename Shown>
std::vector<std::string> item_texts(HWND control, UINT count, UINT get, UINT mask, Shown shown) {
    std::vector<std::string> texts;
    for (int index = 0; index < static_cast<int>(SendMessageW(control, count, 0, 0)); ++index) {
        wchar_t text[256] = {};
        Item item{};
        item.mask = mask;
        item.pszText = text;
        item.cchTextMax = 256;
        SendMessageW(control, get, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        texts.push_back(shown(item));
    }
    return texts;
}

} // namespace

void WindowRemote::run_events() {
    bool handled = false;
    while (m_window.run_one()) {
        handled = true;
    }
    if (!handled) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

void WindowRemote::choose_menu(int command) {
    SendMessageW(m_window.main_handle(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

void WindowRemote::select_tab(int page) {
    HWND tabs = tab_bar(m_window);
    SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
    // Windows sends no notification for a change made with TCM_SETCURSEL; a click does.
    notify(tabs, TCN_SELCHANGE, 0, 0);
}

void WindowRemote::click_row(int control, int row, ListEventType type) {
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

bool WindowRemote::right_click_opens_popup_menu(int control, int row) {
    auto shown = std::make_shared<bool>(false);
    close_next_popup_menu([shown](HMENU) {
        *shown = true;
        return false;
    });
    click_row(control, row, ListEventType::RightClick);
    return *shown;
}

void WindowRemote::click_header(int control, int column) {
    notify(m_window.control_handle(control), LVN_COLUMNCLICK, -1, column);
}

void WindowRemote::type_text(int control, const std::string& text) {
    HWND field = m_window.control_handle(control);
    SetFocus(field);
    SendMessageW(field, EM_SETSEL, 0, -1);
    SendMessageW(field, WM_CHAR, VK_BACK, 0);
    for (const wchar_t typed : wide(text)) {
        SendMessageW(field, WM_CHAR, typed, 0);
    }
}

void WindowRemote::press_button(int control) {
    SendMessageW(m_window.control_handle(control), BM_CLICK, 0, 0);
}

void WindowRemote::press_key(int control, const std::string& key) {
    HWND target = m_window.control_handle(control);
    static const std::map<std::string, unsigned> keys = {
        {"Enter", VK_RETURN}, {"Escape", VK_ESCAPE}, {"Tab", VK_TAB}, {"F1", VK_F1}, {"F2", VK_F2}};
    if (key.starts_with("Ctrl+")) {
        // A capital letter is its own virtual key.
        const std::string name = key.substr(5);
        const unsigned virtual_key =
            name.size() == 1 ? static_cast<unsigned>(name[0]) : keys.at(name);
        press_virtual_key(m_window, target, virtual_key, {VK_CONTROL});
    } else if (key.starts_with("Alt+") && key.size() == 5) {
        // A digit with Alt held arrives as a system key.
        press_virtual_key(m_window, target, static_cast<unsigned>(key[4]), {VK_MENU});
    } else {
        press_virtual_key(m_window, target, keys.at(key));
    }
}

int WindowRemote::menu_opened_by_key(int control, const std::string& key,
                                     const std::function<bool()>& keep_open) {
    auto opened = std::make_shared<HMENU>(nullptr);
    close_next_popup_menu([opened, keep_open](HMENU menu) {
        *opened = menu;
        return keep_open && keep_open();
    });
    // The key as the keyboard gives it: Alt held, the character's key down (with Shift where
    // the character needs it); the loop translates it into the character that the menu bar
    // looks up.
    const SHORT scan = VkKeyScanW(wide(key.substr(4)).at(0));
    press_virtual_key(m_window, m_window.control_handle(control), LOBYTE(scan),
                      (HIBYTE(scan) & 1) != 0 ? std::initializer_list<int>{VK_MENU, VK_SHIFT}
                                              : std::initializer_list<int>{VK_MENU},
                      true);
    HMENU bar = GetMenu(m_window.main_handle());
    for (int menu = 0; menu < GetMenuItemCount(bar); ++menu) {
        if (*opened != nullptr && GetSubMenu(bar, menu) == *opened) {
            return menu;
        }
    }
    return -1;
}

int WindowRemote::focused_control() const {
    const HWND focus = GetFocus();
    const int number = focus != nullptr ? GetDlgCtrlID(focus) : 0;
    return number != 0 && m_window.control_handle(number) == focus ? number : 0;
}

void WindowRemote::close_window(WindowId window) {
    SendMessageW(handle_of(m_window, window), WM_CLOSE, 0, 0);
}

std::vector<std::string> WindowRemote::menu_titles() const {
    return menu_texts(GetMenu(m_window.main_handle()));
}

std::vector<std::string> WindowRemote::menu_items(int menu) const {
    return menu_texts(menu < 0 ? m_window.popup_menu()
                               : GetSubMenu(GetMenu(m_window.main_handle()), menu));
}

bool WindowRemote::menu_enabled(int command) const {
    UINT state =
        GetMenuState(GetMenu(m_window.main_handle()), static_cast<UINT>(command), MF_BYCOMMAND);
    if (state == static_cast<UINT>(-1)) {
        state = GetMenuState(m_window.popup_menu(), static_cast<UINT>(command), MF_BYCOMMAND);
    }
    return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

std::optional<std::pair<int, bool>> WindowRemote::sort_arrow(int control) const {
    HWND header = header_of(m_window, control);
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

RowColour WindowRemote::row_background(int control, int row, int column) const {
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

std::string WindowRemote::status_text(int field) const {
    HWND status = m_window.status_handle();
    const auto length =
        LOWORD(SendMessageW(status, SB_GETTEXTLENGTHW, static_cast<WPARAM>(field), 0));
    std::wstring text(length + 1u, L'\0');
    SendMessageW(status, SB_GETTEXTW, static_cast<WPARAM>(field),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return utf8(text);
}

std::string WindowRemote::window_title(WindowId window) const {
    return window_text(handle_of(m_window, window));
}

Rect WindowRemote::window_rect(WindowId window) const {
    HWND handle = handle_of(m_window, window);
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

bool WindowRemote::window_open(WindowId window) const {
    HWND handle = handle_of(m_window, window);
    return handle != nullptr && IsWindowVisible(handle);
}

std::string WindowRemote::control_text(int control) const {
    return window_text(m_window.control_handle(control));
}

std::vector<std::string> WindowRemote::marked_texts(int control) const {
    // Character by character: a stretch is the characters whose background was set.
    HWND box = m_window.control_handle(control);
    GETTEXTLENGTHEX length_of{GTL_NUMCHARS, 1200};
    const auto length = static_cast<LONG>(
        SendMessageW(box, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length_of), 0));
    CHARRANGE kept{};
    SendMessageW(box, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    std::vector<std::string> texts;
    std::wstring stretch;
    for (LONG at = 0; at <= length; ++at) {
        bool marked = false;
        wchar_t character = L'\0';
        if (at < length) {
            CHARRANGE one{at, at + 1};
            SendMessageW(box, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&one));
            CHARFORMAT2W format{};
            format.cbSize = sizeof format;
            SendMessageW(box, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
            marked =
                (format.dwMask & CFM_BACKCOLOR) != 0 && (format.dwEffects & CFE_AUTOBACKCOLOR) == 0;
            wchar_t buffer[2] = {};
            TEXTRANGEW range{one, buffer};
            SendMessageW(box, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
            character = buffer[0];
        }
        if (marked) {
            stretch += character;
        } else if (!stretch.empty()) {
            texts.push_back(utf8(stretch));
            stretch.clear();
        }
    }
    SendMessageW(box, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    return texts;
}

bool WindowRemote::control_enabled(int control) const {
    return IsWindowEnabled(m_window.control_handle(control)) != FALSE;
}

std::vector<std::string> WindowRemote::column(int control, int column) const {
    const Win32Remote remote(m_window);
    std::vector<std::string> texts;
    for (int row = 0; row < remote.row_count(control); ++row) {
        texts.push_back(remote.cell(control, row, column));
    }
    return texts;
}

std::vector<std::string> WindowRemote::headers(int control) const {
    return item_texts<HDITEMW>(
        header_of(m_window, control), HDM_GETITEMCOUNT, HDM_GETITEMW, HDI_TEXT | HDI_WIDTH,
        [](const HDITEMW& item) { return utf8(item.pszText) + "/" + std::to_string(item.cxy); });
}

std::vector<std::string> WindowRemote::tab_labels() const {
    return item_texts<TCITEMW>(tab_bar(m_window), TCM_GETITEMCOUNT, TCM_GETITEMW, TCIF_TEXT,
                               [](const TCITEMW& item) { return utf8(item.pszText); });
}

int WindowRemote::current_tab() const {
    return static_cast<int>(SendMessageW(tab_bar(m_window), TCM_GETCURSEL, 0, 0));
}

void WindowRemote::answer_next_message_box(MessageAnswer answer, Seen seen) {
    Win32Remote::answer_next_message_box(answer, std::move(seen), {});
}

void WindowRemote::press_enter_on_next_message_box(Seen seen) {
    when_shown(L"#32770", [seen = std::move(seen)](HWND box) {
        tell_seen(box, seen);
        // To the control with the focus, through the box's own loop, as the keyboard does.
        HWND focus = GetFocus();
        HWND target = focus != nullptr && IsChild(box, focus) ? focus : box;
        PostMessageW(target, WM_KEYDOWN, VK_RETURN, 1);
        PostMessageW(target, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC0000001));
        return true;
    });
}

void Win32Remote::answer_next_message_box(MessageAnswer answer, Seen seen,
                                          std::function<bool(const Rect& frame)> keep_open) {
    when_shown(L"#32770",
               [answer, seen = std::move(seen), keep_open = std::move(keep_open)](HWND box) {
                   RECT frame{};
                   GetWindowRect(box, &frame);
                   if (keep_open && keep_open(rect_of(frame))) {
                       return false;
                   }
                   tell_seen(box, seen);
                   const int button = answer == MessageAnswer::Yes  ? IDYES
                                      : answer == MessageAnswer::No ? IDNO
                                                                    : IDOK;
                   PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
                   return true;
               });
}

void Win32Remote::paint() {
    RedrawWindow(m_window.main_handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

Rect Win32Remote::frame_rect(WindowId window) const {
    RECT frame{};
    GetWindowRect(handle_of(m_window, window), &frame);
    return rect_of(frame);
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

} // namespace orv
