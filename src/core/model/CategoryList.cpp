#include "model/CategoryList.h"

#include <algorithm>
#include <utility>

#include "model/AsciiText.h"

namespace almanary {

CategoryList::CategoryList(const std::vector<std::string>& names) {
    names_.assign(names.begin(), std::ranges::find_if(names, &std::string::empty));
}

void CategoryList::append(std::string name) {
    if (!name.empty())
        names_.push_back(std::move(name));
}

std::vector<std::string> CategoryList::choices() const {
    std::vector<std::string> names{kNoCategory};
    names.insert(names.end(), names_.begin(), names_.end());
    std::ranges::stable_sort(names, AsciiText::lessIgnoringCase);
    return names;
}

bool CategoryList::contains(const std::string& name) const {
    return std::ranges::find(names_, name) != names_.end();
}

}  // namespace almanary
