#pragma once
// Letter case and white space of byte texts, for the letters A to Z only:
// names and notes compare the same whatever the locale or encoding.

#include <algorithm>
#include <string>
#include <string_view>

namespace almanary::AsciiText {

constexpr char foldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

inline bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return foldCase(x) == foldCase(y); });
}

// The order of sorted lists: alphabetical without regard to letter case.
inline bool lessIgnoringCase(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return foldCase(x) < foldCase(y); });
}

// The text without leading and trailing white space.
inline std::string trimmed(std::string_view text) {
    constexpr std::string_view kSpace = " \t\r\n\f\v";
    const auto first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(kSpace) - first + 1));
}

}  // namespace almanary::AsciiText
