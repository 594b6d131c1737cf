#include "model/NotesSearch.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "model/AsciiText.h"
#include "model/UnicodeText.h"

namespace almanary {
namespace {

constexpr bool isLowerAscii(unsigned char c) {
    return c >= 'a' && c <= 'z';
}

}  // namespace

AsciiSearcher::AsciiSearcher(std::string_view text) {
    needle_.reserve(text.size());
    std::ranges::transform(text, std::back_inserter(needle_), AsciiText::foldCase);
}

// Candidate starts are found with memchr (one byte, or the two cases of a
// letter).
bool AsciiSearcher::foundIn(std::string_view haystack) const {
    const std::size_t length = needle_.size();
    if (length == 0)
        return true;
    if (haystack.size() < length)
        return false;
    const auto first = static_cast<unsigned char>(needle_[0]);
    const bool letter = isLowerAscii(first);
    const char* const begin = haystack.data();
    const char* const last = begin + (haystack.size() - length);  // last possible start
    const char* lower = next(begin, last, first);
    const char* upper = letter ? next(begin, last, first - ('a' - 'A')) : nullptr;
    while (lower != nullptr || upper != nullptr) {
        const bool takeLower = upper == nullptr || (lower != nullptr && lower < upper);
        const char* at = takeLower ? lower : upper;
        if (restMatches(at))
            return true;
        if (takeLower) {
            lower = next(at + 1, last, first);
        } else {
            upper = next(at + 1, last, first - ('a' - 'A'));
        }
    }
    return false;
}

// The first occurrence of byte `c` in [from, last], or null.
const char* AsciiSearcher::next(const char* from, const char* last, int c) {
    if (from > last)
        return nullptr;
    return static_cast<const char*>(
        std::memchr(from, c, static_cast<std::size_t>(last - from) + 1));
}

bool AsciiSearcher::restMatches(const char* at) const {
    const std::string_view rest = std::string_view(needle_).substr(1);
    return std::ranges::equal(rest, std::string_view(at + 1, rest.size()), {}, {},
                              AsciiText::foldCase);
}

NotesSearch::NotesSearch(std::string_view text)
    : folded_(UnicodeText::foldCase(text)), asTyped_(text) {
    if (folded_ && UnicodeText::isAscii(*folded_))
        foldedAscii_.emplace(*folded_);
}

bool NotesSearch::foundIn(std::string_view notes) const {
    if (!folded_)
        return asTyped_.foundIn(notes);
    if (UnicodeText::isAscii(notes))
        return foldedAscii_ && foldedAscii_->foundIn(notes);
    if (const auto foldedNotes = UnicodeText::foldCase(notes))
        return foldedNotes->find(*folded_) != std::string::npos;
    return asTyped_.foundIn(notes);
}

}  // namespace almanary
