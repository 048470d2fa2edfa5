#pragma once

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace quillory {

// Callbacks told about a change, each added with an id by which it is removed again.
template <class... Args>
class Listeners {
public:
    int add(std::function<void(Args...)> listener)
    {
        listeners_.emplace_back(nextId_, std::move(listener));
        return nextId_++;
    }
    void remove(int id)
    {
        listeners_.erase(
            std::remove_if(listeners_.begin(), listeners_.end(), [id](const auto& l) { return l.first == id; }),
            listeners_.end());
    }
    void notify(Args... args) const
    {
        // A listener may add or remove listeners: call a copy.
        const auto listeners = listeners_;
        for (const auto& [id, listener] : listeners)
            listener(args...);
    }

private:
    std::vector<std::pair<int, std::function<void(Args...)>>> listeners_;
    int nextId_ = 1;
};

} // namespace quillory
