#include "app/FileProblems.h"

#include <gtest/gtest.h>

#include <string>

namespace almanary {
namespace {

TEST(FileProblemsTest, EachKindHasItsMessage) {
    using Kind = AlmanaryProblem::Kind;
    const struct {
        Kind kind;
        std::string text;
    } cases[] = {
        {Kind::Missing, "/a/b.alm could not be found.  The almanary was not loaded."},
        {Kind::Unreadable, "/a/b.alm could not be read: why.  The almanary was not loaded."},
        {Kind::NotAlmanary, "/a/b.alm is not a Almanary file, and was not loaded."},
        {Kind::Damaged, "/a/b.alm is damaged and was not loaded: why."},
        {Kind::CannotWrite,
         "The almanary /a/b.alm could not be saved: why.  Your changes are still open; please "
         "save them somewhere else."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MessageTable::format(noticeOf({c.kind, "/a/b.alm", "why"})), c.text);
}

}  // namespace
}  // namespace almanary
