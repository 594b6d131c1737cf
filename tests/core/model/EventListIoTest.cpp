#include "model/EventListIo.h"

#include <gtest/gtest.h>

#include <string>

#include "model/Archive.h"
#include "model/EventList.h"
#include "support/SampleEvents.h"
#include "support/ScopedTimeZone.h"
#include "support/TestFiles.h"

namespace almanary {
namespace {

using testing::makeEvent;
using testing::Notes;
using testing::notesOf;

class EventListIoTest : public ::testing::Test {
protected:
    testing::ScopedTimeZone zone_{"UTC"};
};

TEST_F(EventListIoTest, ARecordIsTheDateTheTextsAndTheReminder) {
    Event event = makeEvent({2024, 5, 1, "9", "30", "Dentist", "60", "Work"});
    event.setRemind(true), event.setRemindMinutes(15);
    ArchiveWriter out;
    writeEvent(out, event);
    EXPECT_EQ(testing::hex(out.bytes()),
              "C0 2E 32 66 01 39 02 33 30 02 36 30 07 44 65 6E 74 69 73 74 04 57 6F 72 6B 01 00 "
              "00 00 0F 00 00 00");  // noon, 1 May 2024 UTC, then the texts and the reminder
}

TEST_F(EventListIoTest, AListIsReadWholeOrLeftAsItWas) {
    EventList written;
    ASSERT_TRUE(written.insert(makeEvent({2024, 3, 2, "9", "0", "one"})) &&
                written.insert(makeEvent({2024, 3, 3, "9", "0", "two"})));
    ArchiveWriter out;
    written.write(out);
    EXPECT_FALSE(written.isModified());

    EventList read;
    ASSERT_TRUE(read.insert(makeEvent({2024, 3, 1, "9", "0", "kept"})));
    const std::string bytes = out.take();
    ArchiveReader cut(std::string_view(bytes).substr(0, bytes.size() - 3));
    EXPECT_FALSE(read.read(cut));
    EXPECT_EQ(cut.error(), "the file ends early, in the reminder lead of event 2");
    EXPECT_EQ(notesOf(read), Notes{"kept"});
    EXPECT_TRUE(read.isModified());

    ArchiveReader whole(bytes);
    ASSERT_TRUE(read.read(whole));
    EXPECT_EQ(notesOf(read), (Notes{"one", "two"}));
    EXPECT_FALSE(read.isModified());
}

}  // namespace
}  // namespace almanary
