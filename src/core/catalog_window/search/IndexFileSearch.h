#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/catalog_window/search/IndexSearch.h"
#include "core/catalog_window/search/WorkerGate.h"
#include "core/store/CatalogFileReader.h"

namespace quillory {

// What the title and description part of a search reads, taken on the window thread: each
// folder's index file, in scope order.
struct IndexFileSearchPlan {
    std::string text;
    bool titles = true;
    bool descriptions = true;
    FileIo* io = &defaultFileIo(); // the store's
    // The store's root, which the records read keep (the search itself never asks it).
    const std::string* root = nullptr;
    std::vector<DocumentScanPlan::Folder> folders;
};
IndexFileSearchPlan planIndexFileSearch(CatalogStore& store, const std::vector<std::string>& scope,
                                        std::string_view text, const SearchOptions& options);

// The title and description part of a search, on a thread of its own: it reads the index file
// of each folder of its plan (never the store's caches) and matches titles and descriptions
// while the window stays free. Each folder read is handed over whole, with its matches, for the
// window thread to take into the store's cache and to list.
class IndexFileSearch {
public:
    struct FolderRead {
        std::string dirId;
        IndexFileRead read;
        // The indexes whose title holds the text, then those further whose description does,
        // each in file order.
        std::vector<IndexMap::Ptr> byTitle;
        std::vector<IndexMap::Ptr> byDescription;
    };

    explicit IndexFileSearch(IndexFileSearchPlan plan);
    // Stops the search and waits for its thread.
    ~IndexFileSearch();
    IndexFileSearch(const IndexFileSearch&) = delete;
    IndexFileSearch& operator=(const IndexFileSearch&) = delete;

    // Starts the search. ready is called on the search's thread when folders wait to be taken
    // where none did, and once more when the search has ended (also when it was stopped).
    void start(std::function<void()> ready);
    // Asks the search to end and waits until it has.
    void stop();
    // True once the thread is done: every folder read, or stopped.
    bool ended() const { return ended_.load(); }
    // True once every folder of the plan has been read (the search was not stopped first).
    bool completed() const { return completed_.load(); }
    size_t foldersToRead() const { return plan_.folders.size(); }
    size_t foldersRead() const { return foldersRead_.load(std::memory_order_relaxed); }
    const IndexFileSearchPlan& plan() const { return plan_; }

    // The folders read since the last call, in plan order.
    std::vector<FolderRead> take();

    // Makes the search wait before it reads folder number `folder` (0 the first) until release()
    // or stop(); set before start(). Lets a test look at a search that is surely still running.
    void holdBefore(size_t folder) { worker_.gate().holdBefore(folder); }
    void release() { worker_.gate().release(); }
    // True while the search waits at its hold.
    bool holding() const { return worker_.gate().holding(); }

private:
    void run();

    IndexFileSearchPlan plan_;
    std::function<void()> ready_;
    GatedWorker worker_;
    std::atomic<bool> ended_{false};
    std::atomic<bool> completed_{false};
    std::atomic<size_t> foldersRead_{0};
    mutable std::mutex mutex_;
    std::vector<FolderRead> waiting_;
};

} // namespace quillory
