#include "core/store/CatalogPaths.h"

#include "core/base/Paths.h"

namespace quillory {
namespace {

std::string fileNameFor(const std::string& id)
{
    if (id == "." || id == "..")
        return id == "." ? "%2E" : "%2E%2E";
    std::string name;
    for (const char c : id) {
        if (c == kPathSep)
            name += "%2F";
        else if (c == '\0')
            name += "%00";
        else
            name += c;
    }
    return name;
}

} // namespace

CatalogPaths::CatalogPaths(std::string root, const std::string& catalogFolderName, const std::string& folderFileName,
                           const std::string& indexFolderName, const std::string& pendingFileName)
    : root_(std::move(root)), catalogFolder_(joinPath(root_, catalogFolderName)),
      folderFile_(joinPath(catalogFolder_, folderFileName)), indexFolder_(joinPath(catalogFolder_, indexFolderName)),
      pendingFile_(joinPath(indexFolder_, pendingFileName))
{}

std::string CatalogPaths::indexFile(const std::string& dirId) const
{
    std::string path;
    indexFileInto(dirId, path);
    return path;
}

void CatalogPaths::indexFileInto(const std::string& dirId, std::string& path) const
{
    path.assign(indexFolder_);
    if (!indexFolder_.empty() && indexFolder_.back() != kPathSep)
        path += kPathSep;
    if (dirId.find_first_of("/.") == std::string::npos && dirId.find('\0') == std::string::npos)
        path += dirId; // the common case: nothing in the id to encode
    else
        path += fileNameFor(dirId);
    path += ".qlr";
}

} // namespace quillory
