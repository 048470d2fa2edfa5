#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/catalog_window/search/IndexSearch.h"

namespace quillory {

// The document part of a search, on a thread of its own: it reads the index files of its plan
// (never the store's caches) and each index's document, and keeps the indexes whose document
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
    bool wasStopped() const { return stop_.load(); }
    bool running() const { return running_.load(); }

    // The indexes found so far, in order.
    std::vector<Found> found() const;
    // How many documents have been looked at.
    size_t documentsRead() const { return documentsRead_.load(std::memory_order_relaxed); }

private:
    void run();

    DocumentScanPlan plan_;
    std::function<void()> finished_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> running_{false};
    std::atomic<size_t> documentsRead_{0};
    mutable std::mutex mutex_;
    std::vector<Found> found_;
    std::thread thread_;
};

} // namespace quillory
