#include "core/references/CatalogCheck.h"

#include "core/monitor/DiskProbe.h"
#include "core/store/CatalogFileReader.h"

namespace quillory {

CatalogCheckPlan planCatalogCheck(CatalogStore& store, const DiskProbe& disk, StoreProblems& problems)
{
    CatalogCheckPlan plan;
    plan.io = &store.fileIo();
    plan.root = &store.getRootPath();
    plan.rootPath = store.getRootPath();
    plan.disk = &disk;
    plan.fingerprintFile = FingerprintCache::fileFor(store.getDirFilePath());
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

size_t CatalogCheck::filesSeen() const
{
    std::lock_guard lock(mutex_);
    return refind_ ? refind_->filesSeen() : 0;
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

std::vector<RepairOffer> CatalogCheck::offers() const
{
    std::lock_guard lock(mutex_);
    return offers_;
}

void CatalogCheck::run()
{
    if (onThread_)
        onThread_();
    FingerprintCache cache;
    if (!plan_.fingerprintFile.empty())
        cache.load(*plan_.io, plan_.fingerprintFile);
    const DiskProbe* disk = plan_.disk;
    ReferenceCheck check(
        {}, plan_.rootPath, [disk](const std::string& path) { return !disk || disk->isVolumeMounted(path); },
        *plan_.io);
    check.useFingerprintCache(&cache);
    const bool whole = checkFolders(check);
    if (whole) {
        // Only a whole check knows which documents the catalog no longer has.
        cache.dropUnused();
        findMissing(&cache);
    }
    if (!plan_.fingerprintFile.empty() && cache.changed())
        cache.save(*plan_.io, plan_.fingerprintFile); // a lost cache only finds fewer documents again
    completed_ = whole && !worker_.gate().stopped();
    ended_ = true;
    if (endedCall_)
        endedCall_();
}

bool CatalogCheck::checkFolders(ReferenceCheck& check)
{
    for (size_t i = 0; i < plan_.folders.size(); ++i) {
        if (!worker_.gate().pass(i))
            return false;
        const auto& folder = plan_.folders[i];
        const IndexFileRead read = readIndexFile(*plan_.io, folder.indexFile, plan_.root);
        std::vector<IndexReference> references;
        appendReferences(folder.dirId, *read.map, references);
        const size_t before = check.findings().size();
        check.add(std::move(references));
        while (check.step() && !worker_.gate().stopped()) {}
        check.forgetChecked(); // one folder's references held at a time
        std::vector<ReferenceProblem> found;
        for (size_t at = before; at < check.findings().size(); ++at) {
            const ReferenceFinding& finding = check.findings()[at];
            found.push_back(
                {finding.reference.folderId, finding.reference.indexId, finding.reference.path, finding.state});
        }
        {
            std::lock_guard lock(mutex_);
            problems_.insert(problems_.end(), std::make_move_iterator(found.begin()),
                             std::make_move_iterator(found.end()));
            readProblems_.append(read.problems);
        }
        foldersChecked_.fetch_add(1, std::memory_order_relaxed);
    }
    return !worker_.gate().stopped();
}

void CatalogCheck::findMissing(const FingerprintCache* cache)
{
    std::vector<IndexReference> missing;
    {
        std::lock_guard lock(mutex_);
        for (const ReferenceProblem& problem : problems_) {
            if (problem.state == ReferenceState::Missing)
                missing.push_back({problem.dirId, problem.cId, problem.place});
        }
        if (missing.empty())
            return;
        refind_ = std::make_unique<RefindSearch>(std::move(missing), plan_.rootPath, cache, *plan_.io);
    }
    finding_ = true;
    std::vector<RepairOffer> offers = refind_->run(&worker_.gate());
    std::lock_guard lock(mutex_);
    offers_ = std::move(offers);
}

} // namespace quillory
