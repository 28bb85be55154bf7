#include "app/Application.h"
#include "app/LearnCommand.h"

#include <utility>
#include <variant>

#include <array>

#include "app/CheckWindow.h"
#include "app/CommandIds.h"
#include "app/ConfigFile.h"
#include "app/ConfiguredFolders.h"
#include "app/FileCommands.h"
#include "app/HelpFile.h"
#include "app/MainMenu.h"
#include "app/MainWindow.h"
#include "app/NameEditDialog.h"
#include "app/Popup.h"
#include "app/Refusal.h"
#include "app/ResetCommand.h"
#include "app/SaveCheck.h"
#include "app/ShellMessages.h"
#include "app/TextEditor.h"
#include "app/UnsavedWork.h"
#include "app/WindowViews.h"
#include "app/Workbench.h"
#include "app/Workspace.h"
#include "plugin/RecordTypes.h"
#include "translation/Suggestions.h"
#include "translation/TranslationDatabase.h"

namespace orv {
namespace {

using FileCommand = void (*)(FileCommandContext&);

} // namespace

// The shell state: one instance per process, touched only by the thread that handles the
// window events, except for the workspace, which a file command's worker uses while the
// busy flag is set.
struct Application::State {
    State(std::filesystem::path program_dir, Window& window, Dialogs& dialogs, Files& files,
          Threads& threads)
        : window(window), dialogs(dialogs), files(files), threads(threads),
          folders(files, program_dir, settings), file_context{workspace, window, dialogs, files,
                                                              folders},
          name_edit(workspace, window, dialogs,
                    [this](const ListPosition& edited) { name_recorded(edited); }),
          text_editor(workspace, window, dialogs, files, [this] { workbench.show_counts(); }),
          check_window(workspace, window, dialogs, files,
                       [this](std::size_t response) { text_editor.open_on_response(response); }),
          workbench(workspace, window) {
        workspace.program_dir = std::move(program_dir);
        file_context.lists_changed = [this] { lists_changed(); };
        workspace.suggestions.set_reader(
            [this] { return load_suggestions(this->files, workspace.program_dir); });
    }

    void on(const MenuCommandEvent& event);
    void on(const ControlEvent& event);
    void on(const CloseRequestEvent& event);
    void on(const ContextMenuEvent& event);
    void on(const ColumnClickEvent& event);
    void on(const ResizeEvent& event);

    void on_main_window_control(const ControlEvent& event);
    void on_list_event(const ControlEvent& event);
    void name_recorded(const ListPosition& edited);
    void lists_changed();
    bool confirm_quitting();
    void start_worker(FileCommand command);
    bool checked_before_saving();

    Window& window;
    Dialogs& dialogs;
    Files& files;
    Threads& threads;
    Workspace workspace;
    Settings settings;
    ConfiguredFolders folders;
    FileCommandContext file_context;
    NameEditDialog name_edit;
    TextEditor text_editor;
    CheckWindow check_window;
    Workbench workbench;
    // Each pop-up handles the events of its own controls and close box.
    std::array<Popup*, 3> popups{&name_edit, &text_editor, &check_window};

    // The row of the last event of an object list, and that list (-1 before the first
    // such event): what "Bearbeiten" and a double click open the name-edit dialog for.
    ClickedRow clicked_row;
    int clicked_list = -1;
    bool quit = false;
};

void Application::State::on(const MenuCommandEvent& event) {
    switch (event.command) {
    case command::kOpen:
        start_worker(open_command);
        return;
    case command::kSave:
    case command::kSaveAs:
        if (checked_before_saving()) {
            start_worker(event.command == command::kSave ? save_command : save_as_command);
        }
        return;
    case command::kQuit:
        quit = confirm_quitting();
        return;
    case command::kCheck:
        check_window.open();
        return;
    case command::kLearnFromTranslation:
        start_worker(learn_command);
        return;
    case command::kResetExternalDatabase:
        reset_external_database_with_question(dialogs, files,
                                              external_database_path(workspace.program_dir));
        return;
    case command::kHelp:
        dialogs.show_help(help_page(workspace.program_dir));
        return;
    case command::kAbout:
        show_about(dialogs);
        return;
    case command::kEditName:
        name_edit.open(clicked_row, clicked_list);
        return;
    default:
        break;
    }
    if (command::kEditTexts.contains(event.command)) {
        text_editor.open(
            kEditorKinds[static_cast<std::size_t>(event.command - command::kEditTexts.first)]);
    }
    // Any other number is ignored.
}

void Application::State::on(const ControlEvent& event) {
    if (kMainWindowControls.contains(event.control)) {
        on_main_window_control(event);
        return;
    }
    for (Popup* popup : popups) {
        if (popup->controls().contains(event.control)) {
            popup->on_control(event);
            return;
        }
    }
}

void Application::State::on_main_window_control(const ControlEvent& event) {
    if (is_list_view(event.control)) {
        on_list_event(event);
    } else if (event.control == kFilterField || event.control == kOnlyUntranslatedBox ||
               event.control == kShowNamelessBox) {
        // A worker owns the lists; it applies the filter as its last step.
        if (workspace.busy == 0) {
            workbench.apply_filter();
        }
    }
}

void Application::State::on_list_event(const ControlEvent& event) {
    // The row is taken from the view, not from the element list: a worker may be filling
    // the elements right now, while the view is safe to ask from this thread.
    const int list_index = event.control - kFirstListControl;
    const auto selected = window.selected_row(event.control);
    const auto cell = [&](Column column) {
        return selected ? window.cell_text(event.control, *selected, static_cast<int>(column))
                        : Text{};
    };
    clicked_row = ClickedRow{RowMark::shown_as(cell(Column::Mark)), cell(Column::Id),
                             cell(Column::EvName), cell(Column::DvName),
                             Text(kRecordTypes[static_cast<std::size_t>(list_index)].label)};
    clicked_list = list_index;

    switch (event.type) {
    case ListEventType::DoubleClick:
    case ListEventType::EditKey:
        if (workspace.busy != 0) {
            show_wait_message(dialogs);
        } else {
            name_edit.open(clicked_row, list_index);
        }
        return;
    case ListEventType::RightClick:
        // The popup menu itself is shown by the context-menu request that the platform
        // sends for the same click, so that one click shows it once.
        window.activate_main_window();
        return;
    case ListEventType::Other:
    case ListEventType::StoreKey:
    case ListEventType::PickKey:
        return;
    }
}

// Names typed and texts stored but not saved are lost on quitting, so with such work the
// question is about it; the Yes to it is the confirmation. While a worker runs it owns the lists (a
// save is turning "*" into "Ü" right then), so only the plain confirmation is asked.
bool Application::State::confirm_quitting() {
    // Text typed into the open text editor is asked about first; No keeps it, and the program.
    if (!text_editor.may_discard_translation()) {
        return false;
    }
    if (workspace.busy == 0) {
        if (const auto work = unsaved_work(workspace.lists, workspace.stored_texts); work.any()) {
            return may_discard_unsaved_work(dialogs, work, DiscardingCommand::Quit);
        }
    }
    return confirm_quit(dialogs);
}

// The name dialog recorded a name and closed: the counts follow the new marks, a row that
// the filter no longer keeps goes, and the selection moves on to the next row still to do.
void Application::State::name_recorded(const ListPosition& edited) {
    workbench.show_counts();
    // All lists: a cell's name spreads to its path grid.
    workbench.apply_filter();
    if (const auto next = workbench.next_row_to_do(edited.list_index, edited.row)) {
        window.select_row(list_view_of(edited.list_index), *next);
    }
}

// On the worker, after an Open or a Save: the suggestions are forgotten, to be read again on
// their next use (a save adds to the memory), and the window shows the new counts and
// filters the new rows.
void Application::State::lists_changed() {
    workspace.suggestions.forget();
    // A topic file that cannot be read only leaves the database's names out of the
    // rename rule; the save itself refuses such a file.
    auto topics = read_topic_names(files, workspace.program_dir);
    workspace.topic_database = topics ? std::move(*topics) : PairFile{};
    workbench.show_counts();
    workbench.apply_filter();
}

void Application::State::on(const CloseRequestEvent& event) {
    if (event.window == WindowId::Main) {
        quit = confirm_quitting();
        return;
    }
    for (Popup* popup : popups) {
        if (popup->window() == event.window) {
            popup->on_close_box();
            return;
        }
    }
}

// The platform sends one context-menu request per user request, a right click on a list
// view included (after that view's control event), at the mouse position.
void Application::State::on(const ContextMenuEvent& event) {
    window.show_popup_menu(event.x, event.y);
}

void Application::State::on(const ColumnClickEvent& event) {
    // An open pop-up or a running worker holds a row of the lists by its index; sorting
    // would move that row away under it.
    if (workspace.dialog_open != 0 || workspace.busy != 0) {
        return;
    }
    if (!is_list_view(event.control) || event.column < 0 || event.column >= kColumnCount) {
        return;
    }
    const int list_index = event.control - kFirstListControl;
    const bool ascending = workspace.lists.list(list_index).sort_direction > 0;
    workspace.lists.sort_by_column(list_index, static_cast<Column>(event.column));
    // Row r of the view must stay element r of the list.
    WindowLoaderView(window).show_rows(list_index, workspace.lists.list(list_index).elements);
    workbench.apply_filter(list_index);
    window.set_sort_indicator(event.control, event.column, ascending);
}

void Application::State::on(const ResizeEvent& event) {
    relayout_main_window(window, event);
}

// Save and Save-as check the plugin first, here on the main thread while no worker owns it
// (the check takes milliseconds even on the largest plugins); "Nein" to the question shows
// the findings instead of saving. A plugin the save refuses anyway (a master file) is left
// to the save's own refusal.
bool Application::State::checked_before_saving() {
    if (workspace.busy != 0 || !workspace.store.loaded() || workspace.store.is_master_file()) {
        return true;
    }
    if (check_before_saving(workspace, dialogs, files) == SaveCheckAnswer::Save) {
        return true;
    }
    check_window.open();
    return false;
}

void Application::State::start_worker(FileCommand command) {
    // A worker that still runs has not yet disabled the command menu items (it is showing
    // its file dialog or question); a second worker beside it would share the blocks and
    // lists, so the command is ignored.
    if (workspace.busy != 0) {
        return;
    }
    // The previous worker set the flag as its very last step, so it is done: waiting for
    // it only releases the thread.
    if (workspace.worker_ended != 0) {
        threads.dispose();
        workspace.worker_ended = 0;
    }
    // Set before the thread starts, not after: a quick worker clears the flag as its last
    // step, and setting it afterwards would leave it set with no worker running.
    workspace.busy = 1;
    threads.start([this, command] { command(file_context); });
}

Application::Application(std::filesystem::path program_dir, Window& window, Dialogs& dialogs,
                         Files& files, Threads& threads)
    : m_state(std::make_unique<State>(std::move(program_dir), window, dialogs, files, threads)) {}

Application::~Application() {
    // The worker uses the state; it must be done before the state goes.
    shut_down();
}

void Application::start() {
    State& state = *m_state;
    state.settings = read_settings(state.files, state.workspace.program_dir);
    state.workspace.store = BlockStore(state.settings.bank);
    build_main_window(state.window, state.settings);
}

void Application::handle(const Event& event) {
    State& state = *m_state;
    std::visit([&state](const auto& concrete) { state.on(concrete); }, event);
}

bool Application::quit_requested() const {
    return m_state->quit;
}

void Application::shut_down() {
    m_state->threads.dispose();
}

} // namespace orv
