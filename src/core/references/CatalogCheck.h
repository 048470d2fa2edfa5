#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/catalog_window/search/IndexSearch.h"
#include "core/catalog_window/search/WorkerGate.h"
#include "core/references/RefindSearch.h"

namespace quillory {

class DiskProbe;

// What a check of the whole catalog reads, taken on the window thread: every folder's index
// file, in store order, the catalog's root and the disk to look at.
struct CatalogCheckPlan {
    FileIo* io = &defaultFileIo();     // the store's
    const std::string* root = nullptr; // the store's root, which the records read keep
    std::string rootPath;
    const DiskProbe* disk = nullptr;
    std::vector<DocumentScanPlan::Folder> folders;
    // Where what is seen of the documents is remembered between checks, to find moved ones
    // again by their content ("": nowhere).
    std::string fingerprintFile;
};
CatalogCheckPlan planCatalogCheck(CatalogStore& store, const DiskProbe& disk, StoreProblems& problems);

// An index whose document is not where it points, and why.
struct ReferenceProblem {
    std::string dirId;
    std::string cId;
    std::string place;
    ReferenceState state = ReferenceState::Missing;
};

// The check of every index of a catalog, on a thread of its own: it reads each folder's index
// file (never the store's caches) and looks at each index's document on disk; then, once every
// folder is checked, it looks for the missing documents under the catalog's root, to offer
// where they may have gone. The window stays free meanwhile. It changes nothing in the catalog.
class CatalogCheck {
public:
    enum class Stage { Checking, Finding };

    explicit CatalogCheck(CatalogCheckPlan plan);
    // Stops the check and waits for its thread.
    ~CatalogCheck();
    CatalogCheck(const CatalogCheck&) = delete;
    CatalogCheck& operator=(const CatalogCheck&) = delete;

    // Starts the check. onThread runs first on the check's thread (the program lowers its
    // priority there); ended is called on that thread once it has ended, stopped or not.
    void start(std::function<void()> ended, std::function<void()> onThread = {});
    // Asks the check to end and waits until it has.
    void stop();
    bool ended() const { return ended_.load(); }
    // True once every folder has been checked (the check was not stopped first).
    bool completed() const { return completed_.load(); }
    size_t foldersToCheck() const { return plan_.folders.size(); }
    size_t foldersChecked() const { return foldersChecked_.load(std::memory_order_relaxed); }
    Stage stage() const { return finding_.load() ? Stage::Finding : Stage::Checking; }
    // While missing documents are looked for: the files looked at so far.
    size_t filesSeen() const;

    // The problems found so far, in folder and index order, and what reading the index files
    // came upon.
    std::vector<ReferenceProblem> problems() const;
    StoreProblems readProblems() const;
    // Where missing documents may have gone, each one's best first (RefindSearch); complete once
    // the check has ended.
    std::vector<RepairOffer> offers() const;

    // Makes the check wait before folder number `folder` (0 the first) until release() or
    // stop(); set before start().
    void holdBefore(size_t folder) { worker_.gate().holdBefore(folder); }
    // While it gives way, the check waits before its next folder, or its next folder searched
    // for missing documents (the user's search goes first).
    void giveWay(bool yes) { worker_.gate().pause(yes); }
    bool givingWay() const { return worker_.gate().paused(); }
    void release() { worker_.gate().release(); }
    bool holding() const { return worker_.gate().holding(); }

private:
    void run();
    bool checkFolders(ReferenceCheck& check);
    void findMissing(const FingerprintCache* cache);

    CatalogCheckPlan plan_;
    std::function<void()> endedCall_;
    std::function<void()> onThread_;
    GatedWorker worker_;
    std::atomic<bool> ended_{false};
    std::atomic<bool> completed_{false};
    std::atomic<bool> finding_{false};
    std::atomic<size_t> foldersChecked_{0};
    mutable std::mutex mutex_;
    std::vector<ReferenceProblem> problems_;
    StoreProblems readProblems_;
    std::vector<RepairOffer> offers_;
    std::unique_ptr<RefindSearch> refind_; // while missing documents are looked for
};

} // namespace quillory
