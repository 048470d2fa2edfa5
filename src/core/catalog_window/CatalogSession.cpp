#include "core/catalog_window/CatalogSession.h"

#include "core/config/SysConf.h"

namespace quillory {

const std::string& CatalogSession::getRootPath()
{
    if (!conf_.isLoaded())
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
    contentFolder_ = conf_.text("QlrdbContentFolder");
    tempFileName_ = conf_.text("TempContentFileName");
}

void CatalogSession::closeCatalog()
{
    conf_.forgetLoaded();
    rootPath_.clear();
    contentFolder_.clear();
    tempFileName_.clear();
}

void CatalogSession::takeConfiguredValue(const std::string& key, const std::string& value)
{
    if (key == "DefaultRootPath" && rootPath_.empty())
        rootPath_ = value;
    else if (key == "QlrdbFolder" && qlrdbFolder_.empty())
        qlrdbFolder_ = value;
    else if (key == "DirFileName" && dirFileName_.empty())
        dirFileName_ = value;
    else if (key == "QlrdbContentFolder" && contentFolder_.empty())
        contentFolder_ = value;
    else if (key == "TempContentFileName" && tempFileName_.empty())
        tempFileName_ = value;
}

} // namespace quillory
