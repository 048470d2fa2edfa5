#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "core/store/MyMap.h"
#include "core/store/QlrDirContentModel.h"
#include "core/store/QlrDirModel.h"
#include "core/store/SafeFile.h"

namespace quillory {

class CatalogLayout;
class Messages;
class RootPathSource;
class fileOpe;

using DirMap = MyMap<QlrDirModel>;
using ContentMap = MyMap<QlrDirContentModel>;
using ContentCollection = KeyedCollection<QlrDirContentModel>;

// The direct children of every folder, each list in folder-cache order.
using FolderChildren = std::unordered_map<std::string, std::vector<std::shared_ptr<QlrDirModel>>>;

// The store of the open catalog: the folder tree in one folder file, and the indexes of each
// folder in an index file of their own. Everything read is kept in two caches (all folders;
// each folder's indexes) that callers receive and change directly; a change is then written
// with one of the write operations. There is no save step.
//
// A file that could not be read completely (unreadable, or more records than a map holds) is
// never rewritten from its partial copy until the caches are dropped: rewriting it would lose
// what was not read.
class qlrDbOpe {
public:
    qlrDbOpe(fileOpe& files, Messages& messages, CatalogLayout& layout, RootPathSource& root);

    std::string getDirFilePath();
    std::string getContentFilePath(const std::string& dirId);
    static std::string_view getFieldSeparator();

    // ---- folders ----
    // The cache of all folders, read from the folder file when it is empty.
    std::shared_ptr<DirMap> getAllDirMap();
    // Adds every folder of the folder file to map.
    void getAllQlrDbDir(DirMap& map);
    // "D" and the smallest free number from 1.
    std::string getNewDirId();
    // Adds to map the direct children of parentId ("0" for the top level), or with subtree set,
    // all its descendants: the children first, then the subtree of each child in turn.
    void getQlrDirsByParentId(const std::string& parentId, bool subtree, DirMap& map);
    // The ids of those folders, appended to ids; ids already there are skipped.
    void getDirIdsByParentId(const std::string& parentId, bool subtree, std::vector<std::string>& ids);
    // The cached folder, or nullptr.
    std::shared_ptr<QlrDirModel> getQlrDirById(const std::string& id);
    FolderChildren getFolderChildren();
    // Replaces the folder file with the folders of map.
    bool writeAllQlrDbDir(int16_t mode, const DirMap& map);
    // Appends one folder to the folder file and adds it to the cache.
    bool writeAddQlrDbDir(std::shared_ptr<QlrDirModel> record);

    // ---- indexes ----
    // The cached indexes of a folder; a folder whose cached map is empty is read again.
    std::shared_ptr<ContentMap> getDirContentMap(const std::string& dirId);
    // Reads the folder's index file into map, bypassing the cache.
    void getQlrDirContent(const std::string& dirId, ContentMap& map);
    // The folder id, "!C" and the smallest free number from 1.
    std::string getNewDirContentId(const std::string& dirId);
    std::shared_ptr<QlrDirContentModel> getQlrDirContentById(const std::string& dirId, const std::string& cId);
    // A new, empty index record bound to the open catalog's root.
    std::shared_ptr<QlrDirContentModel> newContentRecord();

    // Every index of the folders, folder by folder in the given order. Stops at the first
    // index already in result.
    void getDirContentByIdS(const std::vector<std::string>& dirIds, ContentCollection& result);
    // Indexes whose title (description, path) contains text, ignoring letter case; an empty
    // text matches every index. Indexes already in result are skipped.
    void getDirContentByTitle(const std::vector<std::string>& dirIds, std::string_view text, ContentCollection& result);
    void getDirContentByDesc(const std::vector<std::string>& dirIds, std::string_view text, ContentCollection& result);
    // Fills a fresh map per folder with provider (by default: the folder's index file, bypassing
    // the cache) and matches the paths as they read with the root in place.
    using ContentProvider = std::function<void(const std::string& dirId, ContentMap& map)>;
    void getDirContentByPath(const std::vector<std::string>& dirIds, std::string_view text,
                             const ContentProvider& provider, ContentCollection& result);

    // Replaces the folder's index file with the indexes of map.
    bool writeAllQlrDbDirContent(const std::string& dirId, int16_t mode, const ContentMap& map);
    // Appends one index to the folder's index file and adds it to the folder's cached map.
    bool writeAddQlrDbDirContent(const std::string& dirId, std::shared_ptr<QlrDirContentModel> record);

    // Drops both caches.
    void resetStoreCache();

private:
    template <class Field>
    void searchContent(const std::vector<std::string>& dirIds, std::string_view text, Field field,
                       ContentCollection& result);
    // Reads a file for a map into content; false when it is missing or (reported with errorKey)
    // unreadable.
    bool readForMap(const std::string& path, const char* errorKey, std::string& content);
    // Takes the buffer that file reads reuse (a read nested in another gets a fresh one), and
    // gives it back.
    std::string takeReadBuffer() { return std::exchange(readBuffer_, std::string()); }
    void returnReadBuffer(std::string buffer);
    bool refuseIfIncomplete(const std::string& path, const char* errorKey);
    bool reportWrite(const WriteOutcome& outcome, const std::string& path, const char* errorKey);

    fileOpe& files_;
    Messages& messages_;
    CatalogLayout& layout_;
    RootPathSource& root_;
    std::shared_ptr<DirMap> dirMapCache_;
    MyMap<ContentMap> contentMapCache_;
    std::unordered_set<std::string> incompleteFiles_;
    bool lastReadComplete_ = true; // whether the last file read for a map was read whole
    std::string readBuffer_;
};

} // namespace quillory
