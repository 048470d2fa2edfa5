#include "core/store/QlrDirContentModel.h"

#include "core/store/RecordIds.h"
#include "core/store/RootPathSource.h"
#include "core/store/fileOpe.h"

namespace quillory {

std::string QlrDirContentModel::cContentPath() const
{
    if (rawPath || !root_)
        return storedPath_;
    const std::string& root = root_->getRootPath();
    std::string result;
    size_t from = 0;
    for (size_t at = storedPath_.find(kRootPlaceholder); at != std::string::npos;
         at = storedPath_.find(kRootPlaceholder, from)) {
        result.append(storedPath_, from, at - from);
        result += root;
        from = at + kRootPlaceholder.size();
    }
    if (from == 0)
        return storedPath_;
    result.append(storedPath_, from, std::string::npos);
    return result;
}

// Only a root that is the whole first part of the path is replaced: a path that merely
// contains the root's text elsewhere (a web address, a sibling folder whose name starts like
// the root's) is stored as it is, so it does not change when the catalog moves.
void QlrDirContentModel::setCContentPath(std::string_view value)
{
    if (root_) {
        const std::string& root = root_->getRootPath();
        const bool rootEndsPath = !root.empty() && root.back() == kPathSep;
        if (!root.empty() && value.substr(0, root.size()) == root
            && (value.size() == root.size() || rootEndsPath || value[root.size()] == kPathSep)) {
            storedPath_ = std::string(kRootPlaceholder);
            storedPath_.append(value.substr(root.size()));
            return;
        }
    }
    storedPath_ = std::string(value);
}

std::string QlrDirContentModel::dirId() const
{
    return folderOfIndexId(cId);
}

} // namespace quillory
