#include "core/store/qlrDbOpe.h"

#include <cerrno>
#include <charconv>

#include "core/config/CatalogLayout.h"
#include "core/config/Messages.h"
#include "core/store/IdAllocation.h"
#include "core/store/RecordFormat.h"
#include "core/store/RecordIds.h"
#include "core/store/fileOpe.h"

namespace quillory {

qlrDbOpe::qlrDbOpe(fileOpe& files, Messages& messages, CatalogLayout& layout, RootPathSource& root)
    : files_(files), messages_(messages), layout_(layout), root_(root), dirMapCache_(std::make_shared<DirMap>())
{
}

std::string qlrDbOpe::getDirFilePath() { return layout_.getDirFilePath(); }
std::string qlrDbOpe::getContentFilePath(const std::string& dirId) { return layout_.getContentFilePath(dirId); }
std::string_view qlrDbOpe::getFieldSeparator() { return quillory::getFieldSeparator(); }

void qlrDbOpe::resetStoreCache()
{
    dirMapCache_ = std::make_shared<DirMap>();
    contentMapCache_ = MyMap<ContentMap>();
    incompleteFiles_.clear();
}

bool qlrDbOpe::readForMap(const std::string& path, const char* errorKey, std::string& content)
{
    int error = 0;
    lastReadComplete_ = true;
    if (readWholeFileInto(path, content, &error))
        return true;
    lastReadComplete_ = error == ENOENT; // a missing file is an empty one
    if (error != ENOENT && incompleteFiles_.insert(path).second)
        messages_.show(errorKey, MsgButtons::Ok, path);
    return false;
}

void qlrDbOpe::returnReadBuffer(std::string buffer)
{
    // Loading reads thousands of small files: one buffer for all of them keeps that memory
    // warm. One that a large file made large is let go.
    constexpr size_t kKeepAtMost = 1 << 20;
    if (buffer.capacity() <= kKeepAtMost)
        readBuffer_ = std::move(buffer);
}

bool qlrDbOpe::refuseIfIncomplete(const std::string& path, const char* errorKey)
{
    if (!incompleteFiles_.count(path))
        return false;
    messages_.show(errorKey, MsgButtons::Ok, path);
    return true;
}

bool qlrDbOpe::reportWrite(const WriteOutcome& outcome, const std::string& path, const char* errorKey)
{
    if (outcome)
        return true;
    messages_.show(outcome.folderMissing ? "Err009" : errorKey, MsgButtons::Ok, path + " (" + outcome.reason() + ")");
    return false;
}

std::shared_ptr<DirMap> qlrDbOpe::getAllDirMap()
{
    if (dirMapCache_->getCount() > 0)
        return dirMapCache_;
    auto map = std::make_shared<DirMap>();
    getAllQlrDbDir(*map);
    if (lastReadComplete_)
        incompleteFiles_.erase(getDirFilePath()); // the cache now holds the whole file
    dirMapCache_ = map;
    return map;
}

void qlrDbOpe::getAllQlrDbDir(DirMap& map)
{
    const std::string path = getDirFilePath();
    std::string content = takeReadBuffer();
    if (!readForMap(path, "Err002", content)) {
        returnReadBuffer(std::move(content));
        return;
    }
    bool full = false;
    fileOpe::forEachNumberedLine(content, [&](std::string_view line, int lineNumber) {
        if (full)
            return;
        auto record = std::make_shared<QlrDirModel>();
        if (!parseDirLine(line, *record))
            messages_.show("Err003", MsgButtons::Ok, path + ":" + std::to_string(lineNumber));
        const std::string key = record->dirId;
        if (!map.addMap(key, std::move(record))) {
            full = true;
            lastReadComplete_ = false;
            incompleteFiles_.insert(path);
            messages_.show("Err002", MsgButtons::Ok, path);
        }
    });
    returnReadBuffer(std::move(content));
}

std::string qlrDbOpe::getNewDirId()
{
    return smallestFreeId(*getAllDirMap(), std::string(kFolderIdPrefix));
}

FolderChildren qlrDbOpe::getFolderChildren()
{
    FolderChildren children;
    getAllDirMap()->forEach([&children](const std::string&, const std::shared_ptr<QlrDirModel>& folder) {
        children[folder->parentDirId].push_back(folder);
    });
    return children;
}

void qlrDbOpe::getQlrDirsByParentId(const std::string& parentId, bool subtree, DirMap& map)
{
    const auto all = getAllDirMap();
    if (!subtree) {
        all->forEach([&](const std::string& key, const std::shared_ptr<QlrDirModel>& folder) {
            if (folder->parentDirId == parentId)
                map.addMap(key, folder);
        });
        return;
    }
    // Children first, then each child's subtree in turn. A folder is walked once, so parents
    // that form a cycle in a damaged file cannot make this run forever.
    const FolderChildren children = getFolderChildren();
    std::unordered_set<std::string> walked;
    std::function<void(const std::string&)> walk = [&](const std::string& parent) {
        if (!walked.insert(parent).second)
            return;
        const auto it = children.find(parent);
        if (it == children.end())
            return;
        for (const auto& child : it->second)
            map.addMap(child->dirId, child);
        for (const auto& child : it->second)
            walk(child->dirId);
    };
    walk(parentId);
}

void qlrDbOpe::getDirIdsByParentId(const std::string& parentId, bool subtree, std::vector<std::string>& ids)
{
    DirMap folders;
    getQlrDirsByParentId(parentId, subtree, folders);
    std::unordered_set<std::string> present(ids.begin(), ids.end());
    folders.forEach([&](const std::string& key, const std::shared_ptr<QlrDirModel>&) {
        if (present.insert(key).second)
            ids.push_back(key);
    });
}

std::shared_ptr<QlrDirModel> qlrDbOpe::getQlrDirById(const std::string& id)
{
    return getAllDirMap()->getValueByKey(id);
}

bool qlrDbOpe::writeAllQlrDbDir(int16_t mode, const DirMap& map)
{
    const std::string path = getDirFilePath();
    if (refuseIfIncomplete(path, "Err004"))
        return false;
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(map.getCount()));
    map.forEach([&lines](const std::string&, const std::shared_ptr<QlrDirModel>& folder) {
        lines.push_back(formatDirLine(*folder));
    });
    return reportWrite(files_.writeFileQuietly(path, mode, 1, lines), path, "Err004");
}

bool qlrDbOpe::writeAddQlrDbDir(std::shared_ptr<QlrDirModel> record)
{
    const std::string path = getDirFilePath();
    const auto cache = getAllDirMap();
    if (!cache->contains(record->dirId) && cache->isFull()) {
        messages_.show("Err005", MsgButtons::Ok, path);
        return false;
    }
    // The leading CR ends a last line that lacks its line end; the empty line it may leave is
    // skipped when the file is read.
    // Appended to a CR rather than written "\r" + ...: GCC 12 at -O3 takes that for an
    // overlapping copy (-Wrestrict), which stops Release builds.
    const std::string line = std::string(1, '\r').append(formatDirLine(*record));
    if (!reportWrite(files_.writeFileQuietly(path, FILE_APPEND, 1, {line}), path, "Err005"))
        return false;
    const std::string key = record->dirId;
    cache->addMap(key, std::move(record));
    return true;
}

} // namespace quillory
