#pragma once
// What a category name must be to join the list, and where it goes in the
// list's order; the Categories dialog and the command line share them.

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model/AsciiText.h"
#include "model/CategoryList.h"

namespace almanary::CategoryRules {

enum class NameProblem {
    None,
    Unnamed,    // empty, or the reserved "<No Category>" (exactly)
    NotUnique,  // equal to a name of the list, letter case aside
};

// Checks a trimmed name about to join `names`; `replacing` is the name it
// takes the place of (a rename), which it may equal in all but letter case.
inline NameProblem checkNewName(std::string_view name, const std::vector<std::string>& names,
                                std::string_view replacing = {}) {
    if (name.empty() || name == kNoCategory)
        return NameProblem::Unnamed;
    const bool taken = std::any_of(names.begin(), names.end(), [&](const std::string& held) {
        return held != replacing && AsciiText::equalIgnoringCase(held, name);
    });
    return taken ? NameProblem::NotUnique : NameProblem::None;
}

// The length of a name as a person counts it: characters of UTF-8, not
// bytes, so the command line and the dialog's edit agree on the limit.
inline std::size_t characterCount(std::string_view name) {
    return static_cast<std::size_t>(std::count_if(name.begin(), name.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;  // not a continuation byte
    }));
}

// Where `name` goes in names sorted without regard to case: after every
// name that sorts before it or equal to it, so equal names keep the order
// they came in.
inline std::size_t sortedPosition(const std::vector<std::string>& names, std::string_view name) {
    const auto place = std::upper_bound(
        names.begin(), names.end(), name,
        [](std::string_view a, const std::string& b) { return AsciiText::lessIgnoringCase(a, b); });
    return static_cast<std::size_t>(place - names.begin());
}

// The names sorted without regard to case; equal names keep their order.
inline std::vector<std::string> sorted(std::vector<std::string> names) {
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return AsciiText::lessIgnoringCase(a, b);
    });
    return names;
}

}  // namespace almanary::CategoryRules
