#include "core/config/CatalogLayout.h"

#include "core/catalog_window/CatalogSession.h"
#include "core/config/SysConf.h"
#include "core/base/Paths.h"
#include "core/store/TextFiles.h"

namespace quillory {
namespace {

// A folder id names a file; one read from a damaged or foreign folder file must not name a
// file outside the index folder.
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

std::string CatalogLayout::catalogFolderName() const
{
    return session_.currentQlrdbFolder().empty() ? conf_.text("QlrdbFolder") : session_.currentQlrdbFolder();
}

std::string CatalogLayout::getCatalogFolderPath()
{
    // The root first: asking for it loads the settings that the names below come from.
    const std::string root = session_.getRootPath();
    return joinPath(root, catalogFolderName());
}

std::string CatalogLayout::getDirFilePath()
{
    const std::string root = session_.getRootPath();
    if (session_.currentDirFileName().empty() || session_.currentQlrdbFolder().empty())
        return joinPath(joinPath(root, conf_.text("QlrdbFolder")), conf_.text("DirFileName"));
    return joinPath(joinPath(root, session_.currentQlrdbFolder()), session_.currentDirFileName());
}

const std::string& CatalogLayout::getContentFolderPath()
{
    const std::string& root = session_.getRootPath(); // first: it reads the settings when they are not yet
    const std::string& catalogFolder =
        session_.currentQlrdbFolder().empty() ? conf_.text("QlrdbFolder") : session_.currentQlrdbFolder();
    const std::string& indexFolder =
        session_.currentContentFolder().empty() ? conf_.text("QlrdbContentFolder") : session_.currentContentFolder();
    ContentFolder& last = contentFolder_;
    if (last.path.empty() || last.root != root || last.catalogFolder != catalogFolder || last.indexFolder != indexFolder)
        last = {root, catalogFolder, indexFolder, joinPath(joinPath(root, catalogFolder), indexFolder)};
    return last.path;
}

std::string CatalogLayout::getContentFilePath(const std::string& dirId)
{
    std::string path;
    contentFilePathInto(dirId, path);
    return path;
}

void CatalogLayout::contentFilePathInto(const std::string& dirId, std::string& path)
{
    const std::string& folder = getContentFolderPath();
    path.assign(folder);
    if (!folder.empty() && folder.back() != kPathSep)
        path += kPathSep;
    if (dirId.find_first_of("/.") == std::string::npos && dirId.find('\0') == std::string::npos)
        path += dirId; // the common case: nothing in the id to encode
    else
        path += fileNameFor(dirId);
    path += ".qlr";
}

std::string CatalogLayout::getTempContentFilePath()
{
    const std::string contentFolder = getContentFolderPath();
    return joinPath(contentFolder, session_.currentTempFileName().empty() ? conf_.text("TempContentFileName")
                                                                          : session_.currentTempFileName());
}

} // namespace quillory
