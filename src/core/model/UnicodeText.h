#pragma once
// Letter case of UTF-8 texts as Unicode folds it (full case folding, so "ß"
// matches "SS" and "É" matches "é"), for the comparisons that ignore case:
// unique category names and the notes search. Pure ASCII text keeps the
// fast AsciiText folding without ICU; text that is not valid UTF-8 (from
// older 8-bit files) falls back to it. Sorted order is not affected: lists
// keep AsciiText::lessIgnoringCase.

#include <optional>
#include <string>
#include <string_view>

namespace almanary::UnicodeText {

// True when every byte is below 0x80.
bool isAscii(std::string_view text);

// The full case folding of `text`, in UTF-8; nothing when it is not valid
// UTF-8 (or beyond the lengths ICU takes).
std::optional<std::string> foldCase(std::string_view text);

// True when both texts fold to the same text; AsciiText's comparison when
// both are pure ASCII or either is not valid UTF-8.
bool equalIgnoringCase(std::string_view a, std::string_view b);

}  // namespace almanary::UnicodeText
