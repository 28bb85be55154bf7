// The colours a main-window list view asks the common controls to paint its rows with. The
// list view paints a selected row with its selection colours only when the program leaves
// that row's background alone; Windows then keeps the selection visible also while another
// window (the name dialog editing that row) has the focus. Wine always paints the selection,
// so the window contract cannot see this: here the custom-draw answers are read directly.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include "platform/ListRowRules.h"
#include "platform/win32/window/Win32Window.h"

namespace orv {
namespace {

constexpr int kList = 3;
constexpr COLORREF kUntouched = CLR_DEFAULT;

COLORREF colour(RowColour row) {
    return RGB(row.red, row.green, row.blue);
}

// The background the window hands back for the row when the list view is about to paint it.
COLORREF painted_background(Win32Window& window, int row) {
    HWND list = window.control_handle(kList);
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr = {list, static_cast<UINT_PTR>(kList), static_cast<UINT>(NM_CUSTOMDRAW)};
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
    draw.clrTextBk = kUntouched;
    SendMessageW(GetParent(list), WM_NOTIFY, kList, reinterpret_cast<LPARAM>(&draw));
    return draw.clrTextBk;
}

TEST(RowColours, TheSelectedRowKeepsTheSelectionsColoursAndTheOthersTheirStates) {
    Win32Window window;
    window.create_main_window("Fenster", 400, 300);
    window.add_control(
        WindowId::Main,
        {kList, ControlKind::ListView, "", {5, 5, 380, 200}, {{"F", 20}, {"ID", 100}}, -1});
    // To do, to do, edited, edited, translated.
    window.set_rows(kList,
                    {{"", "a", "Alpha", "Alpha"},
                     {"", "b", "Beta", "Beta"},
                     {"*", "c", "Gamma", "Gammastrahl"},
                     {"*", "d", "Delta", "Deltaflug"},
                     {"B", "e", "Eta", "Etage"}},
                    {RowState::ToDo, RowState::ToDo, RowState::Edited, RowState::Edited,
                     RowState::FromDatabase});
    struct Row {
        int selected;
        std::vector<COLORREF> backgrounds;
    };
    const COLORREF to_do = colour(kToDoBackground);
    const COLORREF edited = colour(kEditedBackground);
    for (const Row& row : std::vector<Row>{{0, {kUntouched, to_do, edited, edited, kUntouched}},
                                           {3, {to_do, to_do, edited, kUntouched, kUntouched}}}) {
        SCOPED_TRACE(row.selected);
        window.select_row(kList, static_cast<std::size_t>(row.selected));
        // The focus elsewhere, as while the name dialog is open.
        SetFocus(nullptr);
        std::vector<COLORREF> backgrounds;
        for (int shown = 0; shown < 5; ++shown) {
            backgrounds.push_back(painted_background(window, shown));
        }
        EXPECT_EQ(backgrounds, row.backgrounds);
    }
}

} // namespace
} // namespace orv
