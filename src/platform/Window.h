#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "platform/Text.h"
#include "platform/TextMarks.h"

namespace orv {

// The windows of the program: the main window and the pop-up windows (name edit, text
// editor, the check's findings). The numbers of the pop-ups are those a close request
// carries.
enum class WindowId { Main = 0, NameEdit = 1, TextEditor = 2, Findings = 3 };

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const Rect&) const = default;
};

enum class ControlKind {
    GroupBox,
    TabBar,
    // A report-style list view with columns, single full-row selection shown also without
    // focus, grid lines.
    ListView,
    Label,
    RightAlignedLabel,
    EditField,
    Button,
    // Multi-line rich-text boxes with a vertical scroll bar, Arial 10 pt, at most 65,536
    // characters. A TextBox reports each change the user makes to its text as a control
    // event; set_control_text reports nothing.
    TextBox,
    ReadOnlyTextBox,
    // A single-line edit field that can be read and selected but not typed into.
    ReadOnlyEditField,
    // A filter box (the main window's, the text editor's): a single-line edit field that
    // reports every change of its text as a control event, and that Ctrl+F in its window gives
    // the keyboard focus.
    SearchField,
    // A check box with its text; each click by the user is a control event. Starts off.
    CheckBox,
};

// A column of a list view. (Named apart from the object lists' Column, the enum that
// picks a column's text, since both live in namespace orv.)
struct ListColumn {
    Text title;
    int width = 0;

    bool operator==(const ListColumn&) const = default;
};

// A control as the program creates it. Numbers are unique across all windows, so one
// event dispatcher tells every control apart.
struct ControlSpec {
    int number = 0;
    ControlKind kind = ControlKind::Label;
    Text text;
    Rect rect;
    // List views only.
    std::vector<ListColumn> columns;
    // Main-window list views only: the tab page that holds the view.
    int tab_page = -1;
    // Pop-up list views only: Alt+1 to Alt+9 anywhere in the pop-up window choose the
    // view's first nine rows (reported as PickKey with the row).
    bool pick_keys = false;
};

// The keys that choose a menu item wherever the main window has the focus. A greyed item's
// key does nothing.
enum class MenuShortcut { None, CtrlO, CtrlS, F1 };

// The command of a menu item that is a separator line.
inline constexpr int kMenuSeparator = 0;

// A menu item; command kMenuSeparator is a separator. An "&" in the text marks the next letter as
// the item's mnemonic (Alt+letter on a menu title, the letter alone in an open menu); "&&" is a
// plain "&". The shortcut's key name (shortcut_text) is shown at the item's right.
struct MenuItem {
    int command = 0;
    Text text;
    MenuShortcut shortcut = MenuShortcut::None;

    bool operator==(const MenuItem&) const = default;
};

// The key name shown beside a menu item, in German as both window systems show it:
// "Strg+O", "Strg+S", "F1"; empty for none.
inline Text shortcut_text(MenuShortcut shortcut) {
    switch (shortcut) {
    case MenuShortcut::CtrlO:
        return "Strg+O";
    case MenuShortcut::CtrlS:
        return "Strg+S";
    case MenuShortcut::F1:
        return "F1";
    case MenuShortcut::None:
        break;
    }
    return {};
}

// A menu of the menu bar; its title may carry a mnemonic like an item's text.
struct Menu {
    Text title;
    std::vector<MenuItem> items;

    bool operator==(const Menu&) const = default;
};

// One row of a list view: its cells' texts, column by column.
using ListRow = std::vector<Text>;

// What a row of an object list is, as the program's lists decide it. A backend draws the
// rows of each state alike (see ListRowRules.h) and never reads a state from the texts.
enum class RowState {
    // No German name known yet: the DV Name is still the EV Name, without a mark.
    ToDo,
    // Named from the shipped database (mark "B"); not editable.
    FromDatabase,
    // Named from the external database, saved, or already German in the plugin.
    Translated,
    // A name typed by the user and not yet saved (mark "*").
    Edited,
    // A record without a name (mark "E"); not editable.
    Nameless,
};

// What the program draws. All texts are Windows-1252; a backend converts them where they
// are shown. Texts of text boxes carry line breaks as CR LF in both directions, and
// messages use a lone CR as line break. Every operation may be called from a worker
// thread: a backend forwards it to the thread that owns the windows (queued for changes,
// waiting for an answer for the operations that return one).
class Window {
public:
    virtual ~Window() = default;

    // The main window: title, inner size (menu bar included), centred on the screen.
    virtual void create_main_window(const Text& title, int inner_width, int inner_height) = 0;
    virtual void set_menus(const std::vector<Menu>& menu_bar,
                           const std::vector<MenuItem>& popup) = 0;
    virtual void set_menu_item_enabled(int command, bool enabled) = 0;
    virtual void create_status_bar(int field0_width, int field1_width) = 0;
    virtual void set_status_text(int field, const Text& text) = 0;
    virtual void add_tab_page(const Text& label) = 0;
    virtual void select_tab_page(int page) = 0;
    // The main window's position and size on the screen, for centring the pop-ups.
    virtual Rect main_window_rect() = 0;
    virtual void activate_main_window() = 0;
    virtual void show_popup_menu(int x, int y) = 0;

    virtual void open_popup(WindowId window, const Text& title, const Rect& rect) = 0;
    virtual void close_popup(WindowId window) = 0;

    virtual void add_control(WindowId window, const ControlSpec& control) = 0;
    virtual void move_control(int control, const Rect& rect) = 0;
    virtual void set_control_enabled(int control, bool enabled) = 0;
    virtual void set_control_text(int control, const Text& text) = 0;
    // Highlights stretches of a read-only text box's text (a light yellow background on both
    // systems); the next set_control_text takes them away.
    virtual void set_text_marks(int control, std::vector<TextMark> marks) = 0;
    // The text of an edit field or text box, or nothing when it holds a character that
    // Windows-1252 cannot hold.
    virtual std::optional<Text> control_text(int control) = 0;

    // Replaces all rows of a list view at once. `states` holds one state per row for the
    // main window's object lists, and is empty for the lists of the pop-ups, which are not
    // coloured.
    virtual void set_rows(int control, std::vector<ListRow> rows, std::vector<RowState> states) = 0;
    virtual void set_cell(int control, std::size_t row, int column, const Text& text) = 0;
    // A row of an object list changed its state (with its mark).
    virtual void set_row_state(int control, std::size_t row, RowState state) = 0;
    virtual std::optional<std::size_t> selected_row(int control) = 0;
    // The text of a cell, empty for a row or column that does not exist.
    virtual Text cell_text(int control, std::size_t row, int column) = 0;
    // Selects a row and gives the view the focus.
    virtual void select_row(int control, std::size_t row) = 0;

    // The main window's title.
    virtual void set_main_window_title(const Text& title) = 0;
    // An open pop-up window's title; nothing when it is not open.
    virtual void set_popup_title(WindowId window, const Text& title) = 0;
    virtual void set_tab_page_text(int page, const Text& text) = 0;
    // Which rows a list view shows: the indices (ascending) of the rows of the last
    // set_rows, which stay the rows every other operation names. set_rows shows all rows
    // again. A selected row that is hidden is no longer selected.
    virtual void set_visible_rows(int control, std::vector<std::size_t> rows) = 0;
    // The arrow in a list view's column header that shows the order of its rows; column -1
    // removes the arrow (rows in file order).
    virtual void set_sort_indicator(int control, int column, bool ascending) = 0;
    virtual void set_control_checked(int control, bool checked) = 0;
    virtual bool control_checked(int control) = 0;
    // Gives a control the keyboard focus; an edit field's text is selected whole.
    virtual void focus_control(int control) = 0;
};

} // namespace orv
