#pragma once
// The category names as the Categories dialog and the command line change
// them: kept in alphabetical order without regard to letter case (equal
// names in the order they came), with the rules of adding and renaming.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/CategoryList.h"

namespace almanary {

class CategoryEditor {
public:
    enum class Problem {
        None,
        Unnamed,        // empty, or the reserved "<No Category>" (exactly)
        NotUnique,      // equal to another name, letter case (as Unicode folds it) aside
        TooLong,        // over kMaxLength characters
        RenamedToNone,  // a rename to nothing (a delete is meant)
    };
    // Which checks a rename makes: none of the add rules (the dialog's
    // rename), or all of them against the other names (the command line).
    enum class RenameRule { Lenient, AsAdd };

    // What a change did: its problem, or where the new name now stands.
    struct Change {
        Problem problem = Problem::None;
        std::size_t index = 0;
    };

    static constexpr std::size_t kMaxLength = 20;

    explicit CategoryEditor(const CategoryList& list);

    const std::vector<std::string>& names() const { return names_; }
    CategoryList list() const { return CategoryList(names_); }
    // The index of the name, compared byte for byte.
    std::optional<std::size_t> indexOf(std::string_view name) const;

    // Adds the name without leading and trailing white space.
    Change add(std::string_view typed);
    // The name at `index` becomes the typed one, trimmed, in its sorted place.
    Change rename(std::size_t index, std::string_view typed, RenameRule rule);
    void remove(std::size_t index);

    // The length of a name as a person counts it: characters of UTF-8, not
    // bytes, so the command line and the dialog's edit agree on the limit.
    static std::size_t characterCount(std::string_view name);

private:
    // The add rules for `name`, leaving out the entry at `skipped`.
    Problem check(std::string_view name, std::optional<std::size_t> skipped) const;
    std::size_t insertSorted(std::string name);

    std::vector<std::string> names_;
};

}  // namespace almanary
