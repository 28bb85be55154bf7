#pragma once

#include <filesystem>
#include <optional>

#include "app/CommandIds.h"
#include "app/ConfigFile.h"
#include "app/WindowViews.h"
#include "platform/Events.h"
#include "platform/Window.h"
#include "plugin/RecordTypes.h"

namespace orv {

// Where the filter row, the frame, the tab bar and each list view go in a main window whose
// inner width is `width` and whose inner height, menu bar included, is `height`. The list
// view's rect is relative to its tab page. The filter row keeps its place; frame and tab
// bar lie below it.
struct MainLayout {
    Rect frame;
    Rect tab_bar;
    Rect list_view;
    Rect filter_label;
    Rect filter_field;
    Rect only_untranslated;
    Rect show_nameless;

    bool operator==(const MainLayout&) const = default;
};

// The layout after a size change, with the list views at 0, 0 of their pages; nothing when
// a control would get a negative width or height (a minimised window), which is never
// applied.
std::optional<MainLayout> main_layout(int width, int height);

// The two status fields: a quarter of the width (integer division) and the rest. They are
// fixed at start-up and do not follow later size changes.
struct StatusWidths {
    int file_field = 0;
    int progress_field = 0;
};
StatusWidths status_widths(int width);

// Opens the main window as the settings size it: title, menus (with the items that need a
// plugin greyed), status bar, frame, tab bar and the list views, page 0 selected, and
// "Datei :" in status field 0.
void build_main_window(Window& window, const Settings& settings);

// The main window's title: the program's, then the loaded plugin's file name, and " *"
// while it has names typed or texts stored but not saved.
Text main_window_title(const std::filesystem::path& plugin, bool unsaved);

// Re-lays out frame, tab bar and all list views (also those on hidden pages) after a
// size change. A minimised window is left alone.
void relayout_main_window(Window& window, const ResizeEvent& resize);

} // namespace orv
