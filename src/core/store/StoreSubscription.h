#pragma once

#include <functional>
#include <utility>

#include "core/store/CatalogStore.h"

namespace quillory {

// Follows a store's change notices from its making until stop() or its end, whichever comes
// first. A view made for a window that may outlive its store stops before the store goes.
class StoreSubscription {
public:
    StoreSubscription(CatalogStore& store, std::function<void(const StoreChange&)> listener)
        : store_(store), id_(store.addChangeListener(std::move(listener)))
    {}
    ~StoreSubscription() { stop(); }
    StoreSubscription(const StoreSubscription&) = delete;
    StoreSubscription& operator=(const StoreSubscription&) = delete;

    void stop()
    {
        if (std::exchange(active_, false))
            store_.removeChangeListener(id_);
    }
    bool active() const { return active_; }

private:
    CatalogStore& store_;
    int id_;
    bool active_ = true;
};

} // namespace quillory
