#pragma once
// Finding a text in event notes without regard to letter case, as Unicode
// folds it: the rule of the list's search and of a scan of a file.

#include <optional>
#include <string>
#include <string_view>

namespace almanary {

// Finds a needle folded to lower case inside a haystack, folding the
// haystack on the fly (A to Z only), without copying it.
class AsciiSearcher {
public:
    explicit AsciiSearcher(std::string_view text);
    bool foundIn(std::string_view haystack) const;

private:
    static const char* next(const char* from, const char* last, int c);
    bool restMatches(const char* at) const;

    std::string needle_;
};

// A note of pure ASCII is searched with AsciiSearcher for the folded text,
// which then must be ASCII too to be found; any other note of valid UTF-8 is
// folded with ICU; a note that is not valid UTF-8, or any note when the text
// is not, is searched for the text as typed with ASCII folding. An empty
// text is found in every note.
class NotesSearch {
public:
    explicit NotesSearch(std::string_view text);
    bool foundIn(std::string_view notes) const;

private:
    std::optional<std::string> folded_;  // nothing when the text is not UTF-8
    std::optional<AsciiSearcher> foldedAscii_;
    AsciiSearcher asTyped_;
};

}  // namespace almanary
