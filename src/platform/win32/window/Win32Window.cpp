#include "platform/win32/window/Win32Window.h"

#include <algorithm>

#include <windows.h>

#include <commctrl.h>

#include "platform/win32/window/Controls.h"
#include "platform/win32/window/VirtualList.h"
#include "platform/win32/window/WideText.h"

namespace orv {
namespace {

constexpr wchar_t kFrameClass[] = L"OrventalFrame";
// Handed-over calls are waiting (see WindowCalls).
constexpr UINT kRunCalls = WM_APP + 1;
constexpr UINT_PTR kStatusTimer = 1;
constexpr DWORD kMainStyle = WS_OVERLAPPEDWINDOW & ~WS_THICKFRAME;
constexpr DWORD kPopupStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kPopupExtendedStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr int kProgramIconId = 1;

LRESULT CALLBACK frame_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* owner = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (owner == nullptr) {
        return DefWindowProcW(window, message, wparam, lparam);
    }
    return static_cast<LRESULT>(owner->handle_message(window, message, wparam, lparam));
}

void register_frame_class() {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES |
                                          ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSEXW frame{};
        frame.cbSize = sizeof(frame);
        frame.style = CS_DBLCLKS;
        frame.lpfnWndProc = frame_procedure;
        frame.hInstance = GetModuleHandleW(nullptr);
        frame.hIcon = LoadIconW(frame.hInstance, MAKEINTRESOURCEW(kProgramIconId));
        frame.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        frame.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        frame.lpszClassName = kFrameClass;
        return RegisterClassExW(&frame) != 0;
    }();
    (void)registered;
}

HWND create_frame(DWORD extended, const std::wstring& title, DWORD style, const RECT& at,
                  HWND parent, Win32Window* owner) {
    return CreateWindowExW(extended, kFrameClass, title.c_str(), style, at.left, at.top,
                           at.right - at.left, at.bottom - at.top, parent, nullptr,
                           GetModuleHandleW(nullptr), owner);
}

// The size of the borders and caption (not the menu bar) around a client area.
SIZE frame_extra(DWORD style, DWORD extended, int dpi) {
    RECT rect{0, 0, 0, 0};
    AdjustWindowRectExForDpi(&rect, style, FALSE, extended, static_cast<UINT>(dpi));
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

HFONT message_font(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0,
                               static_cast<UINT>(dpi));
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

// A menu item's shortcut key as an accelerator table takes it.
ACCEL shortcut_key(MenuShortcut shortcut, int command) {
    ACCEL key{};
    key.cmd = static_cast<WORD>(command);
    key.fVirt = FVIRTKEY;
    switch (shortcut) {
    case MenuShortcut::CtrlO:
        key.fVirt |= FCONTROL;
        key.key = 'O';
        break;
    case MenuShortcut::CtrlS:
        key.fVirt |= FCONTROL;
        key.key = 'S';
        break;
    case MenuShortcut::F1:
        key.key = VK_F1;
        break;
    case MenuShortcut::None:
        break;
    }
    return key;
}

// Clicks on the main window that a pop-up refuses; see run_one.
bool is_refused_click(const MSG& message) {
    switch (message.message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_CONTEXTMENU:
        return true;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
        return message.wParam == HTMENU;
    default:
        return false;
    }
}

} // namespace

Win32Window::Win32Window() {
    register_frame_class();
    m_messages = CreateWindowExW(0, kFrameClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 GetModuleHandleW(nullptr), this);
    m_calls = std::make_unique<WindowCalls>(
        [handle = m_messages] { PostMessageW(handle, kRunCalls, 0, 0); });
    m_dpi = static_cast<int>(GetDpiForSystem());
}

Win32Window::~Win32Window() {
    m_calls->close();
    m_controls.clear();
    if (m_main != nullptr) {
        DestroyWindow(m_main);
    }
    if (m_popup_menu != nullptr) {
        DestroyMenu(m_popup_menu);
    }
    if (m_shortcuts != nullptr) {
        DestroyAcceleratorTable(m_shortcuts);
    }
    DestroyWindow(m_messages);
    for (HFONT font : {m_font, m_text_box_font}) {
        if (font != nullptr) {
            DeleteObject(font);
        }
    }
}

int Win32Window::scaled(int value) const {
    return MulDiv(value, m_dpi, 96);
}

int Win32Window::unscaled(int value) const {
    return MulDiv(value, 96, m_dpi);
}

void Win32Window::connect_events(EventSink& sink, std::function<bool()> quit_requested) {
    m_sink = &sink;
    m_quit_requested = std::move(quit_requested);
}

void Win32Window::deliver(const Event& event) {
    if (m_sink == nullptr || m_quitting || m_closed) {
        return;
    }
    m_sink->handle(event);
    if (m_quit_requested && m_quit_requested()) {
        m_quitting = true;
        PostQuitMessage(0);
    }
}

void Win32Window::show() {
    m_calls->post([this] {
        if (m_main != nullptr) {
            ShowWindow(m_main, SW_SHOW);
            UpdateWindow(m_main);
            SetForegroundWindow(m_main);
        }
    });
}

bool Win32Window::run_one() {
    MSG message;
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        return false;
    }
    if (message.message == WM_QUIT) {
        m_quitting = true;
        return true;
    }
    const HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    // While a pop-up is open, a click on the main window (its menu bar included, its close
    // box not) is refused visibly: the pop-up comes to the front instead, so that it can
    // never be lost behind the window it belongs to.
    if (root == m_main && !m_popups.empty() && is_refused_click(message)) {
        HWND popup = m_popups.begin()->second;
        SetForegroundWindow(popup);
        SetActiveWindow(popup);
        FlashWindow(popup, TRUE);
        return true;
    }
    // Ctrl+F in the main window or a pop-up puts the cursor into that window's filter box.
    if (root != nullptr && message.message == WM_KEYDOWN && message.wParam == 'F' &&
        GetKeyState(VK_CONTROL) < 0) {
        const std::optional<WindowId> window =
            root == m_main ? std::optional(WindowId::Main) : popup_of(root);
        if (window && focus_search_field(*window)) {
            return true;
        }
    }
    // Ctrl+Enter in a text box is its store key; Enter alone starts a new line there.
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN &&
        GetKeyState(VK_CONTROL) < 0) {
        const int number = GetDlgCtrlID(message.hwnd);
        if (const Control* control = find(number); control != nullptr &&
                                                   control->kind == ControlKind::TextBox &&
                                                   control->handle == message.hwnd) {
            deliver(ControlEvent{number, ListEventType::StoreKey});
            return true;
        }
    }
    // Alt+1 to Alt+9 in a pop-up choose a row of its list view that takes pick keys.
    if (root != nullptr && message.message == WM_SYSKEYDOWN && message.wParam >= '1' &&
        message.wParam <= '9') {
        if (const std::optional<WindowId> window = popup_of(root)) {
            for (const auto& [number, control] : m_controls) {
                if (control.pick_keys && control.window == *window) {
                    deliver(ControlEvent{number, ListEventType::PickKey,
                                         static_cast<int>(message.wParam - '1')});
                    return true;
                }
            }
        }
    }
    // The menu items' keys choose them wherever the main window has the focus (never in a
    // pop-up window).
    if (root == m_main && m_shortcuts != nullptr &&
        TranslateAcceleratorW(m_main, m_shortcuts, &message) != 0) {
        return true;
    }
    // Tab, Enter and Escape in a pop-up window move between its controls, press its default
    // button and close it.
    if (root != nullptr && popup_of(root) && IsDialogMessageW(root, &message)) {
        return true;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
    return true;
}

void Win32Window::run() {
    while (!m_quitting) {
        if (!run_one()) {
            WaitMessage();
        }
    }
}

void Win32Window::close() {
    m_calls->close();
    m_closed = true;
    KillTimer(m_messages, kStatusTimer);
    for (const auto& [window, popup] : m_popups) {
        ShowWindow(popup, SW_HIDE);
    }
    if (m_main != nullptr) {
        ShowWindow(m_main, SW_HIDE);
    }
}

WindowHandle Win32Window::dialog_owner() const {
    const HWND active = GetActiveWindow();
    if (active != nullptr && (active == m_main || popup_of(active))) {
        return active;
    }
    return m_main;
}

WindowHandle Win32Window::popup_handle(WindowId window) const {
    const auto found = m_popups.find(window);
    return found == m_popups.end() ? nullptr : found->second;
}

WindowHandle Win32Window::control_handle(int number) const {
    const auto found = m_controls.find(number);
    return found == m_controls.end() ? nullptr : found->second.handle;
}

std::optional<WindowId> Win32Window::popup_of(WindowHandle handle) const {
    for (const auto& [window, popup] : m_popups) {
        if (popup == handle) {
            return window;
        }
    }
    return std::nullopt;
}

void Win32Window::create_main_window(const Text& title, int inner_width, int inner_height) {
    m_calls->post([this, title, inner_width, inner_height] {
        if (m_main != nullptr) {
            return;
        }
        const int width = std::max(inner_width, 1);
        const int height = std::max(inner_height, 1);
        // The inner size includes the menu bar: the frame is the client area's borders and
        // caption around it, and the menu bar takes its height from the client area.
        const SIZE extra = frame_extra(kMainStyle, 0, m_dpi);
        const int frame_width = scaled(width) + extra.cx;
        const int frame_height = scaled(height) + extra.cy;
        RECT free{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &free, 0);
        const int left = free.left + (free.right - free.left - frame_width) / 2;
        const int top = free.top + (free.bottom - free.top - frame_height) / 2;
        m_main =
            create_frame(0, to_wide(title), kMainStyle,
                         RECT{left, top, left + frame_width, top + frame_height}, nullptr, this);
        m_dpi = static_cast<int>(GetDpiForWindow(m_main));
        m_font = message_font(m_dpi);
        m_text_box_font =
            CreateFontW(-MulDiv(10, m_dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                        DEFAULT_PITCH | FF_SWISS, L"Arial");
        m_size_report.set_initial(ResizeEvent{width, height, false});
    });
}

void Win32Window::report_size() {
    if (m_main == nullptr) {
        return;
    }
    RECT frame{};
    GetWindowRect(m_main, &frame);
    const SIZE extra = frame_extra(kMainStyle, 0, m_dpi);
    // W is the inner width, H the inner height with the menu bar: the frame less borders and
    // caption.
    const ResizeEvent size{unscaled(frame.right - frame.left - extra.cx),
                           unscaled(frame.bottom - frame.top - extra.cy),
                           IsIconic(m_main) != FALSE};
    if (const auto changed = m_size_report.changed(size)) {
        deliver(*changed);
    }
}

void Win32Window::set_menus(const std::vector<Menu>& menu_bar, const std::vector<MenuItem>& popup) {
    m_calls->post([this, menu_bar, popup] {
        if (m_main == nullptr) {
            return;
        }
        // The texts carry their mnemonics as Windows reads them ("&" before the letter); the
        // shortcut's key name follows a tab, which a menu shows at the item's right.
        std::vector<ACCEL> keys;
        const auto fill = [&keys](HMENU menu, const std::vector<MenuItem>& items) {
            for (const MenuItem& item : items) {
                if (item.command == kMenuSeparator) {
                    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
                    continue;
                }
                std::wstring text = to_wide(item.text);
                if (item.shortcut != MenuShortcut::None) {
                    text += L'\t' + to_wide(shortcut_text(item.shortcut));
                    keys.push_back(shortcut_key(item.shortcut, item.command));
                }
                AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(item.command), text.c_str());
            }
        };
        HMENU bar = CreateMenu();
        for (const Menu& menu : menu_bar) {
            HMENU items = CreatePopupMenu();
            fill(items, menu.items);
            AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(items),
                        to_wide(menu.title).c_str());
        }
        HMENU old = GetMenu(m_main);
        SetMenu(m_main, bar);
        if (old != nullptr) {
            DestroyMenu(old);
        }
        m_menu_bar = bar;
        if (m_popup_menu != nullptr) {
            DestroyMenu(m_popup_menu);
        }
        m_popup_menu = CreatePopupMenu();
        fill(m_popup_menu, popup);
        if (m_shortcuts != nullptr) {
            DestroyAcceleratorTable(m_shortcuts);
            m_shortcuts = nullptr;
        }
        if (!keys.empty()) {
            m_shortcuts = CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
        }
    });
}

bool Win32Window::menu_item_enabled(int command) const {
    const UINT state = GetMenuState(m_menu_bar, static_cast<UINT>(command), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

void Win32Window::set_menu_item_enabled(int command, bool enabled) {
    m_calls->post([this, command, enabled] {
        const UINT state = MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED);
        for (HMENU menu : {m_menu_bar, m_popup_menu}) {
            if (menu != nullptr) {
                EnableMenuItem(menu, static_cast<UINT>(command), state);
            }
        }
    });
}

void Win32Window::create_status_bar(int field0_width, int field1_width) {
    m_calls->post([this, field0_width, field1_width] {
        if (m_main == nullptr || m_status != nullptr) {
            return;
        }
        m_status = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                   m_main, nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(m_status, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
        // The widths are fixed at start-up and do not follow later size changes.
        const int edges[2] = {scaled(field0_width), scaled(field0_width + field1_width)};
        SendMessageW(m_status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
        SetWindowPos(m_status, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    });
}

void Win32Window::set_status_text(int field, const Text& text) {
    if (m_status_throttle.set(field, text)) {
        m_calls->post([this] {
            const auto wait = m_status_throttle.delay(StatusThrottle::Clock::now());
            if (wait.count() == 0) {
                flush_status();
            } else {
                SetTimer(m_messages, kStatusTimer, static_cast<UINT>(wait.count()), nullptr);
            }
        });
    }
}

void Win32Window::flush_status() {
    KillTimer(m_messages, kStatusTimer);
    const auto texts = m_status_throttle.take(StatusThrottle::Clock::now());
    for (std::size_t field = 0; field < texts.size(); ++field) {
        if (texts[field] && m_status != nullptr) {
            SendMessageW(m_status, SB_SETTEXTW, field,
                         reinterpret_cast<LPARAM>(to_wide(*texts[field]).c_str()));
        }
    }
}

void Win32Window::add_tab_page(const Text& label) {
    m_calls->post([this, label] {
        if (m_tabs == nullptr) {
            return;
        }
        std::wstring text = without_mnemonics(label);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text.data();
        const auto index = static_cast<int>(m_pages.size());
        SendMessageW(m_tabs, TCM_INSERTITEMW, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
        m_pages.push_back(create_frame(0, L"", WS_CHILD | WS_CLIPCHILDREN, RECT{}, m_tabs, this));
        place_pages();
        show_page(static_cast<int>(SendMessageW(m_tabs, TCM_GETCURSEL, 0, 0)));
    });
}

void Win32Window::place_pages() {
    if (m_tabs == nullptr) {
        return;
    }
    RECT area{};
    GetClientRect(m_tabs, &area);
    SendMessageW(m_tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    for (HWND page : m_pages) {
        MoveWindow(page, area.left, area.top, std::max(0L, area.right - area.left),
                   std::max(0L, area.bottom - area.top), TRUE);
    }
}

void Win32Window::show_page(int page) {
    for (std::size_t index = 0; index < m_pages.size(); ++index) {
        ShowWindow(m_pages[index], static_cast<int>(index) == page ? SW_SHOW : SW_HIDE);
    }
}

void Win32Window::select_tab_page(int page) {
    m_calls->post([this, page] {
        if (m_tabs != nullptr) {
            SendMessageW(m_tabs, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
            show_page(page);
        }
    });
}

Rect Win32Window::main_window_rect() {
    return m_calls->ask<Rect>(
        [this] {
            RECT frame{};
            if (m_main == nullptr || !GetWindowRect(m_main, &frame)) {
                return Rect{};
            }
            return Rect{unscaled(frame.left), unscaled(frame.top),
                        unscaled(frame.right - frame.left), unscaled(frame.bottom - frame.top)};
        },
        Rect{});
}

void Win32Window::activate_main_window() {
    m_calls->post([this] {
        if (m_main != nullptr) {
            SetActiveWindow(m_main);
        }
    });
}

void Win32Window::show_popup_menu(int x, int y) {
    m_calls->post([this, x, y] {
        // One request, one menu: a menu already open is not opened again. The chosen item
        // comes as WM_COMMAND, like a menu bar item.
        if (m_popup_menu == nullptr || m_main == nullptr || m_popup_menu_open) {
            return;
        }
        m_popup_menu_open = true;
        TrackPopupMenu(m_popup_menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, x, y, 0,
                       m_main, nullptr);
        m_popup_menu_open = false;
    });
}

void Win32Window::open_popup(WindowId window, const Text& title, const Rect& rect) {
    m_calls->post([this, window, title, rect] {
        if (m_main == nullptr || m_popups.count(window) != 0) {
            return;
        }
        // The position is the frame's, the size the inner area's, so that no control at the
        // program's coordinates falls under the window's border.
        const SIZE extra = frame_extra(kPopupStyle, kPopupExtendedStyle, m_dpi);
        const int left = scaled(rect.left);
        const int top = scaled(rect.top);
        const RECT at{left, top, left + scaled(std::max(rect.width, 1)) + extra.cx,
                      top + scaled(std::max(rect.height, 1)) + extra.cy};
        HWND popup =
            create_frame(kPopupExtendedStyle, to_wide(title), kPopupStyle, at, m_main, this);
        m_popups[window] = popup;
        ShowWindow(popup, SW_SHOW);
        SetActiveWindow(popup);
    });
}

void Win32Window::close_popup(WindowId window) {
    m_calls->post([this, window] {
        const auto found = m_popups.find(window);
        if (found == m_popups.end()) {
            return;
        }
        for (auto it = m_controls.begin(); it != m_controls.end();) {
            it = it->second.window == window ? m_controls.erase(it) : std::next(it);
        }
        HWND popup = found->second;
        m_popups.erase(found);
        // Its controls go with it; the main window gets the focus back.
        DestroyWindow(popup);
        if (m_main != nullptr && GetActiveWindow() == nullptr) {
            SetActiveWindow(m_main);
        }
    });
}

WindowHandle Win32Window::parent_for(WindowId window, const ControlSpec& control) const {
    if (window == WindowId::Main) {
        if (control.kind == ControlKind::ListView && control.tab_page >= 0 &&
            static_cast<std::size_t>(control.tab_page) < m_pages.size()) {
            return m_pages[static_cast<std::size_t>(control.tab_page)];
        }
        return m_main;
    }
    return popup_handle(window);
}

void Win32Window::add_control(WindowId window, const ControlSpec& control) {
    m_calls->post([this, window, control] {
        HWND parent = parent_for(window, control);
        if (parent == nullptr) {
            return;
        }
        remove_control(control.number);
        const Rect at{scaled(control.rect.left), scaled(control.rect.top),
                      scaled(control.rect.width), scaled(control.rect.height)};
        HWND handle = create_control(
            control, parent, at,
            control_class(control.kind).text == TextForm::Lines ? m_text_box_font : m_font);
        if (handle == nullptr) {
            return;
        }
        Control& added = m_controls[control.number];
        added = Control{window,       control.kind,
                        handle,       nullptr,
                        control.rect, control.pick_keys && control.kind == ControlKind::ListView};
        if (control.kind == ControlKind::ListView) {
            added.list = std::make_unique<VirtualList>(control.number, window == WindowId::Main,
                                                       handle, control.columns,
                                                       [this](int value) { return scaled(value); });
        }
        if (control.kind == ControlKind::TabBar) {
            m_tabs = handle;
            m_pages.clear();
        }
        if (control.kind == ControlKind::SearchField) {
            // The hint the empty filter box shows on every system: the key that reaches it.
            SendMessageW(handle, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(L"Strg+F"));
        }
        place(added);
        // Labels and the frame lie under the controls they overlap, the status bar over
        // everything. A new window goes under its siblings, so this is renewed each time.
        for (const auto& [number, other] : m_controls) {
            if (other.window == window && control_class(other.kind).lies_under) {
                SetWindowPos(other.handle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            }
        }
        if (window == WindowId::Main && m_status != nullptr) {
            SetWindowPos(m_status, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        }
    });
}

void Win32Window::remove_control(int number) {
    const auto found = m_controls.find(number);
    if (found == m_controls.end()) {
        return;
    }
    if (found->second.handle == m_tabs) {
        m_tabs = nullptr;
        m_pages.clear();
    }
    DestroyWindow(found->second.handle);
    m_controls.erase(found);
}

Win32Window::Control* Win32Window::find(int number) {
    const auto found = m_controls.find(number);
    return found == m_controls.end() ? nullptr : &found->second;
}

VirtualList* Win32Window::find_list(int number) {
    Control* control = find(number);
    return control != nullptr ? control->list.get() : nullptr;
}

void Win32Window::place(const Control& control) {
    const Rect at = fitted(control.handle, control.kind,
                           Rect{scaled(control.rect.left), scaled(control.rect.top),
                                scaled(control.rect.width), scaled(control.rect.height)});
    MoveWindow(control.handle, at.left, at.top, std::max(0, at.width), std::max(0, at.height),
               TRUE);
    if (control.handle == m_tabs) {
        place_pages();
    }
}

void Win32Window::move_control(int control, const Rect& rect) {
    m_calls->post([this, control, rect] {
        if (Control* found = find(control)) {
            found->rect = rect;
            place(*found);
        }
    });
}

void Win32Window::set_control_enabled(int control, bool enabled) {
    m_calls->post([this, control, enabled] {
        if (Control* found = find(control)) {
            EnableWindow(found->handle, enabled ? TRUE : FALSE);
        }
    });
}

void Win32Window::set_control_text(int control, const Text& text) {
    m_calls->post([this, control, text] {
        if (Control* found = find(control)) {
            m_setting_text = true;
            set_text(found->handle, found->kind, text);
            m_setting_text = false;
            place(*found);
        }
    });
}

std::optional<Text> Win32Window::control_text(int control) {
    return m_calls->ask<std::optional<Text>>(
        [this, control]() -> std::optional<Text> {
            Control* found = find(control);
            return found != nullptr ? get_text(found->handle, found->kind) : std::nullopt;
        },
        std::nullopt);
}

void Win32Window::set_rows(int control, std::vector<ListRow> rows, std::vector<RowState> states) {
    // The rows move through the hand-over: 50,000 rows are not copied on the way.
    auto shared = std::make_shared<std::pair<std::vector<ListRow>, std::vector<RowState>>>(
        std::move(rows), std::move(states));
    m_calls->post([this, control, shared] {
        if (VirtualList* list = find_list(control)) {
            list->set_rows(std::move(shared->first), std::move(shared->second));
        }
    });
}

void Win32Window::set_row_state(int control, std::size_t row, RowState state) {
    m_calls->post([this, control, row, state] {
        if (VirtualList* list = find_list(control)) {
            list->set_row_state(row, state);
        }
    });
}

void Win32Window::set_cell(int control, std::size_t row, int column, const Text& text) {
    m_calls->post([this, control, row, column, text] {
        if (VirtualList* list = find_list(control)) {
            list->set_cell(row, column, text);
        }
    });
}

std::optional<std::size_t> Win32Window::selected_row(int control) {
    return m_calls->ask<std::optional<std::size_t>>(
        [this, control]() -> std::optional<std::size_t> {
            VirtualList* list = find_list(control);
            return list != nullptr ? list->selected() : std::nullopt;
        },
        std::nullopt);
}

Text Win32Window::cell_text(int control, std::size_t row, int column) {
    return m_calls->ask<Text>(
        [this, control, row, column] {
            VirtualList* list = find_list(control);
            return list != nullptr ? list->cell(row, column) : Text{};
        },
        Text{});
}

void Win32Window::select_row(int control, std::size_t row) {
    m_calls->post([this, control, row] {
        if (VirtualList* list = find_list(control)) {
            list->select(row);
        }
    });
}

long long Win32Window::handle_notify(WindowHandle frame, const void* header) {
    const auto* notification = static_cast<const NMHDR*>(header);
    if (notification->hwndFrom == m_tabs && notification->code == TCN_SELCHANGE) {
        show_page(static_cast<int>(SendMessageW(m_tabs, TCM_GETCURSEL, 0, 0)));
        return 0;
    }
    VirtualList* list = find_list(static_cast<int>(notification->idFrom));
    if (list == nullptr || list->handle() != notification->hwndFrom) {
        return DefWindowProcW(frame, WM_NOTIFY, notification->idFrom,
                              reinterpret_cast<LPARAM>(header));
    }
    if (notification->code == NM_CUSTOMDRAW) {
        return list->custom_draw(const_cast<void*>(header));
    }
    for (const Event& event : list->notify(header)) {
        deliver(event);
    }
    return 0;
}

long long Win32Window::handle_message(WindowHandle window, unsigned message,
                                      unsigned long long wparam, long long lparam) {
    switch (message) {
    case kRunCalls:
        m_calls->run_pending();
        return 0;
    case WM_TIMER:
        if (window == m_messages && wparam == kStatusTimer) {
            flush_status();
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        // Labels, group boxes and buttons on the windows' button-face background.
        SetBkMode(reinterpret_cast<HDC>(wparam), TRANSPARENT);
        SetTextColor(reinterpret_cast<HDC>(wparam), GetSysColor(COLOR_BTNTEXT));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_NOTIFY:
        return handle_notify(window, reinterpret_cast<const NMHDR*>(lparam));
    case WM_COMMAND: {
        const int id = LOWORD(wparam);
        if (const auto popup = popup_of(window); popup && lparam == 0 && id == IDCANCEL) {
            // Escape in a pop-up window: what its close box does.
            deliver(CloseRequestEvent{*popup});
            return 0;
        }
        if (lparam == 0 && window == m_main) {
            // A shortcut key (notification code 1) chooses its item only while the item is
            // not greyed, as a click would.
            if (HIWORD(wparam) != 1 || menu_item_enabled(id)) {
                deliver(MenuCommandEvent{id});
            }
            return 0;
        }
        if (HIWORD(wparam) == BN_CLICKED) {
            if (const Control* control = find(id);
                control != nullptr &&
                (control->kind == ControlKind::Button || control->kind == ControlKind::CheckBox)) {
                deliver(ControlEvent{id, ListEventType::Other});
            }
            return 0;
        }
        if (HIWORD(wparam) == EN_CHANGE) {
            // The filter box reports every change of its text, a text box those the user
            // makes.
            if (const Control* control = find(id);
                control != nullptr &&
                (control->kind == ControlKind::SearchField ||
                 (control->kind == ControlKind::TextBox && !m_setting_text))) {
                deliver(ControlEvent{id, ListEventType::Other});
            }
            return 0;
        }
        break;
    }
    case DM_GETDEFID:
        // Enter presses the first button of a pop-up without text boxes (the name dialog's
        // OK); a text box takes Enter for a line break.
        if (const auto popup = popup_of(window)) {
            int default_button = 0;
            for (const auto& [number, control] : m_controls) {
                if (control.window != *popup) {
                    continue;
                }
                if (control_class(control.kind).text == TextForm::Lines) {
                    return 0;
                }
                if (control.kind == ControlKind::Button && default_button == 0) {
                    default_button = number;
                }
            }
            return default_button != 0 ? MAKELRESULT(default_button, DC_HASDEFID) : 0;
        }
        break;
    case WM_CONTEXTMENU: {
        // A right click on a list view was reported with its row; the menu key and a right
        // click elsewhere in the main window are requests of their own.
        const bool from_list = find_list(GetDlgCtrlID(reinterpret_cast<HWND>(wparam))) != nullptr;
        if (GetAncestor(window, GA_ROOT) == m_main && (!from_list || lparam == -1)) {
            POINT at{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
            if (lparam == -1) {
                GetCursorPos(&at);
            }
            deliver(ContextMenuEvent{unscaled(at.x), unscaled(at.y)});
        }
        return 0;
    }
    case WM_SIZE:
        if (window == m_main) {
            if (m_status != nullptr) {
                SendMessageW(m_status, WM_SIZE, 0, 0);
            }
            report_size();
            return 0;
        }
        break;
    case WM_CLOSE:
        if (window == m_main) {
            deliver(CloseRequestEvent{WindowId::Main});
        } else if (const auto popup = popup_of(window)) {
            deliver(CloseRequestEvent{*popup});
        }
        return 0;
    case WM_DPICHANGED: {
        m_dpi = HIWORD(wparam);
        const auto* suggested = reinterpret_cast<const RECT*>(lparam);
        SetWindowPos(window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        for (const auto& [number, control] : m_controls) {
            place(control);
        }
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

void Win32Window::set_text_marks(int control, std::vector<TextMark> marks) {
    m_calls->post([this, control, marks = std::move(marks)] {
        if (Control* found = find(control); found && found->kind == ControlKind::ReadOnlyTextBox) {
            set_marks(found->handle, marks);
        }
    });
}

void Win32Window::set_popup_title(WindowId window, const Text& title) {
    m_calls->post([this, window, title] {
        if (HWND popup = popup_handle(window); popup != nullptr) {
            SetWindowTextW(popup, to_wide(title).c_str());
        }
    });
}

void Win32Window::set_main_window_title(const Text& title) {
    m_calls->post([this, title] {
        if (m_main != nullptr) {
            SetWindowTextW(m_main, to_wide(title).c_str());
        }
    });
}

void Win32Window::set_tab_page_text(int page, const Text& text) {
    m_calls->post([this, page, text] {
        if (m_tabs == nullptr) {
            return;
        }
        std::wstring shown = without_mnemonics(text);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = shown.data();
        SendMessageW(m_tabs, TCM_SETITEMW, static_cast<WPARAM>(page),
                     reinterpret_cast<LPARAM>(&item));
        place_pages();
    });
}

void Win32Window::set_visible_rows(int control, std::vector<std::size_t> rows) {
    auto shared = std::make_shared<std::vector<std::size_t>>(std::move(rows));
    m_calls->post([this, control, shared] {
        if (VirtualList* list = find_list(control)) {
            list->set_visible_rows(std::move(*shared));
        }
    });
}

void Win32Window::set_sort_indicator(int control, int column, bool ascending) {
    m_calls->post([this, control, column, ascending] {
        if (VirtualList* list = find_list(control)) {
            list->set_sort_indicator(column, ascending);
        }
    });
}

void Win32Window::set_control_checked(int control, bool checked) {
    m_calls->post([this, control, checked] {
        if (Control* found = find(control); found && found->kind == ControlKind::CheckBox) {
            SendMessageW(found->handle, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    });
}

bool Win32Window::control_checked(int control) {
    return m_calls->ask<bool>(
        [this, control] {
            Control* found = find(control);
            return found != nullptr && found->kind == ControlKind::CheckBox &&
                   SendMessageW(found->handle, BM_GETCHECK, 0, 0) == BST_CHECKED;
        },
        false);
}

void Win32Window::focus_control(int control) {
    m_calls->post([this, control] {
        if (Control* found = find(control)) {
            SetFocus(found->handle);
            if (control_class(found->kind).window_class == std::wstring_view(L"EDIT")) {
                SendMessageW(found->handle, EM_SETSEL, 0, -1);
            }
        }
    });
}

bool Win32Window::focus_search_field(WindowId window) {
    for (const auto& [number, control] : m_controls) {
        if (control.kind == ControlKind::SearchField && control.window == window) {
            SetFocus(control.handle);
            SendMessageW(control.handle, EM_SETSEL, 0, -1);
            return true;
        }
    }
    return false;
}

} // namespace orv
