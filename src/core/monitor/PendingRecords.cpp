#include "core/monitor/PendingRecords.h"

namespace quillory {

void PendingRecords::put(PendingChange change)
{
    if (change.indexId.empty())
        return;
    erase(change.indexId);
    at_.emplace(change.indexId, records_.size());
    records_.push_back(std::move(change));
}

void PendingRecords::erase(const std::string& indexId)
{
    const auto found = at_.find(indexId);
    if (found == at_.end())
        return;
    records_[found->second] = PendingChange{};
    at_.erase(found);
    if (records_.size() > 64 && records_.size() > 2 * at_.size()) { // close the gaps now and then
        std::vector<PendingChange> kept;
        kept.reserve(at_.size());
        for (PendingChange& record : records_) {
            if (!record.indexId.empty()) {
                at_[record.indexId] = kept.size();
                kept.push_back(std::move(record));
            }
        }
        records_ = std::move(kept);
    }
}

const PendingChange* PendingRecords::find(const std::string& indexId) const
{
    const auto found = at_.find(indexId);
    return found == at_.end() ? nullptr : &records_[found->second];
}

std::vector<PendingChange> PendingRecords::inOrder() const
{
    std::vector<PendingChange> result;
    result.reserve(at_.size());
    for (const PendingChange& record : records_) {
        if (!record.indexId.empty())
            result.push_back(record);
    }
    return result;
}

void PendingRecords::clear()
{
    records_.clear();
    at_.clear();
}

} // namespace quillory
