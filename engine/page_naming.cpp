#include "engine/page_naming.h"

#include "engine/markers.h"

namespace pw {

std::string pageName(bool composed, const std::array<std::string, 4>& tags,
                     const ColumnTable& columns) {
    if (!composed) {
        return std::string(columns.at(0)) + ".htm";
    }
    std::string name(columns.at(tagNumber(tags[0])));
    for (size_t c = 1; c < 4; ++c) {
        if (!tags[c].empty()) {
            name += '_';
            name += columns.at(tagNumber(tags[c]));
        }
    }
    name += ".htm";
    return name;
}

long long titleColumnOf(bool fromTag, const std::string& titleTag) {
    if (!fromTag || titleTag.empty()) {
        return 1;
    }
    return tagNumber(titleTag);
}

std::string namingExample(Language language, const std::array<std::string, 4>& tags,
                          const ColumnTable& columns) {
    std::string caption(pick(language, "Exemple: ", "Example: "));
    if (!tags[0].empty()) {
        caption += columns.at(tagNumber(tags[0]));
    }
    for (size_t c = 1; c < 3; ++c) {
        if (!tags[c].empty()) {
            caption += '_';
            caption += columns.at(tagNumber(tags[c]));
        }
    }
    if (!tags[3].empty()) {
        caption += '_';
        caption += columns.at(tagNumber(tags[3]));
    }
    caption += ".htm";
    return caption;
}

}  // namespace pw
