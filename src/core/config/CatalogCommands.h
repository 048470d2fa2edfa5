#pragma once

#include <functional>
#include <optional>
#include <string>

namespace quillory {

class CatalogLayout;
class Messages;
class SysConf;
class TextFiles;
class CatalogStore;

// The message key when the names of a new catalog's folder and file are not one name each
// (Msg016: a "/", a line break, "." or ".."); "" when they are.
std::string checkNewCatalogNames(const std::string& folderName, const std::string& fileName);

// Creating, opening and closing a catalog, as far as it needs no window: which catalog is open
// is what the layout names, from which every path is made.
class CatalogCommands {
public:
    CatalogCommands(SysConf& conf, TextFiles& files, CatalogStore& store, CatalogLayout& layout, Messages& messages);

    // Creates the catalog folder, its index folder, an empty folder file and an empty pending-
    // changes file below location, then opens it. A catalog that is already there is opened as
    // it is (its files are never emptied), and the user is told so (Msg020). Returns the folder
    // file's path, or "" when a name was empty, or not one name (Msg016), and nothing was done.
    std::string doAddNew(const std::string& location, const std::string& folderName, const std::string& fileName);

    // Makes the catalog of the folder file at path the open one (shows Err001 with the path when
    // the file does not exist, and opens it all the same). The caches of the catalog open before
    // are dropped, so nothing of it can be written into this one. False for an empty path, one
    // with no catalog folder above the file, or one that is not a plain file (a pipe, a device,
    // a folder: Err020 is shown and the catalog open before stays open).
    bool openCatalog(const std::string& path);

    // Opens the catalog the program starts with: lastOpened, the catalog opened last, while its
    // folder file is there; else the configured one, saying so (Err001 and its path) when its
    // folder file does not exist, as Open does. The temporary files a crash left are not looked
    // for here (a start has its window to show first): removeLeftoverTempFiles() follows.
    void openAtStart(const std::string& lastOpened);

    // Told the folder file's path each time a catalog has been opened (by Open, New or start-up).
    void setOpenedListener(std::function<void(const std::string& folderFile)> listener)
    {
        opened_ = std::move(listener);
    }

    // When path is an index file of a catalog (it lies in a folder named like the index folder,
    // whose folder holds a catalog's folder file), the path of that folder file.
    std::optional<std::string> folderFileOfIndexFile(const std::string& path);

    // Removes the temporary files that saves cut short by a crash left in the open catalog.
    void removeLeftoverTempFiles();

    // Forgets the open catalog: the configuration is read again on next use (which takes the
    // configured root again) and the caches are dropped.
    void closeCatalog();

private:
    bool open(const std::string& path, bool sweepLeftovers);

    SysConf& conf_;
    TextFiles& files_;
    CatalogStore& store_;
    CatalogLayout& layout_;
    Messages& messages_;
    std::function<void(const std::string&)> opened_;
};

} // namespace quillory
