#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/base/Listeners.h"
#include "core/store/CatalogFileReader.h"
#include "core/store/CatalogPaths.h"
#include "core/store/FolderRecord.h"
#include "core/store/IndexRecord.h"
#include "core/store/OrderedMap.h"
#include "core/store/SafeFile.h"
#include "core/store/StoreOutcome.h"
#include "core/store/TextFiles.h"

namespace quillory {

using ContentCollection = KeyedCollection<IndexRecord>;

// The direct children of every folder, each list in folder-cache order.
using FolderChildren = std::unordered_map<std::string, std::vector<std::shared_ptr<FolderRecord>>>;

// The store of the open catalog: the folder tree in one folder file, and the indexes of each
// folder in an index file of their own. Everything read is kept in two caches (all folders;
// each folder's indexes) that callers receive and change directly; a change is then written
// with one of the write operations. There is no save step.
//
// Every operation shows nothing: a write returns its outcome (the message key, the file and the
// reason when it failed, and what it has to tell all the same), a read adds what it came upon to
// the problems it is given. The caller tells the user, once per user action; batch work
// (searches over many folders) collects the problems of all its files and tells them at the end.
//
// After every successful write, and when the caches are dropped, the listeners are told which
// file changed, so that the views can follow.
//
// A file that could not be read completely (unreadable, or more records than a map holds) is
// never rewritten from its partial copy, nor added to, until the caches are dropped: rewriting
// it would lose what was not read, and ids drawn from the partial copy could be taken already.
// Its problem is told once. A file whose read dropped something (a damaged line, fields after
// the last, an id taken again by a later line) is kept as it was, beside it, before it is first
// rewritten, and the user is told where the copy is.
//
// A cache tells a file that was read and is empty from one never read: only a file never read
// (or one that could not be read) is read again when asked for.
//
// Another program may change a file while its copy is cached (a sync tool, a restored backup, a
// second editor). Before every write the store compares the file's stamp (inode, size, time of
// change) with the one it read; when they differ, it reads the file again and applies the
// user's change (what the map written differs in from the file as read) to the fresh content,
// so that nothing the other program wrote is lost. A change to an entry that is no longer there
// is refused with Err022. New ids are taken from the file as it is on disk.
//
// Threads: every member is for the window thread only. Another thread (the document scan)
// reads index files with readIndexFile() of CatalogFileReader.h, which touches no cache and
// nothing of this object; the paths it reads are taken here, on the window thread, first.
class CatalogStore {
public:
    explicit CatalogStore(TextFiles& files);

    // The open catalog's paths, as given when it was opened or closed (empty until then). Every
    // file the store reads or writes is one of these.
    void usePaths(const CatalogPaths& paths) { paths_ = paths; }
    const CatalogPaths& paths() const { return paths_; }
    const std::string& getDirFilePath() const { return paths_.folderFile(); }
    std::string getContentFilePath(const std::string& dirId) const { return paths_.indexFile(dirId); }
    static std::string_view getFieldSeparator();

    // ---- folders ----
    // The cache of all folders, read from the folder file when it is empty.
    std::shared_ptr<FolderMap> getAllDirMap(StoreProblems& problems);
    // The same, read again first when another program changed the folder file since.
    std::shared_ptr<FolderMap> getCurrentDirMap(StoreProblems& problems);
    // "D" and the smallest free number from 1.
    std::string getNewDirId(StoreProblems& problems);
    // Adds to map the direct children of parentId ("0" for the top level), or with subtree set,
    // all its descendants: the children first, then the subtree of each child in turn.
    void getQlrDirsByParentId(const std::string& parentId, bool subtree, FolderMap& map, StoreProblems& problems);
    // The ids of those folders, appended to ids; ids already there are skipped.
    void getDirIdsByParentId(const std::string& parentId, bool subtree, std::vector<std::string>& ids,
                             StoreProblems& problems);
    // The cached folder, or nullptr.
    std::shared_ptr<FolderRecord> getQlrDirById(const std::string& id, StoreProblems& problems);
    FolderChildren getFolderChildren(StoreProblems& problems);
    // Replaces the folder file with the folders of map.
    StoreOutcome writeAllQlrDbDir(WriteMode mode, const FolderMap& map);
    // Appends one folder to the folder file and adds it to the cache.
    StoreOutcome writeAddQlrDbDir(std::shared_ptr<FolderRecord> record);

    // ---- indexes ----
    // The cached indexes of a folder; a folder whose cached map is empty is read again.
    std::shared_ptr<IndexMap> getDirContentMap(const std::string& dirId, StoreProblems& problems);
    // The same, read again first when another program changed the index file since.
    std::shared_ptr<IndexMap> getCurrentContentMap(const std::string& dirId, StoreProblems& problems);
    // The folder id, "!C" and the smallest free number from 1.
    std::string getNewDirContentId(const std::string& dirId, StoreProblems& problems);
    std::shared_ptr<IndexRecord> getQlrDirContentById(const std::string& dirId, const std::string& cId,
                                                      StoreProblems& problems);
    // A read of the folder's index file made off the window thread: the cache takes it where
    // getDirContentMap would read the file. Returns the map the cache holds for the folder
    // afterwards (the read's own, or the one it already held).
    std::shared_ptr<IndexMap> takeIndexFileRead(const std::string& dirId, const IndexFileRead& read,
                                                StoreProblems& problems);
    // A new, empty index record bound to the open catalog's root.
    std::shared_ptr<IndexRecord> newContentRecord();

    // Every index of the folders, folder by folder in the given order. Stops at the first
    // index already in result.
    void getDirContentByIdS(const std::vector<std::string>& dirIds, ContentCollection& result, StoreProblems& problems);
    // Indexes whose title (description, path) contains text, ignoring letter case; an empty
    // text matches every index. Indexes already in result are skipped.
    void getDirContentByTitle(const std::vector<std::string>& dirIds, std::string_view text, ContentCollection& result,
                              StoreProblems& problems);
    void getDirContentByDesc(const std::vector<std::string>& dirIds, std::string_view text, ContentCollection& result,
                             StoreProblems& problems);
    // Fills a fresh map per folder with provider (by default: the folder's index file, bypassing
    // the cache) and matches the paths as they read with the root in place.
    using ContentProvider = std::function<void(const std::string& dirId, IndexMap& map)>;
    void getDirContentByPath(const std::vector<std::string>& dirIds, std::string_view text,
                             const ContentProvider& provider, ContentCollection& result, StoreProblems& problems);

    // Replaces the folder's index file with the indexes of map.
    StoreOutcome writeAllQlrDbDirContent(const std::string& dirId, WriteMode mode, const IndexMap& map);
    // Appends one index to the folder's index file and adds it to the folder's cached map.
    StoreOutcome writeAddQlrDbDirContent(const std::string& dirId, std::shared_ptr<IndexRecord> record);

    // The open catalog's root: a stored path that is not absolute lies under it.
    const std::string& getRootPath() const { return paths_.root(); }
    // The file calls the store makes (and those of readers that work for it).
    FileIo& fileIo() const { return files_.io(); }

    // Drops both caches.
    void resetStoreCache();
    // False when the file at path could not be read whole (it is then never written).
    bool isReadWhole(const std::string& path) const
    {
        return incompleteFiles_.empty() || !incompleteFiles_.count(path);
    }

    // Told after every successful write and when the caches are dropped.
    int addChangeListener(std::function<void(const StoreChange&)> listener)
    {
        return changes_.add(std::move(listener));
    }
    void removeChangeListener(int id) { changes_.remove(id); }

private:
    // A catalog file as the store last read or wrote it.
    struct FileSnapshot {
        FileStamp stamp;
        std::shared_ptr<const void> owner; // keeps text
        std::string_view text;
    };
    // Whether the file at path is no longer the one last read or written.
    bool changedOnDisk(const std::string& path) const;
    // Reads path again after another program changed it. cache takes the changes it had since
    // the file was read, applied to the fresh content (where they no longer fit, the file wins).
    // When mine (the map to be written) is given, toWrite receives mine's changes applied to the
    // fresh content, or the outcome refuses them when they no longer fit. A map that mine is the
    // cache itself becomes toWrite.
    template <class Map, class ReadFresh, class ParseBase, class Format>
    StoreOutcome takeOutsideChanges(const std::string& path, const char* errorKey, Map& cache, const Map* mine,
                                    Map& toWrite, StoreProblems& problems, ReadFresh readFresh, ParseBase parseBase,
                                    Format format);
    StoreOutcome takeOutsideFolderChanges(const FolderMap* mine, FolderMap& toWrite, StoreProblems& problems);
    StoreOutcome takeOutsideIndexChanges(const std::string& dirId, const IndexMap* mine, IndexMap& toWrite,
                                         StoreProblems& problems);
    // After the cache took a read of path, or a write of it: its stamp and content.
    template <class Read>
    void rememberRead(const std::string& path, const Read& read);
    void rememberWritten(const std::string& path, std::string content);
    void rememberAppended(const std::string& path, const std::string& line);
    template <class Field>
    void searchContent(const std::vector<std::string>& dirIds, std::string_view text, Field field,
                       ContentCollection& result, StoreProblems& problems);
    // Notes how the read of path went and keeps what it found wrong, each unreadable file's
    // problem only the first time.
    template <class Read>
    void takeRead(const std::string& path, const Read& read, StoreProblems& problems);
    StoreOutcome refuseIfIncomplete(const std::string& path, const char* errorKey) const;
    // Before the first rewrite of a file whose read dropped something: a copy of it as it is.
    // The outcome carries the notice that tells where the copy is, or fails with errorKey.
    StoreOutcome keepDamagedFile(const std::string& path, const char* errorKey);
    // The rewrite of path with lines, told to the listeners as change.
    StoreOutcome rewrite(const std::string& path, WriteMode mode, const std::vector<std::string>& lines,
                         const char* errorKey, StoreChange change);
    bool needsReading(const std::string& path, const std::shared_ptr<void>& cached, bool cachedEmpty) const;
    static StoreOutcome outcomeOf(const WriteOutcome& written, const std::string& path, const char* errorKey);
    void notify(StoreChange::Kind kind, const std::string& dirId = {}) const
    {
        changes_.notify(StoreChange{kind, dirId});
    }

    TextFiles& files_;
    // Assigned in place when another catalog is opened, so that the root of every record (a
    // pointer to paths_.root()) follows.
    CatalogPaths paths_;
    std::shared_ptr<FolderMap> dirMapCache_;
    bool dirsRead_ = false;
    OrderedMap<IndexMap> contentMapCache_;
    // Files not read whole, each with the message key of the reason.
    std::unordered_map<std::string, std::string> incompleteFiles_;
    // Files whose read dropped something and that have not been kept aside yet.
    std::unordered_set<std::string> damagedFiles_;
    // Every file read whole or written, as it was then.
    std::unordered_map<std::string, FileSnapshot> snapshots_;
    Listeners<const StoreChange&> changes_;
};

} // namespace quillory
