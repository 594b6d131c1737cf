#include "ical/Repeats.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

namespace almanary {
namespace {

constexpr std::int64_t kDay = 86400;

using IteratorPtr = std::unique_ptr<icalrecur_iterator, decltype(&icalrecur_iterator_free)>;

// The shortest a period of the rule's frequency can be, in seconds; 0 for
// a rule libical does not expand.
std::int64_t periodSeconds(const icalrecurrencetype& rule) {
    std::int64_t unit = 0;
    switch (rule.freq) {
        case ICAL_SECONDLY_RECURRENCE:
            unit = 1;
            break;
        case ICAL_MINUTELY_RECURRENCE:
            unit = 60;
            break;
        case ICAL_HOURLY_RECURRENCE:
            unit = 3600;
            break;
        case ICAL_DAILY_RECURRENCE:
            unit = kDay;
            break;
        case ICAL_WEEKLY_RECURRENCE:
            unit = 7 * kDay;
            break;
        case ICAL_MONTHLY_RECURRENCE:
            unit = 28 * kDay;
            break;
        case ICAL_YEARLY_RECURRENCE:
            unit = 365 * kDay;
            break;
        default:
            return 0;
    }
    return unit * std::max<std::int64_t>(rule.interval, 1);
}

// A rule that finds no instance at all (BYMONTHDAY=30 with BYMONTH=2)
// sends libical searching period after period, whatever its UNTIL, for a
// good part of a second; a rule that ended before the window finds none at
// once. Each search that came back empty is charged as much.
constexpr std::int64_t kEmptySearchCost = 50'000;

// A time's fields read as UTC: near enough to its moment to count periods.
std::int64_t roughMoment(const icaltimetype& t) {
    return Calendar::dayNumber(t.year, t.month, t.day) * kDay + t.hour * 3600 + t.minute * 60 +
           t.second;
}

// The instances of one repeated event, offered one at a time.
class Expansion {
public:
    Expansion(icalcomponent* event, const icaltimetype& first, DateTime from, DateTime to,
              RepeatBudget& budget, const std::function<void(time_t)>& found)
        : event_(event), first_(first), from_(from), to_(to), budget_(budget), found_(found) {
        const icaltime_span base = icaltime_span_new(first, icalcomponent_get_dtend(event), 1);
        baseStart_ = base.start;
        duration_ = base.end - base.start;
        // Every instance is checked against each EXDATE.
        instanceCost_ = 1 + icalcomponent_count_properties(event, ICAL_EXDATE_PROPERTY);
    }

    std::optional<std::string_view> run() {
        // Gathered first: the exclusion check moves the event's own
        // property iterator.
        const std::vector<icalproperty*> rules = properties(ICAL_RRULE_PROPERTY);
        const std::vector<icalproperty*> dates = properties(ICAL_RDATE_PROPERTY);
        if (rules.empty())
            offer(first_, baseStart_);
        for (icalproperty* rule : rules) {
            if (!walk(icalproperty_get_rrule(rule)))
                return "RRULE";
        }
        for (icalproperty* date : dates) {
            const icaltimetype at = icalproperty_get_rdate(date).time;
            if (icaltime_is_null_time(at))
                continue;  // a period: libical does not expand those either
            if (!budget_.take(instanceCost_))
                return "RDATE";
            offer(at, startOf(at));
        }
        return std::nullopt;
    }

private:
    std::vector<icalproperty*> properties(icalproperty_kind kind) const {
        std::vector<icalproperty*> found;
        for (icalproperty* p = icalcomponent_get_first_property(event_, kind); p != nullptr;
             p = icalcomponent_get_next_property(event_, kind))
            found.push_back(p);
        return found;
    }

    static time_t startOf(const icaltimetype& t) {
        return icaltime_as_timet_with_zone(t, t.zone ? t.zone : icaltimezone_get_utc_timezone());
    }

    // The rule's instances up to the window's end. Its iterator starts at
    // DTSTART, or just before the window when the rule has no COUNT, and
    // is given an UNTIL a day after the window at the latest, so it never
    // walks on towards the far years where no instance would be kept.
    bool walk(icalrecurrencetype rule) {
        const std::int64_t period = periodSeconds(rule);
        if (period == 0 || rule.count < 0)
            return true;  // libical finds no instances either
        const std::int64_t walkEnd = to_ + kDay;
        const std::int64_t walkFrom = rule.count != 0
                                          ? roughMoment(first_)
                                          : std::max(roughMoment(first_), from_ - duration_);
        if (!budget_.take(walkEnd < walkFrom ? 1 : (walkEnd - walkFrom) / period + 1))
            return false;
        const icaltimezone* utc = icaltimezone_get_utc_timezone();
        const bool endedBefore =
            !icaltime_is_null_time(rule.until) &&
            icaltime_compare(rule.until,
                             icaltime_from_timet_with_zone(static_cast<time_t>(from_), 0, utc)) < 0;
        const icaltimetype last =
            icaltime_from_timet_with_zone(static_cast<time_t>(walkEnd), first_.is_date, utc);
        if (icaltime_is_null_time(rule.until) || icaltime_compare(rule.until, last) > 0)
            rule.until = last;
        const IteratorPtr iterator(icalrecur_iterator_new(rule, first_), &icalrecur_iterator_free);
        if (!iterator)  // refused, at times only after that same search
            return budget_.take(kEmptySearchCost);
        if (rule.count == 0) {
            icaltimetype start = icaltime_from_timet_with_zone(static_cast<time_t>(from_), 0, utc);
            icaltime_adjust(&start, 0, 0, 0,
                            -static_cast<int>(std::clamp<std::int64_t>(duration_, 0, INT_MAX)));
            icalrecur_iterator_set_start(iterator.get(), start);
        }
        const icaltimetype end = icaltime_from_timet_with_zone(static_cast<time_t>(to_), 0, utc);
        int taken = 0;
        for (icaltimetype at = icalrecur_iterator_next(iterator.get()); !icaltime_is_null_time(at);
             at = icalrecur_iterator_next(iterator.get())) {
            ++taken;
            if (icaltime_compare(at, end) > 0)
                break;
            if (!budget_.take(instanceCost_))
                return false;
            offer(at, startOf(at));
        }
        return taken > 0 || endedBefore || budget_.take(kEmptySearchCost);
    }

    void offer(icaltimetype at, time_t start) {
        icaltimetype first = first_;
        icaltime_span span{start, static_cast<time_t>(start + duration_), 0};
        icaltime_span window{static_cast<time_t>(from_), static_cast<time_t>(to_), 0};
        if (!icalproperty_recurrence_is_excluded(event_, &first, &at) &&
            icaltime_span_overlaps(&span, &window))
            found_(start);
    }

    icalcomponent* event_;
    icaltimetype first_;
    DateTime from_, to_;
    RepeatBudget& budget_;
    const std::function<void(time_t)>& found_;
    time_t baseStart_ = 0;
    std::int64_t duration_ = 0;
    std::int64_t instanceCost_ = 1;
};

}  // namespace

bool RepeatBudget::take(std::int64_t steps) {
    std::int64_t left = left_.load();
    while (left >= steps) {
        if (left_.compare_exchange_weak(left, left - steps))
            return true;
    }
    return false;
}

std::optional<std::string_view> forEachRepeat(icalcomponent* event, const icaltimetype& first,
                                              DateTime from, DateTime to, RepeatBudget& budget,
                                              const std::function<void(time_t)>& found) {
    return Expansion(event, first, from, to, budget, found).run();
}

}  // namespace almanary
