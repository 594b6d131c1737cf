#include "model/UnicodeText.h"

#include <climits>
#include <cstdint>
#include <cstring>

#include <unicode/stringoptions.h>
#include <unicode/ustring.h>
#include <unicode/utypes.h>

#include "model/AsciiText.h"

namespace almanary::UnicodeText {
namespace {

// ICU counts in int32_t; a folded text is at most three times as long.
constexpr std::size_t kLongestText = INT32_MAX / 3;

// Runs an ICU call that fills `out` and returns the length it needs; the
// call is made again with room enough when the first guess was short.
template <typename Text, typename Fill>
bool fillWith(Text& out, Fill&& fill) {
    UErrorCode status = U_ZERO_ERROR;
    std::int32_t length = fill(out.data(), static_cast<std::int32_t>(out.size()), status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        out.resize(static_cast<std::size_t>(length));
        status = U_ZERO_ERROR;
        length = fill(out.data(), static_cast<std::int32_t>(out.size()), status);
    }
    if (U_FAILURE(status))
        return false;
    out.resize(static_cast<std::size_t>(length));
    return true;
}

}  // namespace

bool isAscii(std::string_view text) {
    // Eight bytes at a time: the notes search asks this of every note.
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + i, 8);
        if ((word & kHighBits) != 0)
            return false;
    }
    for (; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0x80) != 0)
            return false;
    }
    return true;
}

std::optional<std::string> foldCase(std::string_view text) {
    if (text.size() > kLongestText)
        return std::nullopt;
    const auto length = static_cast<std::int32_t>(text.size());
    // UTF-16 takes at most one unit for each byte of UTF-8.
    std::u16string wide(text.size(), u'\0');
    const bool read = fillWith(wide, [&](char16_t* out, std::int32_t room, UErrorCode& status) {
        std::int32_t written = 0;
        u_strFromUTF8(out, room, &written, text.data(), length, &status);
        return written;
    });
    if (!read)
        return std::nullopt;  // not valid UTF-8
    std::u16string folded(wide.size(), u'\0');
    const bool foldedAll =
        fillWith(folded, [&](char16_t* out, std::int32_t room, UErrorCode& status) {
            return u_strFoldCase(out, room, wide.data(), static_cast<std::int32_t>(wide.size()),
                                 U_FOLD_CASE_DEFAULT, &status);
        });
    std::string utf8(folded.size() * 3, '\0');
    const bool wrote =
        foldedAll && fillWith(utf8, [&](char* out, std::int32_t room, UErrorCode& status) {
            std::int32_t written = 0;
            u_strToUTF8(out, room, &written, folded.data(),
                        static_cast<std::int32_t>(folded.size()), &status);
            return written;
        });
    if (!wrote)
        return std::nullopt;
    return utf8;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (isAscii(a) && isAscii(b))
        return AsciiText::equalIgnoringCase(a, b);
    const auto foldedA = foldCase(a);
    const auto foldedB = foldCase(b);
    if (!foldedA || !foldedB)
        return AsciiText::equalIgnoringCase(a, b);
    return *foldedA == *foldedB;
}

}  // namespace almanary::UnicodeText
