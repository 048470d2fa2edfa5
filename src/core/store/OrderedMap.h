#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillory {

namespace detail {

// Entries in order of first insertion, each key once, found by key in constant time on average.
// Removal leaves a gap; gaps are closed once they outnumber the entries, so removing many
// entries one after another stays linear.
//
// The entries (key and value) lie in one vector in map order; a table of entry numbers, probed
// linearly from the key's hash, finds them by key. Loading a catalog adds an entry per record,
// and keeping keys next to their values saves an allocation each time and lets a pass over the
// keys read memory in order.
template <class T>
class OrderedKeyedStore {
public:
    using Ptr = std::shared_ptr<T>;

    OrderedKeyedStore() = default;
    OrderedKeyedStore(const OrderedKeyedStore&) = default;
    OrderedKeyedStore& operator=(const OrderedKeyedStore&) = default;
    // A store moved from is left empty, its counters included.
    OrderedKeyedStore(OrderedKeyedStore&& other) noexcept { *this = std::move(other); }
    OrderedKeyedStore& operator=(OrderedKeyedStore&& other) noexcept
    {
        if (this != &other) {
            entries_ = std::move(other.entries_);
            table_ = std::move(other.table_);
            used_ = std::exchange(other.used_, 0);
            gaps_ = std::exchange(other.gaps_, 0);
            other.entries_.clear();
            other.table_.clear();
        }
        return *this;
    }

    int count() const { return static_cast<int>(entries_.size() - gaps_); }

    // 1-based position of key in order, 0 when absent. Changes nothing: with gaps left by
    // removals, the live entries before it are counted.
    int position(std::string_view key) const
    {
        const size_t at = findEntry(key);
        if (at == kNone)
            return 0;
        if (gaps_ == 0)
            return static_cast<int>(at) + 1;
        return static_cast<int>(std::count_if(entries_.begin(), entries_.begin() + static_cast<ptrdiff_t>(at) + 1,
                                              [](const Entry& e) { return e.live; }));
    }

    bool contains(std::string_view key) const { return findEntry(key) != kNone; }

    Ptr find(std::string_view key) const
    {
        const size_t at = findEntry(key);
        return at == kNone ? nullptr : entries_[at].value;
    }

    // Returns false when key was present (and then replaces its value in place).
    bool put(const std::string& key, Ptr value)
    {
        const uint32_t hash = hashOf(key);
        size_t slot = findSlot(key, hash);
        if (slot != kNone) {
            entries_[table_[slot].entry - 1].value = std::move(value);
            return false;
        }
        if (gaps_ > 64 && gaps_ * 2 > entries_.size())
            compact(); // a map that keeps losing and gaining entries does not grow without end
        if ((used_ + 1) * 4 > table_.size() * 3)
            rebuildTable(static_cast<size_t>(count()) + 1);
        entries_.push_back(Entry{key, std::move(value), hash, true});
        slot = freeSlot(hash);
        if (table_[slot].entry == kEmpty)
            ++used_;
        table_[slot] = Slot{static_cast<uint32_t>(entries_.size()), hash};
        return true;
    }

    void erase(std::string_view key)
    {
        const size_t slot = findSlot(key, hashOf(key));
        if (slot == kNone)
            return;
        Entry& entry = entries_[table_[slot].entry - 1];
        entry = Entry{};
        table_[slot].entry = kRemoved; // still counted in used_: probes go on past it
        ++gaps_;
        if (gaps_ > 64 && gaps_ * 2 > entries_.size())
            compact(); // a walk over the entries does not wade through more gaps than entries
    }

    template <class F>
    void forEach(F&& visit) const
    {
        for (const Entry& entry : entries_) {
            if (entry.live)
                visit(entry.key, entry.value);
        }
    }

    std::vector<Ptr> values() const
    {
        std::vector<Ptr> result;
        result.reserve(static_cast<size_t>(count()));
        forEach([&result](const std::string&, const Ptr& value) { result.push_back(value); });
        return result;
    }

    std::vector<std::string> keys() const
    {
        std::vector<std::string> result;
        result.reserve(static_cast<size_t>(count()));
        forEach([&result](const std::string& key, const Ptr&) { result.push_back(key); });
        return result;
    }

    void reserve(size_t n)
    {
        entries_.reserve(n);
        if (n * 4 > table_.size() * 3)
            rebuildTable(n);
    }

private:
    struct Entry {
        std::string key;
        Ptr value;
        uint32_t hash = 0;
        bool live = false; // false for a removed entry
    };
    struct Slot {
        uint32_t entry = 0; // kEmpty, kRemoved, or 1 + the entry's index
        uint32_t hash = 0;
    };
    static constexpr uint32_t kEmpty = 0;
    static constexpr uint32_t kRemoved = UINT32_MAX;
    static constexpr size_t kNone = SIZE_MAX;

    static uint32_t hashOf(std::string_view key) { return static_cast<uint32_t>(std::hash<std::string_view>{}(key)); }

    // The slot that holds key, or kNone.
    size_t findSlot(std::string_view key, uint32_t hash) const
    {
        if (table_.empty())
            return kNone;
        const size_t mask = table_.size() - 1;
        for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
            const Slot& s = table_[slot];
            if (s.entry == kEmpty)
                return kNone;
            if (s.entry != kRemoved && s.hash == hash && entries_[s.entry - 1].key == key)
                return slot;
        }
    }

    size_t findEntry(std::string_view key) const
    {
        const size_t slot = findSlot(key, hashOf(key));
        return slot == kNone ? kNone : table_[slot].entry - 1;
    }

    // The first empty or removed slot on hash's probe path (the table always has an empty one).
    size_t freeSlot(uint32_t hash) const
    {
        const size_t mask = table_.size() - 1;
        size_t slot = hash & mask;
        while (table_[slot].entry != kEmpty && table_[slot].entry != kRemoved)
            slot = (slot + 1) & mask;
        return slot;
    }

    // A table for at least n entries, at most three quarters full, holding the live entries.
    void rebuildTable(size_t n)
    {
        size_t size = 16;
        while (size * 3 < std::max(n, static_cast<size_t>(count())) * 4)
            size *= 2;
        table_.assign(size, Slot{});
        used_ = 0;
        const size_t mask = size - 1;
        for (size_t i = 0; i < entries_.size(); ++i) {
            if (!entries_[i].live)
                continue;
            size_t slot = entries_[i].hash & mask;
            while (table_[slot].entry != kEmpty)
                slot = (slot + 1) & mask;
            table_[slot] = Slot{static_cast<uint32_t>(i + 1), entries_[i].hash};
            ++used_;
        }
    }

    // Closes the gaps removals left; entry numbers change, so the table is rebuilt.
    void compact()
    {
        if (gaps_ == 0)
            return;
        size_t to = 0;
        for (size_t from = 0; from < entries_.size(); ++from) {
            if (!entries_[from].live)
                continue;
            if (to != from)
                entries_[to] = std::move(entries_[from]);
            ++to;
        }
        entries_.resize(to);
        gaps_ = 0;
        rebuildTable(to);
    }

    std::vector<Entry> entries_;
    std::vector<Slot> table_; // size a power of two, or empty
    size_t used_ = 0;         // slots not empty: entries and removed marks
    size_t gaps_ = 0;         // removed entries still in entries_
};

} // namespace detail

// The program's container for records: an ordered map from text keys to shared records. Order
// is the order of first insertion (for loaded maps, the order of the lines in the file); keys are
// compared exactly. Adding a key that is present replaces its value in place. Positions and
// counts are 16-bit in the stored formats' tradition, so a map holds at most 32767 entries:
// adding one more new key is refused and addMap returns false.
template <class T>
class OrderedMap {
public:
    using Ptr = std::shared_ptr<T>;
    static constexpr int kMaxEntries = 32767;

    bool addMap(const std::string& key, Ptr value)
    {
        if (store_.count() >= kMaxEntries && !store_.contains(key))
            return false;
        store_.put(key, std::move(value));
        return true;
    }
    bool isFull() const { return store_.count() >= kMaxEntries; }

    int checkKey(std::string_view key) const { return store_.position(key); }
    bool contains(std::string_view key) const { return store_.contains(key); }
    int getCount() const { return store_.count(); }

    bool removeMap(std::string_view key)
    {
        store_.erase(key);
        return true;
    }

    // The value of key, or nullptr when absent.
    Ptr getValueByKey(std::string_view key) const { return store_.find(key); }
    // Sets value only when key is present; otherwise value keeps what it held.
    void getValueByKey(std::string_view key, Ptr& value) const
    {
        if (Ptr found = store_.find(key))
            value = std::move(found);
    }

    // Snapshots of the values and keys in map order; changing the map afterwards does not
    // change them.
    std::vector<Ptr> getValueCol() const { return store_.values(); }
    std::vector<std::string> getKeyCol() const { return store_.keys(); }

    // Visits (key, value) in map order without copying. The visitor must not change the map.
    template <class F>
    void forEach(F&& visit) const
    {
        store_.forEach(std::forward<F>(visit));
    }

    void reserve(size_t n) { store_.reserve(n); }

private:
    detail::OrderedKeyedStore<T> store_;
};

// An ordered collection of records keyed by id, as the queries return them: unbounded, and
// adding a key that is already there fails and leaves the collection as it was.
template <class T>
class KeyedCollection {
public:
    using Ptr = std::shared_ptr<T>;

    bool add(const std::string& key, Ptr value)
    {
        if (store_.contains(key))
            return false;
        store_.put(key, std::move(value));
        return true;
    }
    bool contains(std::string_view key) const { return store_.contains(key); }
    int count() const { return store_.count(); }
    Ptr get(std::string_view key) const { return store_.find(key); }
    void remove(std::string_view key) { store_.erase(key); }
    std::vector<Ptr> values() const { return store_.values(); }
    std::vector<std::string> keys() const { return store_.keys(); }
    template <class F>
    void forEach(F&& visit) const
    {
        store_.forEach(std::forward<F>(visit));
    }

private:
    detail::OrderedKeyedStore<T> store_;
};

} // namespace quillory
