#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "core/store/CatalogStore.h"

namespace quillory {

// What a search looks at: titles, descriptions, the text of the documents; and where: the
// current folder, with the folders below it, or the whole catalog.
struct SearchOptions {
    bool titles = true;
    bool descriptions = true;
    bool documents = false;
    bool subtree = false;
    bool wholeCatalog = false;
};

// A text of nothing but blanks finds nothing.
bool isBlankSearchText(std::string_view text);

// The folders to search, in store order: the current folder, then (subtree) every folder below
// it; or (wholeCatalog) every folder of the catalog. Without a current folder, only the whole
// catalog has folders.
std::vector<std::string> searchScope(CatalogStore& store, const std::string& currentDirId, bool subtree,
                                     bool wholeCatalog, StoreProblems& problems);

// Ids of records already found.
using FoundIds = std::unordered_set<std::string>;
// Adds the ids of records to foundIds.
void collectFoundIds(const ContentCollection& records, FoundIds& foundIds);

// The title and description part of a search, on the cached indexes: title matches, then the
// further description matches, each in folder and index order.
void searchTitlesAndDescriptions(CatalogStore& store, const std::vector<std::string>& scope, std::string_view text,
                                 const SearchOptions& options, ContentCollection& results, StoreProblems& problems);

// What the document part of a search reads, taken on the window thread so that the scan needs
// nothing of the store: each folder's index file, the catalog's root, and the indexes already
// found (not read again).
struct DocumentScanPlan {
    struct Folder {
        std::string dirId;
        std::string indexFile;
    };
    std::string text;
    std::string rootPath;
    FileIo* io = &defaultFileIo(); // the store's
    std::vector<Folder> folders;
    FoundIds skip;
};
DocumentScanPlan planDocumentScan(CatalogStore& store, const std::string& rootPath,
                                  const std::vector<std::string>& scope, std::string_view text,
                                  const ContentCollection& found);

} // namespace quillory
