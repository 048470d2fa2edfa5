#include "core/catalog_window/search/IndexSearch.h"

#include <algorithm>

namespace quillory {

bool isBlankSearchText(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

std::vector<std::string> searchScope(CatalogStore& store, const std::string& currentDirId, bool subtree,
                                     bool wholeCatalog, StoreProblems& problems)
{
    std::vector<std::string> scope;
    if (wholeCatalog) {
        store.getDirIdsByParentId("0", true, scope, problems);
        return scope;
    }
    if (currentDirId.empty())
        return scope;
    scope.push_back(currentDirId);
    if (subtree)
        store.getDirIdsByParentId(currentDirId, true, scope, problems);
    return scope;
}

void collectFoundIds(const ContentCollection& records, FoundIds& foundIds)
{
    records.forEach([&](const std::string& key, const ContentCollection::Ptr&) { foundIds.insert(key); });
}

void searchTitlesAndDescriptions(CatalogStore& store, const std::vector<std::string>& scope, std::string_view text,
                                 const SearchOptions& options, ContentCollection& results, StoreProblems& problems)
{
    if (options.titles)
        store.getDirContentByTitle(scope, text, results, problems);
    if (options.descriptions)
        store.getDirContentByDesc(scope, text, results, problems);
}

DocumentScanPlan planDocumentScan(CatalogStore& store, const std::string& rootPath,
                                  const std::vector<std::string>& scope, std::string_view text,
                                  const ContentCollection& found)
{
    DocumentScanPlan plan;
    plan.text = std::string(text);
    plan.rootPath = rootPath;
    plan.io = &store.fileIo();
    for (const std::string& dirId : scope)
        plan.folders.push_back({dirId, store.getContentFilePath(dirId)});
    collectFoundIds(found, plan.skip);
    return plan;
}

} // namespace quillory
