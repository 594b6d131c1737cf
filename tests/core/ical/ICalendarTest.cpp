// iCalendar in and out: phone and mail exports, damaged files, and an export read back.
#include <libical/ical.h>

#include "ical/ICalendarExport.h"
#include "ical/ICalendarImport.h"
#include "model/DateTimeText.h"
#include "support/SampleEvents.h"
#include "support/ScopedTimeZone.h"
#include "support/TestFiles.h"

namespace almanary {
namespace {

using Lines = std::vector<std::string>;

// One line per event: date, start, duration, category, notes ("|" between lines), R and lead.
Lines linesOf(const EventList& events) {
    Lines lines;
    events.forEach([&](const Event& e) {
        std::string notes = e.notes();
        std::replace(notes.begin(), notes.end(), '\n', '|');
        lines.push_back(DateTimeText::dateText(e.date()) + " " + std::string(e.hour()) + ":" +
                        std::string(e.minute()) + " " + std::string(e.duration()) + " " +
                        e.category() + " " + notes +
                        (e.remind() ? " R" + std::to_string(e.remindMinutes()) : ""));
    });
    return lines;
}

std::string fixture(const char* name) {
    return testing::readFile(std::string(ALMANARY_FIXTURES_DIR) + "/ical/" + name);
}

class ICalendarTest : public ::testing::Test {
protected:
    ImportResult import(const std::string& text, ImportOptions options = {}) {
        options.now = now;
        return importICalendar(text, document, options);
    }

    testing::ScopedTimeZone zone{"Europe/London"};
    DateTime now = *Calendar::fromLocal(2026, 3, 1, 12);
    AlmanaryDocument document;
};

// Zones, exceptions, all-day, UTC and floating times, rounding, alarms, folding, long names.
TEST_F(ICalendarTest, APhoneExportImportsByEveryRule) {
    const ImportResult result = import(fixture("phone-export.ics"));
    ASSERT_FALSE(result.problem) << result.problem->what;
    EXPECT_EQ(linesOf(document.events),
              (Lines{"3/12/2026 14:00 60 Gesundheit und Wohlb Zahnarzt – Kontrolle|Praxis Dr. "
                     "Müller|Bring the card.|Ask about the bill, too. R75",
                     "3/23/2026 9:00 30 Work Stand-up R10", "3/30/2026 9:00 30 Work Stand-up R10",
                     "4/6/2026 0:00 0 <No Category> Easter Monday",
                     "4/13/2026 10:30 30 Work Stand-up (moved)",
                     "5/15/2026 8:00 300 <No Category> Conference day with a long summary that "
                     "the phone folded across two lines|Ends 5/15/2026 16:00 R180",
                     "7/1/2026 7:30 15 <No Category> Swim"}));
    EXPECT_EQ(document.categories.names(), (Lines{"Gesundheit und Wohlb", "Work"}));
    EXPECT_TRUE(document.events.isModified());

    // Events begun by the time of the import come without their reminders.
    document = {};
    now = *Calendar::fromLocal(2026, 3, 30, 9);
    import(fixture("phone-export.ics"));
    const EventList reminding = document.events.dueReminders(kLastStorableDateTime);
    EXPECT_TRUE(reminding.count() == 1 && reminding.at(0).hour() == "8") << reminding.count();
}

// Own quoted zones, a taken start left out and reported, repeats with an extra date, a window.
TEST_F(ICalendarTest, AMailExportKeepsTheFirstEventAtAStart) {
    document.events.insert(testing::makeEvent({2026, 10, 28, "9", "00", "Mine"}));
    ImportOptions options;
    options.from = CalendarDate{2026, 10, 1}, options.to = CalendarDate{2026, 10, 31};
    options.category = "Office";
    const ImportResult result = import(fixture("mail-export.ics"), options);
    ASSERT_FALSE(result.problem) << result.problem->what;
    EXPECT_EQ(linesOf(document.events),
              (Lines{"10/26/2026 9:00 60 Office Review|Room 4.12|Quarterly figures",
                     "10/27/2026 9:00 15 Office R&D budget", "10/28/2026 9:00 0  Mine",
                     "10/29/2026 9:00 15 Office R&D budget"}));
    Lines taken;
    for (const Event& e : result.report.startTaken)
        taken.push_back(e.notes());
    EXPECT_EQ(taken, (Lines{"A meeting at the same time", "R&D budget"}));
}

// Damaged or foreign text names its line, and the document stays as it was.
TEST_F(ICalendarTest, DamagedFilesNameTheLineAndChangeNothing) {
    const std::string head = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\n";
    const std::string good = "DTSTART:20260301T090000Z\r\nSUMMARY:x\r\n";
    const std::string tail = "END:VEVENT\r\nEND:VCALENDAR\r\n";
    const struct {
        std::string text;
        int line;
        std::string what;
    } cases[] = {
        {"", 0, "holds no calendar"},
        {"Dear Sam,\r\n", 1, "not an iCalendar line"},
        {"Subject: minutes\r\n", 1, "begins with BEGIN:VCALENDAR"},
        {"BEGIN:VCARD\r\nEND:VCARD\r\n", 1, "begins with BEGIN:VCALENDAR"},
        {head + good + "END:VTODO\r\n" + tail, 6, "END:VTODO where END:VEVENT"},
        {head + good + "END:VEVENT\r\n", 6, "ends before END:VCALENDAR"},
        {head + good + "DURATION:PT1X\r\n" + tail, 6, "DURATION"},
        {head + good + "RRULE:FREQ=SOMETIMES\r\n" + tail, 6, "RRULE"},
        {head + "DTSTART;TZID=Mars/Olympus:20260301T090000\r\n" + tail, 4, "Mars/Olympus"},
        {head + "SUMMARY:no start\r\n" + tail, 3, "no DTSTART"},
        {head + good + tail + "BEGIN:VEVENT\r\n", 8, "already ended"},
    };
    document.events.insert(testing::makeEvent({2026, 3, 1, "8", "00", "kept"}));
    document.events.setModified(false);
    for (const auto& c : cases) {
        const ImportResult result = import(c.text);
        ASSERT_TRUE(result.problem) << c.text;
        EXPECT_EQ(result.problem->line, c.line) << c.text;
        EXPECT_NE(result.problem->what.find(c.what), std::string::npos) << result.problem->what;
        EXPECT_EQ(linesOf(document.events), Lines{"3/1/2026 8:00 0  kept"});
        EXPECT_FALSE(document.events.isModified());
    }
}

// An export is valid and stable, and reads back as the same events in any zone.
TEST_F(ICalendarTest, AnExportReadsBackAsTheSameEvents) {
    EventList events =
        testing::listOf({{2026, 3, 28, "23", "45", "Before the change", "60", kNoCategory},
                         {2026, 3, 29, "9", "15", "Line one\nLine two", "300", "Work"},
                         {2026, 10, 25, "1", "30", "Twice an hour; ä, \"q\"", "30", kNoCategory}});
    Event reminding = testing::makeEvent({2026, 12, 24, "18", "00", "Dinner", "120", "Home"});
    reminding.setRemind(true), reminding.setRemindMinutes(45);
    events.insert(reminding);
    for (const char* zoneName : {"", "America/New_York"}) {
        SCOPED_TRACE(zoneName);
        ExportOptions options;
        options.now = now, options.zone = zoneName;
        const ExportResult exported = exportICalendar(events, options);
        EXPECT_EQ(exported.count, 4);
        EXPECT_EQ(exportICalendar(events, options).text, exported.text);

        icalcomponent* parsed = icalparser_parse_string(exported.text.c_str());
        ASSERT_NE(parsed, nullptr);
        EXPECT_EQ(icalcomponent_count_errors(parsed), 0);
        icalcomponent_free(parsed);

        document = {};
        document.categories = CategoryList({"Home", "Work"});
        const ImportResult back = import(exported.text);
        ASSERT_FALSE(back.problem) << back.problem->what;
        EXPECT_EQ(linesOf(document.events), linesOf(events));
        EXPECT_TRUE(back.report.categoriesAdded.empty());
    }
}

// Read a share at a time: a far moved instance, file order, and the line of a late fault hold.
TEST_F(ICalendarTest, ALargeCalendarReadsAsOne) {
    std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n";
    const auto event = [&](const std::string& body) {
        text += "BEGIN:VEVENT\r\n" + body + "END:VEVENT\r\n";
    };
    event("UID:weekly\r\nDTSTART:20260302T090000Z\r\nRRULE:FREQ=WEEKLY;COUNT=3\r\nSUMMARY:w\r\n");
    for (int i = 0; i < 1500; ++i) {
        char start[32];
        std::snprintf(start, sizeof start, "2027%02d%02dT%02d0000Z", 1 + i / 672, 1 + i % 28,
                      i / 28 % 24);
        event("UID:" + std::to_string(i) + "\r\nDTSTART:" + start + "\r\nSUMMARY:e" +
              std::to_string(i) + "\r\n");
    }
    event(
        "UID:weekly\r\nRECURRENCE-ID:20260309T090000Z\r\nDTSTART:20260310T100000Z\r\n"
        "SUMMARY:moved\r\n");
    text += "END:VCALENDAR\r\n";
    ASSERT_FALSE(import(text).problem);
    const Lines lines = linesOf(document.events);
    ASSERT_EQ(lines.size(), 1503u);
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 4),
              (Lines{"3/2/2026 9:00 0 <No Category> w", "3/10/2026 10:00 0 <No Category> moved",
                     "3/16/2026 9:00 0 <No Category> w", "1/1/2027 0:00 0 <No Category> e0"}));

    const std::size_t at = text.find("SUMMARY:e1234\r\n");
    text.insert(at, "DURATION:PT1X\r\n");
    document = {};
    const ImportResult broken = import(text);
    ASSERT_TRUE(broken.problem);
    EXPECT_EQ(broken.problem->line, 9 + 5 * 1234 + 3);  // its DURATION line
    EXPECT_TRUE(document.events.isEmpty());
}

}  // namespace
}  // namespace almanary
