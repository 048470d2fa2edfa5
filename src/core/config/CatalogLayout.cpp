#include "core/config/CatalogLayout.h"

#include "core/config/SysConf.h"
#include "core/store/CatalogStore.h"

namespace quillory {

const CatalogPaths& CatalogLayout::paths()
{
    if (!conf_.isLoaded())
        conf_.loadSysConf(); // which hands the paths over
    return paths_;
}

void CatalogLayout::openCatalog(std::string root, std::string folder, std::string fileName)
{
    root_ = std::move(root);
    catalogFolder_ = std::move(folder);
    folderFile_ = std::move(fileName);
    indexFolder_ = conf_.text("QlrdbContentFolder");
    pendingFile_ = conf_.text("TempContentFileName");
    handOver();
}

void CatalogLayout::closeCatalog()
{
    root_.clear();
    indexFolder_.clear();
    pendingFile_.clear();
    conf_.forgetLoaded();
    conf_.loadSysConf(); // which hands the paths over
}

void CatalogLayout::takeConfiguredValue(const std::string& key, const std::string& value)
{
    std::string* name = key == "DefaultRootPath"       ? &root_
                        : key == "QlrdbFolder"         ? &catalogFolder_
                        : key == "DirFileName"         ? &folderFile_
                        : key == "QlrdbContentFolder"  ? &indexFolder_
                        : key == "TempContentFileName" ? &pendingFile_
                                                       : nullptr;
    if (name && name->empty())
        *name = value;
}

void CatalogLayout::handOver()
{
    // A name still empty (a settings file without it) is the configured one, as it is now.
    const auto named = [this](const std::string& name, const char* key) -> const std::string& {
        return name.empty() ? conf_.text(key) : name;
    };
    std::string root = root_;
    if (root.empty() && conf_.isLoaded())
        root = conf_.getAppBasePath();
    paths_ = CatalogPaths(std::move(root), named(catalogFolder_, "QlrdbFolder"), named(folderFile_, "DirFileName"),
                          named(indexFolder_, "QlrdbContentFolder"), named(pendingFile_, "TempContentFileName"));
    store_.usePaths(paths_);
}

} // namespace quillory
