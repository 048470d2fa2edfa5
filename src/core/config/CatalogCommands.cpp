#include "core/config/CatalogCommands.h"

#include <filesystem>
#include <vector>

#include "core/base/Messages.h"
#include "core/base/Paths.h"
#include "core/config/CatalogLayout.h"
#include "core/config/CatalogSettings.h"
#include "core/config/SysConf.h"
#include "core/store/CatalogStore.h"
#include "core/store/SafeFile.h"
#include "core/store/TextFiles.h"

namespace quillory {
namespace {

bool exists(FileIo& io, const std::string& path)
{
    struct stat st {};
    return io.stat(path.c_str(), &st) == 0;
}

bool isFile(FileIo& io, const std::string& path)
{
    struct stat st {};
    return io.stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

std::string checkNewCatalogNames(const std::string& folderName, const std::string& fileName)
{
    return isOneName(folderName) && isOneName(fileName) ? std::string() : std::string("Msg016");
}

CatalogCommands::CatalogCommands(SysConf& conf, TextFiles& files, CatalogStore& store, CatalogLayout& layout,
                                 Messages& messages)
    : conf_(conf), files_(files), store_(store), layout_(layout), messages_(messages)
{}

std::string CatalogCommands::doAddNew(const std::string& location, const std::string& folderName,
                                      const std::string& fileName)
{
    if (location.empty() || folderName.empty() || fileName.empty())
        return {};
    // The index folder and pending file names are settings: read them before they are used.
    conf_.loadSysConf();
    // A name is made inside location, never above it or in a folder of its own choosing.
    if (const std::string refused = checkNewCatalogNames(folderName, fileName); !refused.empty()) {
        messages_.show(refused, MsgButtons::Ok, isOneName(folderName) ? fileName : folderName);
        return {};
    }
    const std::string catalogFolder = joinPath(location, folderName);
    const std::string contentFolder = joinPath(catalogFolder, conf_.text("QlrdbContentFolder"));
    const std::string dirFile = joinPath(catalogFolder, fileName);
    const std::string pendingFile = joinPath(contentFolder, conf_.text("TempContentFileName"));
    // Each step goes on when the one before failed; the catalog is opened all the same.
    files_.io().mkdir(catalogFolder.c_str(), 0777);
    files_.io().mkdir(contentFolder.c_str(), 0777);
    const bool wasThere = exists(files_.io(), dirFile);
    if (!wasThere)
        files_.createFile(dirFile);
    if (!exists(files_.io(), pendingFile))
        files_.createFile(pendingFile);
    // Said only of a catalog that was opened: one refused (a pipe in its place) has its own message.
    if (openCatalog(dirFile) && wasThere)
        messages_.show("Msg020", MsgButtons::Ok, dirFile);
    return dirFile;
}

bool CatalogCommands::openCatalog(const std::string& path)
{
    return open(path, true);
}

bool CatalogCommands::open(const std::string& givenPath, bool sweepLeftovers)
{
    if (givenPath.empty())
        return false;
    // Err001's text is a setting too: read the settings before it can be shown.
    conf_.loadSysConf();
    std::error_code error;
    const std::string path = std::filesystem::absolute(givenPath, error).lexically_normal().string();
    if (!exists(files_.io(), path))
        messages_.show("Err001", MsgButtons::Ok, path);
    // A pipe would hang the program, a device (or a link to /dev/zero) would be read for ever.
    if (struct stat st{}; files_.io().stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        messages_.show("Err020", MsgButtons::Ok, path);
        return false;
    }

    const std::string fileName = getLastStrs(path, kPathSepStr);
    const std::string folderPath = path.substr(0, path.size() - fileName.size() - 1);
    const std::string folderName = getLastStrs(folderPath, kPathSepStr);
    if (fileName.empty() || folderName.empty() || folderPath.size() <= folderName.size())
        return false;
    std::string root = folderPath.substr(0, folderPath.size() - folderName.size() - 1);
    if (root.empty())
        root = std::string(kPathSepStr);

    layout_.openCatalog(root, folderName, fileName);
    store_.resetStoreCache();
    if (sweepLeftovers)
        removeLeftoverTempFiles();
    if (opened_)
        opened_(path);
    return true;
}

void CatalogCommands::openAtStart(const std::string& lastOpened)
{
    conf_.loadSysConf();
    if (!lastOpened.empty() && isFile(files_.io(), lastOpened) && !folderFileOfIndexFile(lastOpened)
        && open(lastOpened, false))
        return;
    // The configured catalog: loading the settings has made it the open one.
    const std::string configured = layout_.getDirFilePath();
    if (!exists(files_.io(), configured))
        messages_.show("Err001", MsgButtons::Ok, configured);
}

std::optional<std::string> CatalogCommands::folderFileOfIndexFile(const std::string& path)
{
    conf_.loadSysConf();
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path file = fs::absolute(path, error).lexically_normal();
    const fs::path indexFolder = file.parent_path();
    if (indexFolder.filename() != conf_.text("QlrdbContentFolder") || conf_.text("QlrdbContentFolder").empty())
        return std::nullopt;
    const fs::path catalogFolder = indexFolder.parent_path();
    // The catalog's own name first, then any folder file beside it.
    const fs::path named = catalogFolder / (catalogFolder.filename().string() + ".qlr");
    if (isFile(files_.io(), named.string()))
        return named.string();
    std::optional<std::string> found;
    std::vector<std::string> names;
    files_.io().listFolder(catalogFolder.c_str(), names);
    for (const std::string& name : names) {
        const std::string entry = (catalogFolder / name).string();
        if (fs::path(name).extension() == ".qlr" && isFile(files_.io(), entry) && (!found || entry < *found))
            found = entry;
    }
    return found;
}

void CatalogCommands::removeLeftoverTempFiles()
{
    removeStaleTempFiles(files_.io(), layout_.getCatalogFolderPath());
    removeStaleTempFiles(files_.io(), layout_.getContentFolderPath());
}

void CatalogCommands::closeCatalog()
{
    layout_.closeCatalog();
    store_.resetStoreCache();
}

} // namespace quillory
