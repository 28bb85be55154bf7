#pragma once

#include "fixtures/NullViews.h"
#include "translation/ObjectLists.h"

namespace orv::bench {

// The benchmarks measure the core, not a window.
using fixtures::NullLoaderView;
using fixtures::NullSaveView;

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
