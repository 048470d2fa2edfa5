#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/catalog_window/search/IndexSearch.h"
#include "core/catalog_window/search/WorkerGate.h"

namespace quillory {

// The document part of a search, on a thread of its own: it reads the index files of its plan
// (never the store's caches), then each index's document, and keeps the indexes whose document
// holds the text, in folder and index order. The window stays free meanwhile; stop() ends the
// scan within one block of reading.
class DocumentScan {
public:
    struct Found {
        std::string dirId;
        std::string cId;
    };

    explicit DocumentScan(DocumentScanPlan plan);
    // Stops the scan and waits for its thread.
    ~DocumentScan();
    DocumentScan(const DocumentScan&) = delete;
    DocumentScan& operator=(const DocumentScan&) = delete;

    // Starts the scan. finished is called once, on the scan's thread, when it has ended (also
    // when it was stopped).
    void start(std::function<void()> finished);
    // Asks the scan to end and waits until it has.
    void stop();
    bool wasStopped() const { return gate_.stopped(); }
    bool running() const { return running_.load(); }
    // True once the scan has looked at every document of its plan (it was not stopped first).
    bool completed() const { return completed_.load(); }

    // The indexes found so far, in order.
    std::vector<Found> found() const;
    // How many documents have been looked at.
    size_t documentsRead() const { return documentsRead_.load(std::memory_order_relaxed); }
    // How many documents the scan looks at in all; 0 until its index files have been read.
    size_t documentsToRead() const { return documentsToRead_.load(std::memory_order_relaxed); }

    // Makes the scan wait before it looks at document number `document` (0 the first) until
    // release() or stop(); set before start(). Lets a test look at a scan that is surely still
    // running.
    void holdBefore(size_t document) { gate_.holdBefore(document); }
    void release() { gate_.release(); }
    // True while the scan waits at its hold.
    bool holding() const { return gate_.holding(); }

private:
    void run();

    DocumentScanPlan plan_;
    std::function<void()> finished_;
    WorkerGate gate_;
    std::atomic<bool> running_{false};
    std::atomic<bool> completed_{false};
    std::atomic<size_t> documentsRead_{0};
    std::atomic<size_t> documentsToRead_{0};
    mutable std::mutex mutex_;
    std::vector<Found> found_;
    std::thread thread_;
};

} // namespace quillory
