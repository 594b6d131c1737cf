#pragma once
// The document's category names, in the order the Categories dialog left
// them. The list ends at the first empty name; "<No Category>" is never
// stored in it.

#include <string>
#include <vector>

namespace almanary {

inline constexpr const char* kNoCategory = "<No Category>";

class CategoryList {
public:
    CategoryList() = default;
    // Takes names up to (not including) the first empty one.
    explicit CategoryList(const std::vector<std::string>& names);

    const std::vector<std::string>& names() const { return names_; }
    std::size_t size() const { return names_.size(); }
    bool empty() const { return names_.empty(); }

    // Appends a name; an empty one is ignored, as it would end the list.
    void append(std::string name);
    bool contains(const std::string& name) const;  // byte for byte
    // What an event's category can be: "<No Category>" and the names, in
    // alphabetical order without regard to letter case.
    std::vector<std::string> choices() const;
    bool operator==(const CategoryList&) const = default;

private:
    std::vector<std::string> names_;
};

}  // namespace almanary
