// The window's iCalendar import (its report, or its fault changing nothing) and export.

#include "document/CalendarTransfer.h"
#include "support/SessionHarness.h"
#include "support/TestFiles.h"

namespace almanary::testing {
namespace {

const std::string kFixtures = std::string(ALMANARY_FIXTURES_DIR) + "/ical/";

class CalendarTransferTest : public SessionHarness {
protected:
    CalendarTransferTest() { clock.set(*Calendar::fromLocal(2026, 9, 1, 12)); }

    CalendarTransfer transfer{nullptr, session, services};
};

// An import reports, or changes nothing on a fault; an export asks before replacing a file.
TEST_F(CalendarTransferTest, AnImportReportsAndAnExportAsksBeforeReplacingAFile) {
    files.choose(kFixtures + "mail-export.ics");
    transfer.importFile();
    ASSERT_EQ(prompter.ids, Ids{CalendarImported});
    EXPECT_EQ(prompter.args[0][1],
              "Added 5 events.\n1 left out: another event starts at the same time:\n"
              "    10/26/2026 9:00  A meeting at the same time");
    EXPECT_TRUE(session.hasUnsavedChanges());
    const int count = events().count();

    prompter.clearShown();
    files.choose(kFixtures + "broken.ics");
    files.choose(dir.file("missing.ics"));
    transfer.importFile();
    transfer.importFile();
    EXPECT_EQ(prompter.ids, (Ids{CalendarNotImported, CalendarNotImported}));
    EXPECT_EQ(prompter.args[0][1], "line 11: DTSTART 2026-03-02 09:00 is not a date or time");
    EXPECT_EQ(events().count(), count);

    prompter.clearShown();
    const std::string out = dir.file("out.ics");
    writeFile(out, "kept");
    for (const MessageAnswer answer : {No, Yes}) {
        files.choose(out);
        prompter.answer(answer);
        transfer.exportFile();
        EXPECT_EQ(readFile(out).find("SUMMARY:R&D budget\r\n") != std::string::npos, answer == Yes);
    }
    EXPECT_EQ(prompter.ids, (Ids{OverwriteCalendar, OverwriteCalendar}));

    files.choose(dir.file("no-such-folder/out.ics"));
    transfer.exportFile();
    EXPECT_EQ(prompter.ids.back(), CalendarNotExported);
}

}  // namespace
}  // namespace almanary::testing
