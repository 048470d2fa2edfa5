#include "core/store/QlrDirContentModel.h"

#include "core/store/RecordIds.h"
#include "core/store/RootPathSource.h"
#include "core/store/fileOpe.h"

namespace quillory {

namespace {

// The root without separators at its end ("" for "/"): what a stored path continues with a
// separator of its own.
std::string_view rootWithoutTrailingSeparator(std::string_view root)
{
    while (!root.empty() && root.back() == kPathSep)
        root.remove_suffix(1);
    return root;
}

} // namespace

// Every placeholder is replaced, wherever it stands, as files have always been read. Where the
// stored path goes on with a separator, the root is joined to it without a second one (a root
// of "/" or one written with a trailing "/").
std::string QlrDirContentModel::cContentPath() const
{
    if (rawPath || !root_)
        return storedPath_;
    if (storedPath_.find(kRootPlaceholder) == std::string::npos)
        return storedPath_;
    const std::string& root = root_->getRootPath();
    const std::string_view trimmedRoot = rootWithoutTrailingSeparator(root);
    std::string result;
    size_t from = 0;
    for (size_t at = storedPath_.find(kRootPlaceholder); at != std::string::npos;
         at = storedPath_.find(kRootPlaceholder, from)) {
        result.append(storedPath_, from, at - from);
        from = at + kRootPlaceholder.size();
        const bool separatorFollows = from < storedPath_.size() && storedPath_[from] == kPathSep;
        result += separatorFollows ? trimmedRoot : std::string_view(root);
    }
    result.append(storedPath_, from, std::string::npos);
    return result;
}

// Only a root that is the whole first part of the path is replaced: a path that merely
// contains the root's text elsewhere (a web address, a sibling folder whose name starts like
// the root's) is stored as it is, so it does not change when the catalog moves. The stored
// path keeps the separator after the root, so it reads back right under any root, "/" too.
void QlrDirContentModel::setCContentPath(std::string_view value)
{
    if (root_) {
        const std::string& root = root_->getRootPath();
        const std::string_view trimmedRoot = rootWithoutTrailingSeparator(root);
        const bool inside = !root.empty() && value.substr(0, trimmedRoot.size()) == trimmedRoot
                            && (value.size() == trimmedRoot.size() ? !trimmedRoot.empty()
                                                                   : value[trimmedRoot.size()] == kPathSep);
        if (inside) {
            storedPath_ = std::string(kRootPlaceholder);
            storedPath_.append(value.substr(trimmedRoot.size()));
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
