#pragma once
// The list mechanics behind EventList: events kept in ascending start-key
// order, an event whose key equals existing ones going after all of them.
// Indexes are 0-based. The events live in a pool of slots; a separate
// vector of slot numbers holds them in key order, so positions are found by
// binary search and an insert moves only four bytes per later event.
// Beside the pool, slot by slot, a compact array holds what the minute-scale
// queries read, so scanning every event touches a few bytes of each.
//
// Every write of a whole slot goes through one private function that also
// refreshes the slot's compact entry. Changes made in place, through
// mutableFind or forEachMutable, may touch only the category, the notes
// and the open mark: the date, hour, minute, duration and reminder decide
// the key order and the compact entry, and neither would follow them.

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "model/Event.h"
#include "model/EventTiming.h"
#include "model/StartKey.h"

namespace almanary {

class SortedEventList {
public:
    using Slot = std::uint32_t;

    SortedEventList() = default;
    SortedEventList(const SortedEventList& other);  // deep copy, compacted, same order
    SortedEventList& operator=(const SortedEventList& other);
    SortedEventList(SortedEventList&& other) noexcept;
    SortedEventList& operator=(SortedEventList&& other) noexcept;
    ~SortedEventList();

    bool isEmpty() const { return order_.empty(); }
    int count() const { return static_cast<int>(order_.size()); }
    // Copies the event in at its place in key order; sets modified.
    bool insert(const Event& event);
    // Moves the event in; it must not be one of this list's own events.
    bool insert(Event&& event);
    // Removes the first event with that key; false when there is none.
    bool removeByKey(const StartKey& key);
    // The stored event at an index (0 to count() - 1) in key order, valid
    // until the list next changes.
    const Event& at(int index) const {
        assert(index >= 0 && index < count());
        return pool_[order_[static_cast<std::size_t>(index)]];
    }
    // The first stored event with that key, valid until the list next
    // changes; null when there is none.
    const Event* find(const StartKey& key) const;
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
    using Timing = EventTiming;

    // The timing and the event at an index into key order (0-based).
    const Timing& timingAt(std::size_t index) const { return timing_[order_[index]]; }
    const Event& eventAt(std::size_t index) const { return pool_[order_[index]]; }

    // In-place access: only the category, the notes and the open mark may
    // change (see the top of this file).
    Event* mutableFind(const StartKey& key);
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
    // A free slot holding a default event, or the slot one past the pool
    // with room made for store() to append there without allocating;
    // nothing when memory runs out.
    std::optional<Slot> newElement();
    // Destroys the event in a slot and frees the slot.
    void deleteElement(Slot slot);
    // Removes the event at an index into key order.
    void removeIndex(std::size_t index);
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
