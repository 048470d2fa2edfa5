#include "core/catalog_window/search/DocumentScan.h"

#include "core/catalog_window/ContentRows.h"
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
    stop_ = true;
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
    DocumentSearcher searcher(plan_.text);
    searcher.setStopFlag(&stop_);
    FixedRootPath root(plan_.rootPath);
    for (const auto& folder : plan_.folders) {
        if (stop_)
            break;
        // A file that cannot be read was told of when the titles were searched.
        const IndexFileRead read = readIndexFile(folder.indexFile, &root);
        read.map->forEach([&](const std::string& cId, const ContentMap::Ptr& record) {
            if (stop_ || plan_.skip.contains(cId))
                return;
            const bool holds = searcher.fileContains(openablePath(record->cContentPath(), plan_.rootPath));
            documentsRead_.fetch_add(1, std::memory_order_relaxed);
            if (holds && !stop_) {
                std::lock_guard lock(mutex_);
                found_.push_back({folder.dirId, cId});
            }
        });
    }
    running_ = false;
    if (finished_)
        finished_();
}

} // namespace quillory
