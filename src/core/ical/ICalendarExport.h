#pragma once
// Writes an almanary's events as iCalendar text that other calendars read:
// one VEVENT each, with a UID that stays the same for the same start and
// notes (a second export updates rather than duplicates), the start in the
// local time zone with its VTIMEZONE, the duration, the notes as summary
// and description, the category, and a display alarm for a reminder.

#include <optional>
#include <string>

#include "model/EventList.h"

namespace almanary {

struct ExportOptions {
    DateTime now = 0;  // the file's time stamp
    std::optional<CalendarDate> from, to;
    std::optional<std::string> category;
    // The zone the times are written in (a name of the system's zone
    // data); empty: the local zone, and UTC when that has no name.
    std::string zone;
};

struct ExportResult {
    std::string text;
    int count = 0;
};

ExportResult exportICalendar(const EventList& events, const ExportOptions& options);

// The name of the local time zone in the system's zone data ("Europe/London"),
// from TZ, /etc/timezone or /etc/localtime; empty when it has none.
std::string localZoneName();

}  // namespace almanary
