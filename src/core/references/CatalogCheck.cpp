#include "core/references/CatalogCheck.h"

#include "core/store/CatalogFileReader.h"

namespace quillory {

CatalogCheckPlan planCatalogCheck(CatalogStore& store, const DiskProbe& disk, StoreProblems& problems)
{
    CatalogCheckPlan plan;
    plan.io = &store.fileIo();
    plan.root = &store.getRootPath();
    plan.rootPath = store.getRootPath();
    plan.disk = &disk;
    for (const std::string& dirId : searchScope(store, "", false, true, problems))
        plan.folders.push_back({dirId, store.getContentFilePath(dirId)});
    return plan;
}

CatalogCheck::CatalogCheck(CatalogCheckPlan plan) : plan_(std::move(plan)) {}

CatalogCheck::~CatalogCheck()
{
    stop();
}

void CatalogCheck::start(std::function<void()> ended, std::function<void()> onThread)
{
    if (worker_.started())
        return;
    endedCall_ = std::move(ended);
    onThread_ = std::move(onThread);
    worker_.start([this] { run(); });
}

void CatalogCheck::stop()
{
    worker_.stop();
}

std::vector<ReferenceProblem> CatalogCheck::problems() const
{
    std::lock_guard lock(mutex_);
    return problems_;
}

StoreProblems CatalogCheck::readProblems() const
{
    std::lock_guard lock(mutex_);
    return readProblems_;
}

void CatalogCheck::run()
{
    if (onThread_)
        onThread_();
    bool whole = true;
    for (size_t i = 0; i < plan_.folders.size(); ++i) {
        if (!worker_.gate().pass(i)) {
            whole = false;
            break;
        }
        const auto& folder = plan_.folders[i];
        const IndexFileRead read = readIndexFile(*plan_.io, folder.indexFile, plan_.root);
        std::vector<ReferenceProblem> found;
        read.map->forEach([&](const std::string& id, const IndexMap::Ptr& record) {
            std::string place = placeOnDisk(record->cContentPath(), plan_.rootPath);
            const Presence presence = checkReference(*plan_.disk, place, plan_.rootPath);
            if (presence != Presence::Present)
                found.push_back({folder.dirId, id, std::move(place), presence});
        });
        {
            std::lock_guard lock(mutex_);
            problems_.insert(problems_.end(), std::make_move_iterator(found.begin()),
                             std::make_move_iterator(found.end()));
            readProblems_.append(read.problems);
        }
        foldersChecked_.fetch_add(1, std::memory_order_relaxed);
    }
    completed_ = whole;
    ended_ = true;
    if (endedCall_)
        endedCall_();
}

} // namespace quillory
