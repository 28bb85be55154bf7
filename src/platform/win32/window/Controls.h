#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Window.h"

struct HWND__;
struct HFONT__;

namespace orv {

// How a control kind carries its text.
enum class TextForm {
    None,    // tab control, list view
    Plain,   // labels and edit fields: shown as written
    Caption, // group boxes and buttons: "&" would be a mnemonic marker, so it is doubled
    Lines,   // text boxes: lines end with CR LF, at most 65,536 characters
};

// One row per control kind: the window class, its styles and its text form.
struct ControlClass {
    const wchar_t* window_class;
    unsigned long style;
    unsigned long extended_style;
    TextForm text;
    // Drawn under the controls it overlaps (frames and labels).
    bool lies_under;
};

const ControlClass& control_class(ControlKind kind);

// Creates control `definition` on `parent` at `rect` (already in pixels), with its text and font.
HWND__* create_control(const ControlSpec& definition, HWND__* parent, const Rect& rect,
                       HFONT__* font);

// Where a control goes: at `rect`, except that a right-aligned label whose text would be cut
// may use the room to its left (the program's coordinates were made for a smaller font).
Rect fitted(HWND__* control, ControlKind kind, const Rect& rect);

void set_text(HWND__* control, ControlKind kind, const Text& text);
// Highlights `marks` of a read-only text box (a rich edit control), and nothing else.
void set_marks(HWND__* control, const std::vector<TextMark>& marks);
// Nothing when the control holds a character Windows-1252 cannot hold.
std::optional<Text> get_text(HWND__* control, ControlKind kind);

} // namespace orv
