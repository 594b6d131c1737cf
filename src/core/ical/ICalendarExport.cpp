#include "ical/ICalendarExport.h"

#include <libical/ical.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "ical/LocalTimes.h"
#include "model/CategoryList.h"
#include "model/DateTimeText.h"

namespace almanary {
namespace {

using ComponentPtr = std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)>;

// A UID from the event's start and notes: FNV-1a, 64 bits.
std::string uidOf(const Event& event) {
    std::uint64_t hash = 14695981039346656037ULL;
    const auto mix = [&hash](std::string_view bytes) {
        for (const char c : bytes) {
            hash ^= static_cast<unsigned char>(c);
            hash *= 1099511628211ULL;
        }
    };
    const StartKey& k = event.key();
    mix(std::to_string(k.year) + "-" + std::to_string(k.month) + "-" + std::to_string(k.day) + " " +
        std::string(event.hour()) + ":" + std::string(event.minute()) + "\n");
    mix(event.notes());
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return std::string(text) + "@almanary";
}

// The zone's rules as libical has them, its TZID the plain name; `local`
// when it is the zone the almanary's clock times are in.
struct Zone {
    icaltimezone* zone = nullptr;
    std::string name;
    bool local = false;
};

Zone zoneNamed(const std::string& name, bool local) {
    if (name.empty() || name == "UTC" || name == "Etc/UTC")
        return {};
    icaltimezone* zone = icaltimezone_get_builtin_timezone(name.c_str());
    return zone == nullptr ? Zone{} : Zone{zone, name, local};
}

icalcomponent* timezoneComponent(const Zone& zone) {
    icalcomponent* vtimezone = icalcomponent_new_clone(icaltimezone_get_component(zone.zone));
    icalproperty* tzid = icalcomponent_get_first_property(vtimezone, ICAL_TZID_PROPERTY);
    icalproperty_set_tzid(tzid, zone.name.c_str());
    return vtimezone;
}

icaltimetype startOf(const Event& event, const Zone& zone, LocalTimes& times) {
    const StartKey& k = event.key();
    icaltimetype t = icaltime_null_time();
    t.year = k.year;
    t.month = k.month;
    t.day = k.day;
    t.hour = DateTimeText::readNumber(event.hour());
    t.minute = DateTimeText::readNumber(event.minute());
    if (zone.local)
        return t;  // the clock time itself, its TZID parameter naming the zone
    const DateTime moment =
        times.moment({t.year, t.month, t.day}, t.hour, t.minute).value_or(event.date());
    icaltimezone* written = zone.zone != nullptr ? zone.zone : icaltimezone_get_utc_timezone();
    t = icaltime_from_timet_with_zone(moment, 0, written);
    if (zone.zone != nullptr)
        t.zone = nullptr;  // the TZID parameter names it
    return t;
}

icalcomponent* eventComponent(const Event& event, const Zone& zone, const icaltimetype& stamp,
                              LocalTimes& times) {
    const std::string& notes = event.notes();
    const std::size_t lineEnd = notes.find('\n');
    std::string summary = notes.substr(0, lineEnd);
    if (summary.ends_with('\r'))
        summary.pop_back();
    icalcomponent* vevent = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    icalcomponent_add_property(vevent, icalproperty_new_uid(uidOf(event).c_str()));
    icalcomponent_add_property(vevent, icalproperty_new_dtstamp(stamp));
    icalproperty* dtstart = icalproperty_new_dtstart(startOf(event, zone, times));
    if (zone.zone != nullptr)
        icalproperty_add_parameter(dtstart, icalparameter_new_tzid(zone.name.c_str()));
    icalcomponent_add_property(vevent, dtstart);
    icaldurationtype duration = icaldurationtype_from_int(
        static_cast<int>(DateTimeText::readNumber(event.duration())) * 60);
    icalcomponent_add_property(vevent, icalproperty_new_duration(duration));
    icalcomponent_add_property(vevent, icalproperty_new_summary(summary.c_str()));
    // The rest of the notes, so summary and description read back as the notes.
    if (lineEnd != std::string::npos && lineEnd + 1 < notes.size())
        icalcomponent_add_property(vevent,
                                   icalproperty_new_description(notes.substr(lineEnd + 1).c_str()));
    if (event.category() != kNoCategory && !event.category().empty())
        icalcomponent_add_property(vevent, icalproperty_new_categories(event.category().c_str()));
    if (event.remind()) {
        icalcomponent* alarm = icalcomponent_new(ICAL_VALARM_COMPONENT);
        icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
        icalcomponent_add_property(alarm, icalproperty_new_description(summary.c_str()));
        icaltriggertype trigger{};
        trigger.time = icaltime_null_time();
        trigger.duration = icaldurationtype_from_int(-event.remindMinutes() * 60);
        icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
        icalcomponent_add_component(vevent, alarm);
    }
    return vevent;
}

bool wanted(const Event& event, const ExportOptions& options) {
    const StartKey& k = event.key();
    const std::int64_t day = Calendar::dayNumber(k.year, k.month, k.day);
    if (options.from && day < Calendar::dayNumber(*options.from))
        return false;
    if (options.to && day > Calendar::dayNumber(*options.to))
        return false;
    return !options.category || event.category() == *options.category;
}

}  // namespace

ExportResult exportICalendar(const EventList& events, const ExportOptions& options) {
    const std::string local = localZoneName();
    const Zone zone = options.zone.empty() ? zoneNamed(local, true)
                                           : zoneNamed(options.zone, options.zone == local);
    ComponentPtr calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT), &icalcomponent_free);
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(),
                               icalproperty_new_prodid("-//Almanary//Almanary//EN"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_calscale("GREGORIAN"));
    if (zone.zone != nullptr)
        icalcomponent_add_component(calendar.get(), timezoneComponent(zone));
    const icaltimetype stamp =
        icaltime_from_timet_with_zone(options.now, 0, icaltimezone_get_utc_timezone());
    // The calendar's head, then each event written and freed in turn: one
    // tree of every event would cost more to free than to write.
    char* frame = icalcomponent_as_ical_string_r(calendar.get());
    ExportResult result;
    result.text = frame;
    std::free(frame);
    const std::string_view end = "END:VCALENDAR\r\n";
    result.text.resize(result.text.size() - end.size());
    LocalTimes times;
    events.forEach([&](const Event& event) {
        if (!wanted(event, options))
            return;
        const ComponentPtr vevent(eventComponent(event, zone, stamp, times), &icalcomponent_free);
        char* text = icalcomponent_as_ical_string_r(vevent.get());
        result.text += text;
        std::free(text);
        ++result.count;
    });
    result.text += end;
    return result;
}

std::string localZoneName() {
    namespace fs = std::filesystem;
    const auto afterZoneinfo = [](const std::string& path) -> std::string {
        const std::size_t at = path.find("zoneinfo/");
        return at == std::string::npos ? std::string() : path.substr(at + 9);
    };
    if (const char* tz = std::getenv("TZ"); tz != nullptr && *tz != '\0') {
        std::string name = tz[0] == ':' ? tz + 1 : tz;
        if (name.starts_with('/'))
            return afterZoneinfo(name);
        return fs::exists("/usr/share/zoneinfo/" + name) ? name : std::string();
    }
    std::ifstream timezone("/etc/timezone");
    std::string name;
    if (std::getline(timezone, name) && !name.empty())
        return name;
    std::error_code error;
    const fs::path target = fs::read_symlink("/etc/localtime", error);
    return error ? std::string() : afterZoneinfo(target.string());
}

}  // namespace almanary
