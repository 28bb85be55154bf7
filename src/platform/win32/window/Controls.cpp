#include "platform/win32/window/Controls.h"

#include <algorithm>
#include <array>

#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

#include "platform/win32/window/WideText.h"

namespace orv {
namespace {

constexpr std::size_t kTextBoxLimit = 65536;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kTextBox =
    kChild | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;

// In the order of ControlKind.
const std::array<ControlClass, 12> kControlClasses = {{
    {L"BUTTON", kChild | BS_GROUPBOX, 0, TextForm::Caption, true},
    {WC_TABCONTROLW, kChild | WS_TABSTOP, 0, TextForm::None, false},
    {WC_LISTVIEWW,
     kChild | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
     WS_EX_CLIENTEDGE, TextForm::None, false},
    {L"STATIC", kChild | SS_LEFT | SS_NOPREFIX, 0, TextForm::Plain, true},
    {L"STATIC", kChild | SS_RIGHT | SS_NOPREFIX, 0, TextForm::Plain, true},
    {L"EDIT", kChild | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, TextForm::Plain, false},
    {L"BUTTON", kChild | WS_TABSTOP | BS_PUSHBUTTON, 0, TextForm::Caption, false},
    {L"EDIT", kTextBox, WS_EX_CLIENTEDGE, TextForm::Lines, false},
    // A rich edit control: it can highlight stretches of its text.
    {MSFTEDIT_CLASS, kTextBox | ES_READONLY, WS_EX_CLIENTEDGE, TextForm::Lines, false},
    {L"EDIT", kChild | WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY, WS_EX_CLIENTEDGE, TextForm::Plain,
     false},
    {L"EDIT", kChild | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, TextForm::Plain, false},
    {L"BUTTON", kChild | WS_TABSTOP | BS_AUTOCHECKBOX, 0, TextForm::Caption, false},
}};

std::wstring shown(TextForm form, const Text& text) {
    switch (form) {
    case TextForm::Plain:
        return to_wide(text);
    case TextForm::Caption:
        return without_mnemonics(text);
    case TextForm::Lines: {
        std::wstring lines = with_crlf(text);
        if (lines.size() > kTextBoxLimit) {
            lines.resize(kTextBoxLimit);
        }
        return lines;
    }
    case TextForm::None:
        break;
    }
    return {};
}

} // namespace

const ControlClass& control_class(ControlKind kind) {
    return kControlClasses[static_cast<std::size_t>(kind)];
}

HWND create_control(const ControlSpec& definition, HWND parent, const Rect& rect, HFONT font) {
    const ControlClass& kind = control_class(definition.kind);
    if (definition.kind == ControlKind::ReadOnlyTextBox) {
        // The rich edit control's class comes with its library, loaded once for the process.
        static const HMODULE rich_edit = LoadLibraryW(L"Msftedit.dll");
        (void)rich_edit;
    }
    HWND control = CreateWindowExW(
        kind.extended_style, kind.window_class, shown(kind.text, definition.text).c_str(),
        kind.style, rect.left, rect.top, std::max(rect.width, 0), std::max(rect.height, 0), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(definition.number)), GetModuleHandleW(nullptr),
        nullptr);
    if (control == nullptr) {
        return nullptr;
    }
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (kind.text == TextForm::Lines) {
        SendMessageW(control, EM_SETLIMITTEXT, kTextBoxLimit, 0);
    }
    return control;
}

Rect fitted(HWND control, ControlKind kind, const Rect& rect) {
    if (kind != ControlKind::RightAlignedLabel) {
        return rect;
    }
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    HDC context = GetDC(control);
    const auto old =
        SelectObject(context, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE needed{};
    GetTextExtentPoint32W(context, text.c_str(), static_cast<int>(text.size()), &needed);
    SelectObject(context, old);
    ReleaseDC(control, context);
    const int grow = std::min(rect.left, static_cast<int>(needed.cx) + 2 - rect.width);
    return grow > 0 ? Rect{rect.left - grow, rect.top, rect.width + grow, rect.height} : rect;
}

void set_text(HWND control, ControlKind kind, const Text& text) {
    const TextForm form = control_class(kind).text;
    if (form != TextForm::None) {
        SetWindowTextW(control, shown(form, text).c_str());
    }
    if (kind == ControlKind::ReadOnlyTextBox) {
        set_marks(control, {});
    }
}

void set_marks(HWND control, const std::vector<TextMark>& marks) {
    CHARFORMAT2W plain{};
    plain.cbSize = sizeof plain;
    plain.dwMask = CFM_BACKCOLOR;
    plain.dwEffects = CFE_AUTOBACKCOLOR;
    SendMessageW(control, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&plain));
    CHARFORMAT2W marked{};
    marked.cbSize = sizeof marked;
    marked.dwMask = CFM_BACKCOLOR;
    marked.crBackColor = RGB(kMarkBackground.red, kMarkBackground.green, kMarkBackground.blue);
    // The marks are set through the selection, which is put back afterwards.
    CHARRANGE kept{};
    SendMessageW(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    for (const TextMark& mark : marks) {
        CHARRANGE range{static_cast<LONG>(mark.offset),
                        static_cast<LONG>(mark.offset + mark.length)};
        SendMessageW(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        SendMessageW(control, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&marked));
    }
    SendMessageW(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&kept));
}

std::optional<Text> get_text(HWND control, ControlKind kind) {
    const TextForm form = control_class(kind).text;
    if (form == TextForm::None) {
        return Text{};
    }
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    if (form == TextForm::Lines) {
        // A rich edit control ends its lines with a CR alone: every box gives CR LF.
        text = with_crlf(std::wstring_view(text));
    }
    if (form == TextForm::Caption) {
        // Back from the doubled "&" of a caption.
        for (std::size_t at = text.find(L"&&"); at != std::wstring::npos;
             at = text.find(L"&&", at + 1)) {
            text.erase(at, 1);
        }
    }
    return from_wide(text);
}

} // namespace orv
