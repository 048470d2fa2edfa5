#include "core/catalog_window/search/IndexFileSearch.h"

#include "core/store/TextMatch.h"

namespace quillory {

IndexFileSearchPlan planIndexFileSearch(CatalogStore& store, const std::vector<std::string>& scope,
                                        std::string_view text, const SearchOptions& options)
{
    IndexFileSearchPlan plan;
    plan.text = std::string(text);
    plan.titles = options.titles;
    plan.descriptions = options.descriptions;
    plan.io = &store.fileIo();
    plan.root = &store.getRootPath();
    plan.folders.reserve(scope.size());
    for (const std::string& dirId : scope)
        plan.folders.push_back({dirId, store.getContentFilePath(dirId)});
    return plan;
}

IndexFileSearch::IndexFileSearch(IndexFileSearchPlan plan) : plan_(std::move(plan)) {}

IndexFileSearch::~IndexFileSearch()
{
    stop();
}

void IndexFileSearch::start(std::function<void()> ready)
{
    if (worker_.started())
        return;
    ready_ = std::move(ready);
    worker_.start([this] { run(); });
}

void IndexFileSearch::stop()
{
    worker_.stop();
}

std::vector<IndexFileSearch::FolderRead> IndexFileSearch::take()
{
    std::lock_guard lock(mutex_);
    return std::exchange(waiting_, {});
}

void IndexFileSearch::run()
{
    const CaseInsensitiveMatcher matcher(plan_.text);
    bool whole = true;
    for (size_t i = 0; i < plan_.folders.size(); ++i) {
        if (!worker_.gate().pass(i)) {
            whole = false;
            break;
        }
        const auto& folder = plan_.folders[i];
        FolderRead found{folder.dirId, readIndexFile(*plan_.io, folder.indexFile, plan_.root), {}, {}};
        found.read.map->forEach([&](const std::string&, const IndexMap::Ptr& record) {
            if (plan_.titles && matcher.matches(record->cTitle()))
                found.byTitle.push_back(record);
            else if (plan_.descriptions && matcher.matches(record->cDesc()))
                found.byDescription.push_back(record);
        });
        bool first;
        {
            std::lock_guard lock(mutex_);
            first = waiting_.empty();
            waiting_.push_back(std::move(found));
        }
        foldersRead_.fetch_add(1, std::memory_order_relaxed);
        if (first && ready_)
            ready_();
    }
    completed_ = whole;
    ended_ = true;
    if (ready_)
        ready_();
}

} // namespace quillory
