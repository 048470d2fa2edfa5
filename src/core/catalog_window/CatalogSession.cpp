#include "core/catalog_window/CatalogSession.h"

#include "core/config/SysConf.h"

namespace quillory {

const std::string& CatalogSession::getRootPath()
{
    if (!conf_.sysConfLoaded)
        conf_.loadSysConf();
    if (rootPath_.empty())
        rootPath_ = conf_.getAppBasePath();
    return rootPath_;
}

void CatalogSession::openCatalog(std::string root, std::string folder, std::string fileName)
{
    rootPath_ = std::move(root);
    qlrdbFolder_ = std::move(folder);
    dirFileName_ = std::move(fileName);
}

void CatalogSession::closeCatalog()
{
    conf_.sysConfLoaded = false;
    rootPath_.clear();
}

void CatalogSession::takeConfiguredValue(const std::string& key, const std::string& value)
{
    if (key == "DefaultRootPath" && rootPath_.empty())
        rootPath_ = value;
    else if (key == "QlrdbFolder" && qlrdbFolder_.empty())
        qlrdbFolder_ = value;
    else if (key == "DirFileName" && dirFileName_.empty())
        dirFileName_ = value;
}

} // namespace quillory
