#pragma once
// The list mechanics behind EventList: events kept in ascending start-key
// order, an event whose key equals existing ones going after all of them.
// Positions are 1-based. The events live in a pool of slots; a separate
// vector of slot numbers holds them in key order, so positions are found by
// binary search and an insert moves only four bytes per later event.
// Beside the pool, slot by slot, a compact array holds what the minute-scale
// queries read, so scanning every event touches a few bytes of each.
//
// Every write of a whole slot goes through one private function that also
// refreshes the slot's compact entry. Changes made in place, through
// mutableNodeAt or forEachMutable, may touch only the category, the notes
// and the open mark: the date, hour, minute, duration and reminder decide
// the key order and the compact entry, and neither would follow them.

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "model/Event.h"
#include "model/StartKey.h"

namespace almanary {

struct FindResult {
    int position = 1;  // 1-based
    bool found = false;
};

class SortedEventList {
public:
    using Slot = std::uint32_t;

    SortedEventList() = default;
    SortedEventList(const SortedEventList& other);  // deep copy, compacted, same order
    SortedEventList& operator=(const SortedEventList& other);
    SortedEventList(SortedEventList&& other) noexcept;
    SortedEventList& operator=(SortedEventList&& other) noexcept;
    virtual ~SortedEventList();

    virtual bool isEmpty() const;
    virtual int count() const;
    // Copies the event in at its place in key order; sets modified.
    virtual bool insert(const Event& event);
    // Moves the event in; it must not be one of this list's own events.
    bool insert(Event&& event);
    virtual bool removeByKey(const StartKey& key);
    // A copy of the event at a position; nothing outside 1..count().
    virtual std::optional<Event> getAt(int position) const;
    // exact: the first event with that key. Otherwise the first event with
    // a later key (found) or count() + 1 (not found).
    virtual FindResult find(const StartKey& key, bool exact) const;
    // The stored event itself, valid until the list next changes; null
    // outside 1..count().
    virtual const Event* nodeAt(int position) const;
    virtual bool removeAt(int position);
    void clear();

    bool isModified() const { return modified_; }
    void setModified(bool value) { modified_ = value; }

    // The most events a list holds; Insert fails beyond it.
    static constexpr int kMaxCount = 0x7FFFFFFF;

    // Makes room for `count` events in all without changing the list; false
    // when the room cannot be had. Only a hint: Insert grows as it needs.
    bool reserve(std::size_t count);

    // Iteration in key order, for queries and writers.
    template <typename F>
    void forEach(F&& visit) const {
        for (Slot slot : order_)
            visit(pool_[slot]);
    }

protected:
    static constexpr std::int64_t kNoReminder = std::numeric_limits<std::int64_t>::max();

    // What the minute-scale queries read of one event. The open mark is not
    // here: it changes in place, so queries read it from the event itself.
    struct Timing {
        std::int64_t start = Event::kUndatedStartMinute;  // Event::startMinute()
        std::int64_t end = Event::kUndatedStartMinute;    // Event::endMinute()
        // The first minute its reminder is due (start minus the lead);
        // kNoReminder when it has none.
        std::int64_t remindAt = kNoReminder;

        static Timing of(const Event& event);
        bool operator==(const Timing&) const = default;
    };

    // The timing and the event at an index into key order (0-based).
    const Timing& timingAt(std::size_t index) const { return timing_[order_[index]]; }
    const Event& eventAt(std::size_t index) const { return pool_[order_[index]]; }

    // Makes a default event in a free slot; nothing when memory runs out.
    virtual std::optional<Slot> newElement();
    // Destroys the event in a slot and frees the slot.
    virtual void deleteElement(Slot slot);

    // In-place access: only the category, the notes and the open mark may
    // change (see the top of this file).
    Event* mutableNodeAt(int position);
    template <typename F>
    void forEachMutable(F&& visit) {
        for (Slot slot : order_) {
            visit(pool_[slot]);
            assert(Timing::of(pool_[slot]) == timing_[slot]);
        }
    }
    // Index into order_ of the first event whose key is not less than `key`.
    std::size_t lowerBound(const StartKey& key) const;
    std::size_t upperBound(const StartKey& key) const;

    // Copies in events taken in order from another sorted list: each goes on
    // the end, copy-constructed in place. Falls back to Insert when an event
    // would break the order. False when memory runs out.
    bool appendInOrder(const Event& event);

private:
    // True when the event is stored in this list's own pool.
    bool holds(const Event& event) const;
    // Where an event with `key` goes: after every event with a key not later.
    std::size_t insertIndex(const StartKey& key) const;
    // Takes a slot and makes room in order_ for it; nothing when out of memory.
    std::optional<Slot> prepareInsert();
    void linkSlot(Slot slot, std::size_t index);
    // Stores an event into a slot (pool_.size() for a new one at the end)
    // and refreshes the slot's timing; the only writer of whole slots.
    template <typename E>
    void store(Slot slot, E&& event);

    std::vector<Event> pool_;
    std::vector<Timing> timing_;  // slot by slot, in step with pool_
    std::vector<Slot> freeSlots_;
    std::vector<Slot> order_;
    bool modified_ = false;
};

}  // namespace almanary
