#include "model/SortedEventList.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <new>
#include <utility>

#include <sys/mman.h>

namespace almanary {

// Invariants: every slot of pool_ is either in order_ (a live event) or in
// freeSlots_ (a default event waiting for reuse), never both; freeSlots_
// always has capacity for every slot of the pool, so freeing a slot never
// allocates; and timing_ has one entry per slot, describing that slot's event.

template <typename E>
void SortedEventList::store(Slot slot, E&& event) {
    if (slot == pool_.size()) {
        // Room for the timing first, so the two grow together or not at all.
        if (timing_.size() == timing_.capacity())
            timing_.reserve(std::max<std::size_t>(16, timing_.capacity() * 2));
        pool_.push_back(std::forward<E>(event));
        timing_.push_back(Timing::of(pool_.back()));
        return;
    }
    try {
        pool_[slot] = std::forward<E>(event);
    } catch (...) {
        // A copy that ran out of memory half way: describe what is there.
        timing_[slot] = Timing::of(pool_[slot]);
        throw;
    }
    timing_[slot] = Timing::of(pool_[slot]);
}

SortedEventList::SortedEventList(const SortedEventList& other) : modified_(other.modified_) {
    const std::size_t count = other.order_.size();
    pool_.reserve(count);
    timing_.reserve(count);
    freeSlots_.reserve(count);
    order_.reserve(count);
    for (Slot slot : other.order_) {
        const auto at = static_cast<Slot>(pool_.size());
        store(at, other.pool_[slot]);
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

bool SortedEventList::insert(const Event& event) {
    if (holds(event)) {
        // Copy first: the pool that holds the event may move while growing.
        Event copy;
        try {
            copy = event;
        } catch (const std::bad_alloc&) {
            return false;
        }
        return insert(std::move(copy));
    }
    const std::optional<Slot> slot = prepareInsert();
    if (!slot)
        return false;
    try {
        store(*slot, event);
    } catch (const std::bad_alloc&) {
        if (*slot < pool_.size())  // else it was never appended
            deleteElement(*slot);
        return false;
    }
    linkSlot(*slot, insertIndex(event.key()));
    return true;
}

bool SortedEventList::insert(Event&& event) {
    const std::optional<Slot> slot = prepareInsert();
    if (!slot)
        return false;
    const std::size_t index = insertIndex(event.key());
    store(*slot, std::move(event));
    linkSlot(*slot, index);
    return true;
}

bool SortedEventList::appendInOrder(const Event& event) {
    const bool onTheEnd = order_.empty() || !(event.key() < pool_[order_.back()].key());
    if (!onTheEnd || !freeSlots_.empty() || holds(event) ||
        order_.size() >= static_cast<std::size_t>(kMaxCount))
        return insert(event);
    try {
        if (order_.size() == order_.capacity())
            order_.reserve(std::max<std::size_t>(16, order_.capacity() * 2));
        if (freeSlots_.capacity() <= pool_.size())
            freeSlots_.reserve(std::max(pool_.size() + 1, freeSlots_.capacity() * 2));
        store(static_cast<Slot>(pool_.size()), event);
    } catch (const std::bad_alloc&) {
        return false;
    }
    order_.push_back(static_cast<Slot>(pool_.size() - 1));
    modified_ = true;
    return true;
}

bool SortedEventList::removeByKey(const StartKey& key) {
    const std::size_t index = lowerBound(key);
    if (index == order_.size() || pool_[order_[index]].key() != key)
        return false;
    removeIndex(index);
    return true;
}

const Event* SortedEventList::find(const StartKey& key) const {
    const std::size_t index = lowerBound(key);
    if (index < order_.size() && pool_[order_[index]].key() == key)
        return &pool_[order_[index]];
    return nullptr;
}

Event* SortedEventList::mutableFind(const StartKey& key) {
    return const_cast<Event*>(std::as_const(*this).find(key));
}

void SortedEventList::removeIndex(std::size_t index) {
    const auto at = order_.begin() + static_cast<std::ptrdiff_t>(index);
    const Slot slot = *at;
    order_.erase(at);
    deleteElement(slot);
    if (order_.empty()) {
        // Nothing live is left: drop the spare slots rather than keep them.
        pool_.clear();
        timing_.clear();
        freeSlots_.clear();
    }
    modified_ = true;
}

void SortedEventList::clear() {
    if (order_.empty())
        return;
    for (Slot slot : order_)
        deleteElement(slot);
    order_.clear();
    pool_.clear();
    timing_.clear();
    freeSlots_.clear();
    modified_ = true;
}

namespace {

// Asks for the untouched room of a large vector to be backed by huge pages,
// so filling it takes a page fault per 2 MiB rather than per 4 KiB. Only
// advice: where the system declines, nothing changes.
template <typename T>
void preferHugePages(const std::vector<T>& vector) {
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    const auto begin = reinterpret_cast<std::uintptr_t>(vector.data() + vector.size());
    const auto end = reinterpret_cast<std::uintptr_t>(vector.data() + vector.capacity());
    const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = end & ~(kHugePage - 1);
    if (first < last)
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

}  // namespace

bool SortedEventList::reserve(std::size_t count) {
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
    preferHugePages(pool_);
    preferHugePages(timing_);
    return true;
}

std::optional<SortedEventList::Slot> SortedEventList::newElement() {
    if (!freeSlots_.empty()) {
        const Slot slot = freeSlots_.back();  // holds a default event already
        freeSlots_.pop_back();
        return slot;
    }
    if (pool_.size() >= static_cast<std::size_t>(kMaxCount))
        return std::nullopt;
    try {
        if (freeSlots_.capacity() <= pool_.size())
            freeSlots_.reserve(std::max(pool_.size() + 1, freeSlots_.capacity() * 2));
        if (pool_.size() == pool_.capacity())
            pool_.reserve(std::max<std::size_t>(16, pool_.capacity() * 2));
        if (timing_.size() == timing_.capacity())
            timing_.reserve(std::max<std::size_t>(16, timing_.capacity() * 2));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    return static_cast<Slot>(pool_.size());  // store() appends it
}

void SortedEventList::deleteElement(Slot slot) {
    store(slot, Event());  // releases the texts now, not when the slot is reused
    freeSlots_.push_back(slot);
}

std::size_t SortedEventList::lowerBound(const StartKey& key) const {
    const auto at = std::ranges::lower_bound(
        order_, key, {}, [this](Slot slot) -> const StartKey& { return pool_[slot].key(); });
    return static_cast<std::size_t>(at - order_.begin());
}

std::size_t SortedEventList::upperBound(const StartKey& key) const {
    const auto at = std::ranges::upper_bound(
        order_, key, {}, [this](Slot slot) -> const StartKey& { return pool_[slot].key(); });
    return static_cast<std::size_t>(at - order_.begin());
}

bool SortedEventList::holds(const Event& event) const {
    const std::less<const Event*> before;
    return !pool_.empty() && !before(&event, pool_.data()) &&
           before(&event, pool_.data() + pool_.size());
}

std::size_t SortedEventList::insertIndex(const StartKey& key) const {
    // Events arriving in key order (a file being read) go on the end at once.
    if (order_.empty() || !(key < pool_[order_.back()].key()))
        return order_.size();
    return upperBound(key);
}

std::optional<SortedEventList::Slot> SortedEventList::prepareInsert() {
    if (order_.size() >= static_cast<std::size_t>(kMaxCount))
        return std::nullopt;
    try {
        if (order_.size() == order_.capacity())
            order_.reserve(std::max<std::size_t>(16, order_.capacity() * 2));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    return newElement();
}

void SortedEventList::linkSlot(Slot slot, std::size_t index) {
    // Capacity was made in prepareInsert, so this cannot allocate.
    order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(index), slot);
    modified_ = true;
}

}  // namespace almanary
