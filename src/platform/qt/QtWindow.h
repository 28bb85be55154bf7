#pragma once

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include <QTimer>

#include "platform/Events.h"
#include "platform/SizeReport.h"
#include "platform/StatusThrottle.h"
#include "platform/Window.h"
#include "platform/qt/GuiThread.h"

class QAction;
class QLabel;
class QMenu;
class QTabWidget;
class QWidget;

namespace orv {

class ListView;
class MainFrame;
class PopupFrame;
class ClientArea;

// The program's windows on Qt Widgets: the main window with menu bar, status fields, frame,
// tab bar and list views, and the two pop-up windows with their controls. Every operation
// may be called from any thread (see GuiThread); events go to the EventSink on the GUI
// thread, one at a time.
//
// Objects carry names for tests and tools: "main-window", "menu-N" for the item of command
// N, "popup-menu", "status-0" and "status-1", "tab-page-K", "popup-1" and "popup-2" for the
// pop-up windows, and "control-N" for control N.
class QtWindow final : public Window {
public:
    // Must be created on the GUI thread, after the QApplication.
    QtWindow();
    ~QtWindow() override;
    QtWindow(const QtWindow&) = delete;
    QtWindow& operator=(const QtWindow&) = delete;

    // Where the events go. After each event the window asks `quit_requested` and, once it
    // says yes, delivers nothing more and ends the application's event loop.
    void connect_events(EventSink& sink, std::function<bool()> quit_requested);
    // Shows the main window as start-up built it.
    void show();
    // The event loop has ended: the windows disappear, later changes are dropped and
    // questions from a worker are answered with nothing, so the program can wait for a
    // worker still running without it waiting for the window in turn.
    void close();

    GuiThread& gui_thread() { return m_gui; }
    // The window that owns message boxes and file dialogs: the active one of ours, else the
    // main window (null before create_main_window). GUI thread only.
    QWidget* dialog_owner() const;
    QWidget* main_widget() const;
    // How often the status fields were redrawn; texts arriving faster than every 50 ms
    // are gathered. GUI thread only.
    int status_redraws() const { return m_status_throttle.redraws(); }

    // Window
    void create_main_window(const Text& title, int inner_width, int inner_height) override;
    void set_menus(const std::vector<Menu>& menu_bar, const std::vector<MenuItem>& popup) override;
    void set_menu_item_enabled(int command, bool enabled) override;
    void create_status_bar(int field0_width, int field1_width) override;
    void set_status_text(int field, const Text& text) override;
    void add_tab_page(const Text& label) override;
    void select_tab_page(int page) override;
    Rect main_window_rect() override;
    void activate_main_window() override;
    void show_popup_menu(int x, int y) override;
    void open_popup(WindowId window, const Text& title, const Rect& rect) override;
    void close_popup(WindowId window) override;
    void add_control(WindowId window, const ControlSpec& control) override;
    void move_control(int control, const Rect& rect) override;
    void set_control_enabled(int control, bool enabled) override;
    void set_control_text(int control, const Text& text) override;
    std::optional<Text> control_text(int control) override;
    void set_rows(int control, std::vector<ListRow> rows, std::vector<RowState> states) override;
    void set_cell(int control, std::size_t row, int column, const Text& text) override;
    void set_row_state(int control, std::size_t row, RowState state) override;
    std::optional<std::size_t> selected_row(int control) override;
    Text cell_text(int control, std::size_t row, int column) override;
    void select_row(int control, std::size_t row) override;
    void set_main_window_title(const Text& title) override;
    void set_popup_title(WindowId window, const Text& title) override;
    void set_text_marks(int control, std::vector<TextMark> marks) override;
    void set_tab_page_text(int page, const Text& text) override;
    void set_visible_rows(int control, std::vector<std::size_t> rows) override;
    void set_sort_indicator(int control, int column, bool ascending) override;
    void set_control_checked(int control, bool checked) override;
    bool control_checked(int control) override;
    void focus_control(int control) override;

private:
    struct Control {
        WindowId window = WindowId::Main;
        ControlKind kind = ControlKind::Label;
        QWidget* widget = nullptr;
        // Set for list views.
        ListView* list = nullptr;
        // Where the program put it.
        Rect rect;
    };

    void deliver(const Event& event);
    void report_size();
    void place(const Control& control);
    void place_status_bar();
    QWidget* create_control_widget(const ControlSpec& definition, QWidget* parent, WindowId window);
    QWidget* parent_for(WindowId window, const ControlSpec& definition) const;
    const Control* find(int number) const;
    ListView* find_list(int number) const;
    void remove_control(int number);
    void flush_status();
    // Ctrl+F: the filter box of `window`, if it has one, gets the focus with its text selected.
    void focus_search_field(WindowId window);
    void press_default_button(WindowId window);

    GuiThread m_gui;
    EventSink* m_sink = nullptr;
    std::function<bool()> m_quit_requested;
    bool m_quitting = false;

    std::unique_ptr<MainFrame> m_main;
    ClientArea* m_client = nullptr;
    QWidget* m_status_bar = nullptr;
    std::array<QLabel*, 2> m_status_fields{};
    QTabWidget* m_tabs = nullptr;
    std::vector<QWidget*> m_pages;
    QMenu* m_popup_menu = nullptr;
    std::multimap<int, QAction*> m_actions;
    std::map<WindowId, PopupFrame*> m_popups;
    std::map<int, Control> m_controls;
    SizeReport m_size_report;
    StatusThrottle m_status_throttle;
    QTimer m_status_timer;
};

} // namespace orv
