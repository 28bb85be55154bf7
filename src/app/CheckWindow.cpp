#include "app/CheckWindow.h"

#include <string>

#include "app/Refusal.h"
#include "app/WindowViews.h"

namespace orv {
namespace {

constexpr int kWidth = 760;
constexpr int kHeight = 360;

std::vector<ListColumn> finding_columns() {
    return {{"Art", 100}, {"Typ", 50}, {"ID", 170}, {"Hinweis", 410}};
}

Text window_title(std::size_t count) {
    return cp1252(u8"Prüfen : ") + std::to_string(count) + (count == 1 ? " Befund" : " Befunde");
}

Text nothing_found_message() {
    return cp1252(u8"DIE PRÜFUNG HAT NICHTS GEFUNDEN.\rKein Skript nennt eine umbenannte Zelle, "
                  u8"jeder Zellenverweis trifft eine Zelle,\rund kein Name wird zu lang oder "
                  u8"leer.");
}

} // namespace

CheckWindow::CheckWindow(Workspace& workspace, Window& window, Dialogs& dialogs, Files& files,
                         std::function<void(std::size_t)> open_response)
    : m_workspace(workspace), m_window(window), m_dialogs(dialogs), m_files(files),
      m_open_response(std::move(open_response)) {}

void CheckWindow::open() {
    // A worker may be filling or writing the blocks; an open pop-up may hold a row.
    if (m_workspace.busy != 0 || m_workspace.dialog_open != 0) {
        return;
    }
    const auto findings =
        check_plugin(m_workspace.store, m_workspace.lists, m_files, m_workspace.program_dir);
    if (!findings) {
        show_refusal(m_dialogs, findings.error().message);
        return;
    }
    if (findings->empty()) {
        m_dialogs.message_box("INFORMATION", nothing_found_message(), MessageButtons::Ok,
                              MessageIcon::Information);
        return;
    }

    m_lease = PopupLease::take(m_workspace, m_window);
    open_centred_popup(m_window, WindowId::Findings, window_title(findings->size()), kWidth,
                       kHeight);
    m_window.add_control(WindowId::Findings,
                         ControlSpec{check_window::kFindingList, ControlKind::ListView, "",
                                     Rect{5, 5, kWidth - 10, kHeight - 10}, finding_columns(), -1});
    std::vector<ListRow> rows;
    rows.reserve(findings->size());
    m_rows.clear();
    m_responses.clear();
    for (const Finding& finding : *findings) {
        rows.push_back(
            {finding_kind_label(finding.kind), finding.record, finding.id, finding.detail});
        m_rows.push_back(finding.row);
        m_responses.push_back(finding.response);
    }
    m_window.set_rows(check_window::kFindingList, std::move(rows), {});
}

void CheckWindow::on_control(const ControlEvent& event) {
    if (event.control == check_window::kFindingList && event.type == ListEventType::DoubleClick) {
        finding_chosen();
    }
}

void CheckWindow::finding_chosen() {
    if (!m_lease) {
        return;
    }
    const auto selected = m_window.selected_row(check_window::kFindingList);
    if (!selected || *selected >= m_rows.size()) {
        return;
    }
    if (const auto response = m_responses[*selected]; response && m_open_response) {
        // The editor is a pop-up too: one at a time.
        close();
        m_open_response(*response);
        return;
    }
    if (!m_rows[*selected]) {
        return;
    }
    const FindingRow& row = *m_rows[*selected];
    m_window.select_tab_page(row.list_index);
    m_window.select_row(list_view_of(row.list_index), row.row);
}

void CheckWindow::close() {
    if (!m_lease) {
        return;
    }
    m_window.close_popup(WindowId::Findings);
    m_window.activate_main_window();
    m_rows.clear();
    m_responses.clear();
    m_lease.reset();
}

} // namespace orv
