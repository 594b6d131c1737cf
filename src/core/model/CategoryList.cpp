#include "model/CategoryList.h"

#include <algorithm>
#include <utility>

#include "model/AsciiText.h"

namespace almanary {

CategoryList::CategoryList(const std::vector<std::string>& names) {
    const auto end = std::find_if(names.begin(), names.end(),
                                  [](const std::string& name) { return name.empty(); });
    names_.assign(names.begin(), end);
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
    return std::find(names_.begin(), names_.end(), name) != names_.end();
}

}  // namespace almanary
