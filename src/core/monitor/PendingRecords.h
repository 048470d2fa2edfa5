#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "core/monitor/PendingChange.h"

namespace quillory {

// The records the monitor holds until they are written: at most one per index, in the order
// they were last changed (a later record of an index replaces its earlier one and moves to the
// end).
class PendingRecords {
public:
    void put(PendingChange change);
    void erase(const std::string& indexId);
    const PendingChange* find(const std::string& indexId) const;
    size_t size() const { return at_.size(); }
    bool empty() const { return at_.empty(); }
    std::vector<PendingChange> inOrder() const;
    void clear();

private:
    std::vector<PendingChange> records_; // erased ones are left with an empty id
    std::unordered_map<std::string, size_t> at_;
};

} // namespace quillory
