#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "core/store/CatalogFileReader.h"

namespace quillory {

// The folders below one folder of a catalog (or below "0", the top level), in the order the tree
// shows them: a folder's children first, then the subtree of each child in turn.
//
// Each folder is numbered by its place in the cache, and the children of each number lie in
// one array, so the walk follows plain arrays instead of looking names up at every step. A
// folder is walked once, so parents that form a cycle in a damaged file cannot make it run
// forever; the walk keeps its own stack, so thousands of nested folders cannot overflow the
// program's.
class FolderWalk {
public:
    FolderWalk(const FolderMap& all, std::string_view start);

    // Calls visit(folder) for each folder below start, each parent's children together.
    template <class Visit>
    void walk(Visit&& visit) const
    {
        std::vector<char> walked(folders_.size() + 1, 0);
        std::vector<uint32_t> pending{start_};
        while (!pending.empty()) {
            const uint32_t parent = pending.back();
            pending.pop_back();
            if (walked[parent])
                continue;
            walked[parent] = 1;
            const uint32_t first = firstChild_[parent], end = firstChild_[parent + 1];
            for (uint32_t at = first; at < end; ++at)
                visit(*folders_[children_[at]]);
            // The first child's subtree is walked next: push in reverse.
            for (uint32_t at = end; at > first; --at)
                pending.push_back(children_[at - 1]);
        }
    }

private:
    static constexpr uint32_t kNone = UINT32_MAX;

    // The number of the folder whose id is id, or kNone.
    uint32_t numberOf(std::string_view id) const;

    // The folders in cache order; a folder's number is its place here.
    std::vector<const std::shared_ptr<FolderRecord>*> folders_;
    // Folder numbers by the hash of their ids (kNone: empty).
    std::vector<uint32_t> slots_;
    // Per parent number, where its children start in children_: the folder numbers grouped by
    // parent, each group in cache order.
    std::vector<uint32_t> firstChild_;
    std::vector<uint32_t> children_;
    // start's number; folders_.size() when start is no folder.
    uint32_t start_ = 0;
};

} // namespace quillory
