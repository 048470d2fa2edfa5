#include "core/store/FolderWalk.h"

#include <functional>

namespace quillory {
namespace {

uint32_t hashOf(std::string_view id)
{
    return static_cast<uint32_t>(std::hash<std::string_view>{}(id));
}

} // namespace

FolderWalk::FolderWalk(const FolderMap& all, std::string_view start)
{
    folders_.reserve(static_cast<size_t>(all.getCount()));
    all.forEach(
        [this](const std::string&, const std::shared_ptr<FolderRecord>& folder) { folders_.push_back(&folder); });
    const auto count = static_cast<uint32_t>(folders_.size());

    size_t tableSize = 16;
    while (tableSize < static_cast<size_t>(count) * 2)
        tableSize *= 2;
    slots_.assign(tableSize, kNone);
    const size_t mask = tableSize - 1;
    for (uint32_t number = 0; number < count; ++number) {
        size_t slot = hashOf((*folders_[number])->dirId) & mask;
        while (slots_[slot] != kNone)
            slot = (slot + 1) & mask;
        slots_[slot] = number;
    }

    // Parent numbers: a folder's own, count for start when start is no folder, count + 1 for
    // any other parent that is no folder (nothing walks those).
    const uint32_t startNumber = numberOf(start);
    start_ = startNumber == kNone ? count : startNumber;
    std::vector<uint32_t> parentOf(count);
    firstChild_.assign(static_cast<size_t>(count) + 3, 0);
    for (uint32_t number = 0; number < count; ++number) {
        const std::string& parentId = (*folders_[number])->parentDirId;
        uint32_t parent = numberOf(parentId);
        if (parent == kNone)
            parent = parentId == start ? count : count + 1;
        parentOf[number] = parent;
        ++firstChild_[parent + 1];
    }
    for (size_t parent = 1; parent < firstChild_.size(); ++parent)
        firstChild_[parent] += firstChild_[parent - 1];
    children_.resize(count);
    std::vector<uint32_t> filled(firstChild_.begin(), firstChild_.end() - 1);
    for (uint32_t number = 0; number < count; ++number)
        children_[filled[parentOf[number]]++] = number;
}

uint32_t FolderWalk::numberOf(std::string_view id) const
{
    const size_t mask = slots_.size() - 1;
    for (size_t slot = hashOf(id) & mask; slots_[slot] != kNone; slot = (slot + 1) & mask) {
        if ((*folders_[slots_[slot]])->dirId == id)
            return slots_[slot];
    }
    return kNone;
}

} // namespace quillory
