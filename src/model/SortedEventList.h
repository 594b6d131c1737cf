#pragma once
// The list mechanics behind EventList: events kept in ascending start-key
// order, an event whose key equals existing ones going after all of them.
// Positions are 1-based. The events live in a pool of slots; a separate
// vector of slot numbers holds them in key order, so positions are found by
// binary search and an insert moves only four bytes per later event.

#include <cstdint>
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

    virtual bool IsEmpty() const;
    virtual int Count() const;
    // Copies the event in at its place in key order; sets modified.
    virtual bool Insert(const Event& event);
    // Moves the event in; it must not be one of this list's own events.
    bool Insert(Event&& event);
    virtual bool RemoveByKey(const StartKey& key);
    // A copy of the event at a position; nothing outside 1..Count().
    virtual std::optional<Event> GetAt(int position) const;
    // exact: the first event with that key. Otherwise the first event with
    // a later key (found) or Count() + 1 (not found).
    virtual FindResult Find(const StartKey& key, bool exact) const;
    // The stored event itself, valid until the list next changes; null
    // outside 1..Count().
    virtual const Event* NodeAt(int position) const;
    virtual bool RemoveAt(int position);
    void Clear();

    bool IsModified() const { return modified_; }
    void SetModified(bool value) { modified_ = value; }

    // The most events a list holds; Insert fails beyond it.
    static constexpr int kMaxCount = 0x7FFFFFFF;

    // Makes room for `count` events in all without changing the list; false
    // when the room cannot be had. Only a hint: Insert grows as it needs.
    bool Reserve(std::size_t count);

    // Iteration in key order, for queries and writers.
    template <typename F>
    void ForEach(F&& visit) const {
        for (Slot slot : order_)
            visit(pool_[slot]);
    }

protected:
    // Makes a default event in a free slot; nothing when memory runs out.
    virtual std::optional<Slot> NewElement();
    // Destroys the event in a slot and frees the slot.
    virtual void DeleteElement(Slot slot);

    Event* MutableNodeAt(int position);
    template <typename F>
    void ForEachMutable(F&& visit) {
        for (Slot slot : order_)
            visit(pool_[slot]);
    }
    // Index into order_ of the first event whose key is not less than `key`.
    std::size_t LowerBound(const StartKey& key) const;
    std::size_t UpperBound(const StartKey& key) const;

    // Copies in events taken in order from another sorted list: each goes on
    // the end, copy-constructed in place. Falls back to Insert when an event
    // would break the order. False when memory runs out.
    bool AppendInOrder(const Event& event);

private:
    // True when the event is stored in this list's own pool.
    bool Holds(const Event& event) const;
    // Where an event with `key` goes: after every event with a key not later.
    std::size_t InsertIndex(const StartKey& key) const;
    // Takes a slot and makes room in order_ for it; nothing when out of memory.
    std::optional<Slot> PrepareInsert();
    void LinkSlot(Slot slot, std::size_t index);

    std::vector<Event> pool_;
    std::vector<Slot> freeSlots_;
    std::vector<Slot> order_;
    bool modified_ = false;
};

}  // namespace almanary
