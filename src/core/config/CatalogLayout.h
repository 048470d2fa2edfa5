#pragma once

#include <string>

#include "core/store/CatalogPaths.h"

namespace quillory {

class CatalogStore;
class SysConf;

// Which catalog is open, by name: its root folder, catalog folder, folder file, index folder and
// pending-changes file; the names not given when it was opened are the configured ones. The
// paths made of them are handed to the store each time they change (a catalog opened or closed,
// the settings read), so the store never reads the settings itself.
class CatalogLayout {
public:
    CatalogLayout(SysConf& conf, CatalogStore& store) : conf_(conf), store_(store) {}

    // The open catalog's paths. The settings are read first when they are not yet; with no root
    // known, the program's base folder is the root.
    const CatalogPaths& paths();
    const std::string& getRootPath() { return paths().root(); }
    const std::string& getCatalogFolderPath() { return paths().catalogFolder(); }
    const std::string& getDirFilePath() { return paths().folderFile(); }
    const std::string& getContentFolderPath() { return paths().indexFolder(); }
    std::string getContentFilePath(const std::string& dirId) { return paths().indexFile(dirId); }
    const std::string& getTempContentFilePath() { return paths().pendingFile(); }

    // The open catalog's folder name and folder file name; "" until a catalog is opened or the
    // settings name one.
    const std::string& currentQlrdbFolder() const { return catalogFolder_; }
    const std::string& currentDirFileName() const { return folderFile_; }

    // Makes the catalog at root/folder/fileName the open one, with the index folder and
    // pending-changes file configured now (settings changed later apply to the next catalog).
    void openCatalog(std::string root, std::string folder, std::string fileName);
    // Forgets the open catalog's root and reads the settings again, which give the configured
    // root; the folder and file names stay.
    void closeCatalog();
    // Called with each setting as the settings file is read: the configured catalog fills
    // whichever open-catalog name is still empty.
    void takeConfiguredValue(const std::string& key, const std::string& value);
    // Called when the settings file has been read: makes the paths anew and gives them to the
    // store.
    void handOver();

private:
    SysConf& conf_;
    CatalogStore& store_;
    std::string root_;
    std::string catalogFolder_;
    std::string folderFile_;
    std::string indexFolder_;
    std::string pendingFile_;
    CatalogPaths paths_;
};

} // namespace quillory
