#include "model/CategoryEditor.h"

#include <algorithm>
#include <utility>

#include "model/AsciiText.h"
#include "model/UnicodeText.h"

namespace almanary {

CategoryEditor::CategoryEditor(const CategoryList& list) {
    names_.reserve(list.size());
    for (const std::string& name : list.names())
        insertSorted(name);
}

std::optional<std::size_t> CategoryEditor::indexOf(std::string_view name) const {
    const auto found = std::ranges::find(names_, name);
    if (found == names_.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - names_.begin());
}

CategoryEditor::Problem CategoryEditor::check(std::string_view name,
                                              std::optional<std::size_t> skipped) const {
    if (name.empty() || name == kNoCategory)
        return Problem::Unnamed;
    for (std::size_t i = 0; i < names_.size(); ++i) {
        if (i != skipped && UnicodeText::equalIgnoringCase(names_[i], name))
            return Problem::NotUnique;
    }
    if (characterCount(name) > kMaxLength)
        return Problem::TooLong;
    return Problem::None;
}

CategoryEditor::Change CategoryEditor::add(std::string_view typed) {
    std::string name = AsciiText::trimmed(typed);
    if (const Problem problem = check(name, std::nullopt); problem != Problem::None)
        return {problem};
    return {Problem::None, insertSorted(std::move(name))};
}

CategoryEditor::Change CategoryEditor::rename(std::size_t index, std::string_view typed,
                                              RenameRule rule) {
    std::string name = AsciiText::trimmed(typed);
    if (name.empty())
        return {Problem::RenamedToNone};
    if (rule == RenameRule::AsAdd) {
        if (const Problem problem = check(name, index); problem != Problem::None)
            return {problem};
    }
    remove(index);
    return {Problem::None, insertSorted(std::move(name))};
}

void CategoryEditor::remove(std::size_t index) {
    names_.erase(names_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::size_t CategoryEditor::characterCount(std::string_view name) {
    return static_cast<std::size_t>(std::ranges::count_if(name, [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;  // not a continuation byte
    }));
}

std::size_t CategoryEditor::insertSorted(std::string name) {
    // After every name that sorts before it or equal to it.
    const auto place = std::ranges::upper_bound(names_, name, AsciiText::lessIgnoringCase);
    const auto index = static_cast<std::size_t>(place - names_.begin());
    names_.insert(place, std::move(name));
    return index;
}

}  // namespace almanary
