#include "core/config/CatalogLayout.h"

#include "core/config/SysConf.h"
#include "core/store/fileOpe.h"

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
    return conf_.currentQlrdbFolder.empty() ? conf_.text("QlrdbFolder") : conf_.currentQlrdbFolder;
}

std::string CatalogLayout::getCatalogFolderPath()
{
    const std::string& root = conf_.getRootPath();
    return root + std::string(kPathSepStr) + catalogFolderName();
}

std::string CatalogLayout::getDirFilePath()
{
    const std::string& root = conf_.getRootPath();
    if (conf_.currentDirFileName.empty() || conf_.currentQlrdbFolder.empty())
        return root + std::string(kPathSepStr) + conf_.text("QlrdbFolder") + std::string(kPathSepStr)
               + conf_.text("DirFileName");
    return root + std::string(kPathSepStr) + conf_.currentQlrdbFolder + std::string(kPathSepStr)
           + conf_.currentDirFileName;
}

std::string CatalogLayout::getContentFolderPath()
{
    // The catalog folder first: asking for it loads the settings that the name below comes from
    // (the operands of "+" may be evaluated in any order).
    const std::string catalogFolder = getCatalogFolderPath();
    return catalogFolder + std::string(kPathSepStr) + conf_.text("QlrdbContentFolder");
}

std::string CatalogLayout::getContentFilePath(const std::string& dirId)
{
    return getContentFolderPath() + std::string(kPathSepStr) + fileNameFor(dirId) + ".qlr";
}

std::string CatalogLayout::getTempContentFilePath()
{
    const std::string contentFolder = getContentFolderPath();
    return contentFolder + std::string(kPathSepStr) + conf_.text("TempContentFileName");
}

} // namespace quillory
