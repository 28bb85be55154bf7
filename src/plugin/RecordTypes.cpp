#include "plugin/RecordTypes.h"

namespace orv {

std::optional<int> object_type_of(TextView tag) {
    for (const auto& type : kRecordTypes) {
        if (type.tag == tag) {
            return type.index;
        }
    }
    return std::nullopt;
}

std::optional<int> object_type_labelled(TextView label) {
    for (const auto& type : kRecordTypes) {
        if (type.label == label) {
            return type.index;
        }
    }
    return std::nullopt;
}

} // namespace orv
