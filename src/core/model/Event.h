#pragma once
// One calendar entry: start date and clock time, duration, category, notes
// and an optional reminder. Hour, minute and duration are kept as the texts
// the user picked; the start key and the minute-scale values are derived
// when the date is set, so queries never convert time zones per event.
// Those three texts are nearly always a few characters and are kept inline,
// so copying an event allocates nothing for them.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "model/Calendar.h"
#include "model/ShortText.h"
#include "model/StartKey.h"

namespace almanary {

class Event {
public:
    // A fresh event: every text "0" or empty, date 0 and the all-zero key,
    // which sorts before any real date.
    Event() = default;

    // The minute-scale start of the all-zero key (day 0 of month 0 of year 0).
    static constexpr std::int64_t kUndatedStartMinute = -719529LL * 1440;

    const std::string& category() const { return category_; }
    void setCategory(std::string value) { category_ = std::move(value); }

    const std::string& notes() const { return notes_; }
    void setNotes(std::string value) { notes_ = std::move(value); }

    // Only the local calendar date of `date` is used. Setting it recomputes
    // the key from the date and the current hour and minute texts, so a
    // writer sets hour and minute first and the date last.
    DateTime date() const { return date_; }
    void setDate(DateTime value);

    std::string_view hour() const { return hour_.view(); }
    void setHour(std::string_view value) { hour_ = ShortText(value); }

    std::string_view minute() const { return minute_.view(); }
    void setMinute(std::string_view value) { minute_ = ShortText(value); }

    std::string_view duration() const { return duration_.view(); }
    void setDuration(std::string_view value);

    bool remind() const { return remind_; }
    void setRemind(bool value) { remind_ = value; }

    std::int32_t remindMinutes() const { return remindMinutes_; }
    void setRemindMinutes(std::int32_t value) { remindMinutes_ = value; }

    // Transient: set while the event is shown in an edit or reminder window.
    bool open() const { return open_; }
    bool markOpen();  // true and sets the mark when it was clear
    void clearOpen() { open_ = false; }

    const StartKey& key() const { return key_; }
    // Recomputes the key (and the start minute) from the date, hour and minute.
    void recomputeKey();

    bool sameStart(const Event& other) const { return key_ == other.key_; }
    bool sameContent(const Event& other) const;

    // Start and end on the whole-minute scale (real Gregorian day numbers),
    // as of the last time the key was computed.
    std::int64_t startMinute() const { return startMinute_; }
    std::int64_t endMinute() const { return startMinute_ + durationMinutes_; }

    bool isOnDay(const CalendarDate& date) const {
        return key_.year == date.year && key_.month == date.month && key_.day == date.day;
    }

private:
    // The fields every query reads come first, so a scan over many events
    // touches one cache line of each.
    std::int64_t startMinute_ = kUndatedStartMinute;
    StartKey key_;
    std::int32_t durationMinutes_ = 0;
    std::int32_t remindMinutes_ = 0;
    bool remind_ = false;
    bool open_ = false;
    DateTime date_ = 0;
    std::string category_;
    std::string notes_;
    ShortText hour_{"0"};
    ShortText minute_{"0"};
    ShortText duration_{"0"};
};

}  // namespace almanary
