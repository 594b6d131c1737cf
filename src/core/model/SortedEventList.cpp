#include "model/SortedEventList.h"

#include <algorithm>
#include <functional>
#include <new>
#include <utility>

namespace almanary {

// Invariants: every slot of pool_ is either in order_ (a live event) or in
// freeSlots_ (a default event waiting for reuse), never both; freeSlots_
// always has capacity for every slot of the pool, so freeing a slot never
// allocates; and timing_ has one entry per slot, describing that slot's event.

SortedEventList::Timing SortedEventList::Timing::Of(const Event& event) {
    const std::int64_t start = event.StartMinute();
    // start <= now + lead is start - lead <= now; both stay far inside the
    // 64-bit range, as the lead is a 32-bit number.
    return {start, event.EndMinute(), event.remind() ? start - event.remindMinutes() : kNoReminder};
}

template <typename E>
void SortedEventList::Store(Slot slot, E&& event) {
    if (slot == pool_.size()) {
        // Room for the timing first, so the two grow together or not at all.
        if (timing_.size() == timing_.capacity())
            timing_.reserve(std::max<std::size_t>(16, timing_.capacity() * 2));
        pool_.push_back(std::forward<E>(event));
        timing_.push_back(Timing::Of(pool_.back()));
        return;
    }
    try {
        pool_[slot] = std::forward<E>(event);
    } catch (...) {
        // A copy that ran out of memory half way: describe what is there.
        timing_[slot] = Timing::Of(pool_[slot]);
        throw;
    }
    timing_[slot] = Timing::Of(pool_[slot]);
}

SortedEventList::SortedEventList(const SortedEventList& other) : modified_(other.modified_) {
    const std::size_t count = other.order_.size();
    pool_.reserve(count);
    timing_.reserve(count);
    freeSlots_.reserve(count);
    order_.reserve(count);
    for (Slot slot : other.order_) {
        const auto at = static_cast<Slot>(pool_.size());
        Store(at, other.pool_[slot]);
        order_.push_back(at);
    }
}

SortedEventList& SortedEventList::operator=(const SortedEventList& other) {
    if (this != &other) {
        SortedEventList copy(other);
        pool_.swap(copy.pool_);
        timing_.swap(copy.timing_);
        freeSlots_.swap(copy.freeSlots_);
        order_.swap(copy.order_);
        modified_ = copy.modified_;
    }
    return *this;
}

SortedEventList::SortedEventList(SortedEventList&& other) noexcept
    : pool_(std::move(other.pool_)),
      timing_(std::move(other.timing_)),
      freeSlots_(std::move(other.freeSlots_)),
      order_(std::move(other.order_)),
      modified_(other.modified_) {
    other.pool_.clear();
    other.timing_.clear();
    other.freeSlots_.clear();
    other.order_.clear();
    other.modified_ = false;
}

SortedEventList& SortedEventList::operator=(SortedEventList&& other) noexcept {
    if (this != &other) {
        pool_ = std::move(other.pool_);
        timing_ = std::move(other.timing_);
        freeSlots_ = std::move(other.freeSlots_);
        order_ = std::move(other.order_);
        modified_ = other.modified_;
        other.pool_.clear();
        other.timing_.clear();
        other.freeSlots_.clear();
        other.order_.clear();
        other.modified_ = false;
    }
    return *this;
}

SortedEventList::~SortedEventList() = default;

bool SortedEventList::IsEmpty() const {
    return order_.empty();
}

int SortedEventList::Count() const {
    return static_cast<int>(order_.size());
}

bool SortedEventList::Insert(const Event& event) {
    if (Holds(event)) {
        // Copy first: the pool that holds the event may move while growing.
        Event copy;
        try {
            copy = event;
        } catch (const std::bad_alloc&) {
            return false;
        }
        return Insert(std::move(copy));
    }
    const std::optional<Slot> slot = PrepareInsert();
    if (!slot)
        return false;
    try {
        Store(*slot, event);
    } catch (const std::bad_alloc&) {
        DeleteElement(*slot);
        return false;
    }
    LinkSlot(*slot, InsertIndex(event.key()));
    return true;
}

bool SortedEventList::Insert(Event&& event) {
    const std::optional<Slot> slot = PrepareInsert();
    if (!slot)
        return false;
    const std::size_t index = InsertIndex(event.key());
    Store(*slot, std::move(event));
    LinkSlot(*slot, index);
    return true;
}

bool SortedEventList::AppendInOrder(const Event& event) {
    const bool onTheEnd = order_.empty() || !(event.key() < pool_[order_.back()].key());
    if (!onTheEnd || !freeSlots_.empty() || Holds(event) ||
        order_.size() >= static_cast<std::size_t>(kMaxCount))
        return Insert(event);
    try {
        if (order_.size() == order_.capacity())
            order_.reserve(std::max<std::size_t>(16, order_.capacity() * 2));
        if (freeSlots_.capacity() <= pool_.size())
            freeSlots_.reserve(std::max(pool_.size() + 1, freeSlots_.capacity() * 2));
        Store(static_cast<Slot>(pool_.size()), event);
    } catch (const std::bad_alloc&) {
        return false;
    }
    order_.push_back(static_cast<Slot>(pool_.size() - 1));
    modified_ = true;
    return true;
}

bool SortedEventList::RemoveByKey(const StartKey& key) {
    const FindResult result = Find(key, true);
    return result.found && RemoveAt(result.position);
}

std::optional<Event> SortedEventList::GetAt(int position) const {
    const Event* event = NodeAt(position);
    if (event == nullptr)
        return std::nullopt;
    return *event;
}

FindResult SortedEventList::Find(const StartKey& key, bool exact) const {
    const FindResult notFound{Count() + 1, false};
    if (exact) {
        const std::size_t index = LowerBound(key);
        if (index < order_.size() && pool_[order_[index]].key() == key)
            return {static_cast<int>(index) + 1, true};
        return notFound;
    }
    const std::size_t index = UpperBound(key);
    if (index < order_.size())
        return {static_cast<int>(index) + 1, true};
    return notFound;
}

const Event* SortedEventList::NodeAt(int position) const {
    if (position < 1 || position > Count())
        return nullptr;
    return &pool_[order_[static_cast<std::size_t>(position) - 1]];
}

Event* SortedEventList::MutableNodeAt(int position) {
    return const_cast<Event*>(std::as_const(*this).NodeAt(position));
}

bool SortedEventList::RemoveAt(int position) {
    if (position < 1 || position > Count())
        return false;
    const auto at = order_.begin() + (position - 1);
    const Slot slot = *at;
    order_.erase(at);
    DeleteElement(slot);
    if (order_.empty()) {
        // Nothing live is left: drop the spare slots rather than keep them.
        pool_.clear();
        timing_.clear();
        freeSlots_.clear();
    }
    modified_ = true;
    return true;
}

void SortedEventList::Clear() {
    if (order_.empty())
        return;
    for (Slot slot : order_)
        DeleteElement(slot);
    order_.clear();
    pool_.clear();
    timing_.clear();
    freeSlots_.clear();
    modified_ = true;
}

bool SortedEventList::Reserve(std::size_t count) {
    if (count > static_cast<std::size_t>(kMaxCount))
        return false;
    try {
        pool_.reserve(count);
        timing_.reserve(count);
        freeSlots_.reserve(count);
        order_.reserve(count);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

std::optional<SortedEventList::Slot> SortedEventList::NewElement() {
    if (!freeSlots_.empty()) {
        const Slot slot = freeSlots_.back();
        freeSlots_.pop_back();
        Store(slot, Event());
        return slot;
    }
    if (pool_.size() >= static_cast<std::size_t>(kMaxCount))
        return std::nullopt;
    try {
        if (freeSlots_.capacity() <= pool_.size())
            freeSlots_.reserve(std::max(pool_.size() + 1, freeSlots_.capacity() * 2));
        Store(static_cast<Slot>(pool_.size()), Event());
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    return static_cast<Slot>(pool_.size() - 1);
}

void SortedEventList::DeleteElement(Slot slot) {
    Store(slot, Event());  // releases the texts now, not when the slot is reused
    freeSlots_.push_back(slot);
}

std::size_t SortedEventList::LowerBound(const StartKey& key) const {
    const auto at =
        std::lower_bound(order_.begin(), order_.end(), key,
                         [this](Slot slot, const StartKey& k) { return pool_[slot].key() < k; });
    return static_cast<std::size_t>(at - order_.begin());
}

std::size_t SortedEventList::UpperBound(const StartKey& key) const {
    const auto at =
        std::upper_bound(order_.begin(), order_.end(), key,
                         [this](const StartKey& k, Slot slot) { return k < pool_[slot].key(); });
    return static_cast<std::size_t>(at - order_.begin());
}

bool SortedEventList::Holds(const Event& event) const {
    const std::less<const Event*> before;
    return !pool_.empty() && !before(&event, pool_.data()) &&
           before(&event, pool_.data() + pool_.size());
}

std::size_t SortedEventList::InsertIndex(const StartKey& key) const {
    // Events arriving in key order (a file being read) go on the end at once.
    if (order_.empty() || !(key < pool_[order_.back()].key()))
        return order_.size();
    return UpperBound(key);
}

std::optional<SortedEventList::Slot> SortedEventList::PrepareInsert() {
    if (order_.size() >= static_cast<std::size_t>(kMaxCount))
        return std::nullopt;
    try {
        if (order_.size() == order_.capacity())
            order_.reserve(std::max<std::size_t>(16, order_.capacity() * 2));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    return NewElement();
}

void SortedEventList::LinkSlot(Slot slot, std::size_t index) {
    // Capacity was made in PrepareInsert, so this cannot allocate.
    order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(index), slot);
    modified_ = true;
}

}  // namespace almanary
