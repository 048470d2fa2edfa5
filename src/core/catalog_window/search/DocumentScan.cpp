#include "core/catalog_window/search/DocumentScan.h"

#include "core/catalog_window/IndexRows.h"
#include "core/catalog_window/search/FileScan.h"
#include "core/store/CatalogFileReader.h"

namespace quillory {

DocumentScan::DocumentScan(DocumentScanPlan plan) : plan_(std::move(plan)) {}

DocumentScan::~DocumentScan()
{
    stop();
}

void DocumentScan::start(std::function<void()> finished)
{
    if (thread_.joinable())
        return;
    finished_ = std::move(finished);
    running_ = true;
    thread_ = std::thread([this] { run(); });
}

void DocumentScan::stop()
{
    gate_.stop();
    if (thread_.joinable())
        thread_.join();
}

std::vector<DocumentScan::Found> DocumentScan::found() const
{
    std::lock_guard lock(mutex_);
    return found_;
}

void DocumentScan::run()
{
    // The documents to look at, all told, so that the window can say how far the scan is.
    struct Document {
        const std::string* dirId;
        std::string cId;
        std::string path;
    };
    std::vector<Document> documents;
    bool whole = true;
    for (const auto& folder : plan_.folders) {
        if (gate_.stopped()) {
            whole = false;
            break;
        }
        // A file that cannot be read was told of when the titles were searched.
        const IndexFileRead read = readIndexFile(*plan_.io, folder.indexFile, &plan_.rootPath);
        read.map->forEach([&](const std::string& cId, const IndexMap::Ptr& record) {
            if (!plan_.skip.contains(cId))
                documents.push_back({&folder.dirId, cId, openablePath(record->cContentPath(), plan_.rootPath)});
        });
    }
    if (whole)
        documentsToRead_.store(documents.size(), std::memory_order_relaxed);

    DocumentSearcher searcher(plan_.text, *plan_.io);
    searcher.setStopFlag(gate_.stopFlag());
    for (size_t i = 0; i < documents.size() && whole; ++i) {
        if (!gate_.pass(i)) {
            whole = false;
            break;
        }
        const Document& document = documents[i];
        const bool holds = searcher.fileContains(document.path);
        if (gate_.stopped()) {
            whole = false; // the document may have been left unread
            break;
        }
        documentsRead_.fetch_add(1, std::memory_order_relaxed);
        if (holds) {
            std::lock_guard lock(mutex_);
            found_.push_back({*document.dirId, document.cId});
        }
    }
    completed_ = whole;
    running_ = false;
    if (finished_)
        finished_();
}

} // namespace quillory
