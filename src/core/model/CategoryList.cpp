#include "model/CategoryList.h"

#include <algorithm>
#include <utility>

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

bool CategoryList::contains(const std::string& name) const {
    return std::find(names_.begin(), names_.end(), name) != names_.end();
}

}  // namespace almanary
