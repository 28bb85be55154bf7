#pragma once

#include "save/SavePipeline.h"
#include "translation/PluginLoader.h"

namespace orv::bench {

// Views that show nothing: the benchmarks measure the core, not a window.
class NullLoaderView final : public LoaderView {
public:
    void show_progress(const Text&) override {}
    void show_rows(int, const std::vector<Element>&) override {}
};

class NullSaveView final : public SaveView {
public:
    void show_progress(const Text&) override {}
    void show_mark(int, std::size_t, const Element&) override {}
};

// Every tenth object row edited by hand, as before a real save.
inline void edit_rows(ObjectLists& lists) {
    for (int list_index = 0; list_index < kObjectListCount; ++list_index) {
        auto& elements = lists.list(list_index).elements;
        for (std::size_t row = 0; row < elements.size(); row += 10) {
            if (elements[row].mark != mark::kShipped && elements[row].mark != mark::kNoName) {
                lists.set_mark_and_dv_name(list_index, row, mark::kEdited,
                                           "Neu " + elements[row].id);
            }
        }
    }
}

} // namespace orv::bench
