#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quillory {

namespace detail {

struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

// Entries in order of first insertion, each key once, found by key in constant time on average.
// Removal leaves a gap that is closed the next time a position is asked for, so removing many
// entries one after another stays linear.
template <class T>
class OrderedKeyedStore {
public:
    using Ptr = std::shared_ptr<T>;

    int count() const { return static_cast<int>(slots_.size()); }

    // 1-based position of key in order, 0 when absent.
    int position(std::string_view key) const
    {
        const auto it = slots_.find(key);
        if (it == slots_.end())
            return 0;
        compact();
        return static_cast<int>(it->second) + 1;
    }

    bool contains(std::string_view key) const { return slots_.find(key) != slots_.end(); }

    Ptr find(std::string_view key) const
    {
        const auto it = slots_.find(key);
        return it == slots_.end() ? nullptr : entries_[it->second].value;
    }

    // Returns false when key was present (and then replaces its value in place).
    bool put(const std::string& key, Ptr value)
    {
        const auto it = slots_.find(key);
        if (it != slots_.end()) {
            entries_[it->second].value = std::move(value);
            return false;
        }
        const auto [inserted, ok] = slots_.emplace(key, entries_.size());
        (void)ok;
        entries_.push_back(Entry{&inserted->first, std::move(value)});
        return true;
    }

    void erase(std::string_view key)
    {
        const auto it = slots_.find(key);
        if (it == slots_.end())
            return;
        entries_[it->second] = Entry{};
        ++gaps_;
        slots_.erase(it);
    }

    template <class F>
    void forEach(F&& visit) const
    {
        for (const Entry& entry : entries_) {
            if (entry.key)
                visit(*entry.key, entry.value);
        }
    }

    std::vector<Ptr> values() const
    {
        std::vector<Ptr> result;
        result.reserve(slots_.size());
        forEach([&result](const std::string&, const Ptr& value) { result.push_back(value); });
        return result;
    }

    std::vector<std::string> keys() const
    {
        std::vector<std::string> result;
        result.reserve(slots_.size());
        forEach([&result](const std::string& key, const Ptr&) { result.push_back(key); });
        return result;
    }

    void reserve(size_t n)
    {
        slots_.reserve(n);
        entries_.reserve(n);
    }

private:
    struct Entry {
        const std::string* key = nullptr; // the key held by slots_; null for a removed entry
        Ptr value;
    };

    void compact() const
    {
        if (gaps_ == 0)
            return;
        size_t to = 0;
        for (size_t from = 0; from < entries_.size(); ++from) {
            if (!entries_[from].key)
                continue;
            if (to != from)
                entries_[to] = std::move(entries_[from]);
            slots_.find(*entries_[to].key)->second = to;
            ++to;
        }
        entries_.resize(to);
        gaps_ = 0;
    }

    mutable std::unordered_map<std::string, size_t, TextHash, std::equal_to<>> slots_;
    mutable std::vector<Entry> entries_;
    mutable size_t gaps_ = 0;
};

} // namespace detail

// The program's container for records: an ordered map from text keys to shared records. Order
// is the order of first insertion (for loaded maps, the order of the lines in the file); keys are
// compared exactly. Adding a key that is present replaces its value in place. Positions and
// counts are 16-bit in the stored formats' tradition, so a map holds at most 32767 entries:
// adding one more new key is refused and addMap returns false.
template <class T>
class MyMap {
public:
    using Ptr = std::shared_ptr<T>;
    static constexpr int kMaxEntries = 32767;

    bool addMap(const std::string& key, Ptr value)
    {
        if (!store_.contains(key) && store_.count() >= kMaxEntries)
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
    void forEach(F&& visit) const { store_.forEach(std::forward<F>(visit)); }

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
    void forEach(F&& visit) const { store_.forEach(std::forward<F>(visit)); }

private:
    detail::OrderedKeyedStore<T> store_;
};

} // namespace quillory
