#include "app/MainWindow.h"

#include "app/CommandMenu.h"

#include <algorithm>

#include "app/MainMenu.h"
#include "platform/Files.h"
#include "platform/Version.h"

namespace orv {
namespace {

constexpr TextView kFrameText = "OBJEKT-FENSTER...";
constexpr TextView kNoFileStatus = "Datei :";

// The window's title without a plugin: "ORVENTAL v3.03a".
Text plain_title() {
    return "ORVENTAL " + Text(kVersion);
}

// The height the filter row takes above the frame.
constexpr int kFilterRowHeight = 30;

// The formulas that give the start-up size exactly the sizes the controls are created
// with; creation and re-layout must both use them.
MainLayout layout_formulas(int width, int height) {
    // The filter row lies above the frame, which the formulas move down by its height.
    constexpr int row = kFilterRowHeight;
    return {Rect{5, row, width - 10, height - 40 - row},
            Rect{10, 15 + row, width - 20, height - 60 - row},
            Rect{0, 0, width - 26, height - 87 - row},
            Rect{5, 8, 40, 20},
            Rect{50, 4, 260, 22},
            Rect{325, 5, 140, 20},
            Rect{475, 5, 120, 20}};
}

bool has_negative_size(const Rect& rect) {
    return rect.width < 0 || rect.height < 0;
}

// A configuration file may ask for a window too small for the formulas; the controls are
// then created empty rather than with negative sizes.
Rect at_least_empty(Rect rect) {
    rect.width = std::max(rect.width, 0);
    rect.height = std::max(rect.height, 0);
    return rect;
}

std::vector<ListColumn> list_columns() {
    return {{"F", 20}, {"ID", 200}, {"EV Name", 248}, {"DV Name", 248}};
}

} // namespace

std::optional<MainLayout> main_layout(int width, int height) {
    const MainLayout layout = layout_formulas(width, height);
    if (has_negative_size(layout.frame) || has_negative_size(layout.tab_bar) ||
        has_negative_size(layout.list_view)) {
        return std::nullopt;
    }
    return layout;
}

StatusWidths status_widths(int width) {
    return {std::max(width / 4, 0), std::max(width - width / 4, 0)};
}

void build_main_window(Window& window, const Settings& settings) {
    const int width = settings.window_width;
    const int height = settings.window_height;
    window.create_main_window(plain_title(), width, height);

    window.set_menus(main_menu_bar(), list_popup_menu());
    enable_command_menu_for(window, false);

    const StatusWidths widths = status_widths(width);
    window.create_status_bar(widths.file_field, widths.progress_field);

    const MainLayout layout = layout_formulas(width, height);
    window.add_control(WindowId::Main, ControlSpec{kFrameControl,
                                                   ControlKind::GroupBox,
                                                   Text(kFrameText),
                                                   at_least_empty(layout.frame),
                                                   {},
                                                   -1});
    window.add_control(
        WindowId::Main,
        ControlSpec{
            kTabBarControl, ControlKind::TabBar, {}, at_least_empty(layout.tab_bar), {}, -1});
    // At creation the list views sit one pixel into their pages; a re-layout puts them at
    // 0, 0.
    Rect list_rect = at_least_empty(layout.list_view);
    list_rect.left = 1;
    list_rect.top = 1;
    for (const RecordType& type : kRecordTypes) {
        window.add_tab_page(Text(type.label));
        window.add_control(WindowId::Main, ControlSpec{kFirstListControl + type.index,
                                                       ControlKind::ListView,
                                                       {},
                                                       list_rect,
                                                       list_columns(),
                                                       type.index});
    }
    // Every page is shown once, so that each list view has been laid out, then the first.
    for (const RecordType& type : kRecordTypes) {
        window.select_tab_page(type.index);
    }
    window.select_tab_page(0);

    window.add_control(
        WindowId::Main,
        ControlSpec{
            kFilterLabel, ControlKind::RightAlignedLabel, "Filter", layout.filter_label, {}, -1});
    window.add_control(
        WindowId::Main,
        ControlSpec{kFilterField, ControlKind::SearchField, {}, layout.filter_field, {}, -1});
    window.add_control(WindowId::Main, ControlSpec{kOnlyUntranslatedBox,
                                                   ControlKind::CheckBox,
                                                   cp1252(u8"Nur unübersetzte"),
                                                   layout.only_untranslated,
                                                   {},
                                                   -1});
    window.add_control(
        WindowId::Main,
        ControlSpec{
            kShowNamelessBox, ControlKind::CheckBox, "Leere zeigen", layout.show_nameless, {}, -1});
    // Nameless rows stay in view until the user hides them: the lists start as complete as
    // the plugin.
    window.set_control_checked(kShowNamelessBox, true);

    window.set_status_text(0, Text(kNoFileStatus));
}

Text main_window_title(const std::filesystem::path& plugin, bool unsaved) {
    Text title = plain_title();
    if (!plugin.empty()) {
        title += " - " + display_path(plugin.filename());
    }
    return unsaved ? title + " *" : title;
}

void relayout_main_window(Window& window, const ResizeEvent& resize) {
    if (resize.minimized) {
        return;
    }
    const auto layout = main_layout(resize.width, resize.height);
    if (!layout) {
        return;
    }
    window.activate_main_window();
    window.move_control(kFrameControl, layout->frame);
    window.move_control(kTabBarControl, layout->tab_bar);
    for (int control = kFirstListControl; control <= kLastListControl; ++control) {
        window.move_control(control, layout->list_view);
    }
}

} // namespace orv
