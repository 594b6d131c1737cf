#include "model/UnicodeText.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "model/CategoryEditor.h"
#include "support/SampleEvents.h"
#include "support/ScopedTimeZone.h"

namespace almanary {
namespace {

// Letters as UTF-8 bytes, and the same words in Latin-1 as older files hold them.
const std::string kEte = "\xc3\xa9t\xc3\xa9", kEteUpper = "\xc3\x89T\xc3\x89";
const std::string kStrasse =
                      "Stra\xc3\x9f"
                      "e",
                  kUber =
                      "\xc3\x9c"
                      "ber";
const std::string kLatinEte = "\xe9t\xe9", kLatinEteUpper = "\xc9T\xc9";

TEST(UnicodeTextTest, FoldCaseIsFullUnicodeFoldingOfValidUtf8Only) {
    const struct {
        std::string text;
        std::optional<std::string> folded;
    } cases[] = {
        {"Plain ASCII", "plain ascii"},
        {kEteUpper, kEte},
        {kStrasse, "strasse"},  // one letter becomes two
        {"\xe2\x84\xaa"
         "elvin",
         "kelvin"},                                                    // the Kelvin sign folds to k
        {"\xce\xa3\xce\xaf\xcf\x83\xcf\x85\xcf\x86\xce\xbf\xcf\x82",   // Σίσυφος
         "\xcf\x83\xce\xaf\xcf\x83\xcf\x85\xcf\x86\xce\xbf\xcf\x83"},  // every sigma alike
        {"", ""},
        {kLatinEteUpper, std::nullopt},  // not UTF-8
        {"\xc3", std::nullopt},          // cut short
        {"\xed\xa0\x80", std::nullopt},  // a surrogate
        {"\xc0\xaf", std::nullopt},      // an overlong form
    };
    for (const auto& c : cases)
        EXPECT_EQ(UnicodeText::foldCase(c.text), c.folded) << c.text;
    EXPECT_TRUE(UnicodeText::isAscii("twelve bytes ok, more than eight"));
    EXPECT_FALSE(UnicodeText::isAscii("twelve bytes, then " + kEte));
}

TEST(UnicodeTextTest, CategoryNamesAreUniqueWhateverTheirLetterCase) {
    const struct {
        std::string existing, typed;
        CategoryEditor::Problem problem;
    } cases[] = {
        {kUber,
         "\xc3\xbc"
         "ber",
         CategoryEditor::Problem::NotUnique},
        {kStrasse, "STRASSE", CategoryEditor::Problem::NotUnique},
        {"Work", "wORK", CategoryEditor::Problem::NotUnique},
        {kUber, "Uber", CategoryEditor::Problem::None},              // another letter
        {kLatinEte, kLatinEteUpper, CategoryEditor::Problem::None},  // 8-bit: A to Z only
        {"Tea " + kLatinEte, "TEA " + kLatinEte, CategoryEditor::Problem::NotUnique},
    };
    for (const auto& c : cases) {
        CategoryEditor editor(CategoryList(std::vector<std::string>{c.existing}));
        EXPECT_EQ(editor.add(c.typed).problem, c.problem) << c.existing << " / " << c.typed;
    }
}

TEST(UnicodeTextTest, NotesSearchFoldsLetterCaseAsUnicodeDoes) {
    const testing::ScopedTimeZone zone("UTC");
    const EventList list = testing::listOf({{2024, 1, 1, "9", "0", "Summer " + kEteUpper},
                                            {2024, 1, 2, "9", "0", "MAIN STRASSE"},
                                            {2024, 1, 3, "9", "0", kStrasse + " 5"},
                                            {2024, 1, 4, "9", "0", "Old " + kLatinEteUpper}});
    using testing::Notes;
    const struct {
        std::string text;
        Notes expected;
    } cases[] = {
        {kEte, {"Summer " + kEteUpper}},
        {"sse", {"MAIN STRASSE", kStrasse + " 5"}},           // an ASCII text finds "ß"
        {"stra\xc3\x9f", {"MAIN STRASSE", kStrasse + " 5"}},  // "ß" finds an ASCII "SS"
        {"OLD", {"Old " + kLatinEteUpper}},                   // 8-bit notes: A to Z
        {"old " + kLatinEte, {}},
        {"oLD " + kLatinEteUpper, {"Old " + kLatinEteUpper}},  // an 8-bit text as typed
        {"", {"Summer " + kEteUpper, "MAIN STRASSE", kStrasse + " 5", "Old " + kLatinEteUpper}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(testing::notesOf(list.searchNotes(c.text)), c.expected) << c.text;
}

}  // namespace
}  // namespace almanary
