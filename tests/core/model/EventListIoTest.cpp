#include "model/EventListIo.h"

#include <gtest/gtest.h>

#include "model/Archive.h"
#include "support/SampleEvents.h"
#include "support/ScopedTimeZone.h"

namespace almanary::testing {
namespace {

// A damaged stream names the field and leaves the list as it was.
TEST(EventListIoTest, AListIsReadWholeOrLeftAsItWas) {
    const ScopedTimeZone zone("UTC");
    ArchiveWriter out;
    listOf({{2024, 3, 2, "9", "0", "one"}, {2024, 3, 3, "9", "0", "two"}}).write(out);

    EventList read = listOf({{2024, 3, 1, "9", "0", "kept"}});
    const std::string bytes = out.take();
    ArchiveReader cut(std::string_view(bytes).substr(0, bytes.size() - 3));
    EXPECT_FALSE(read.read(cut));
    EXPECT_EQ(cut.error(), "the file ends early, in the reminder lead of event 2");
    EXPECT_EQ(notesOf(read), Notes{"kept"});
}

}  // namespace
}  // namespace almanary::testing
