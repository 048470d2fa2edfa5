#pragma once

#include <string>

#include "core/catalog_window/CommandStates.h"
#include "core/store/RootPathSource.h"

namespace quillory {

class SysConf;

// What the program is working on, for as long as it runs: which catalog is open (its root
// folder, catalog folder and folder file, from which every path of the store is made), what is
// selected in it, and so which commands are on. Catalog windows come and go; the session stays,
// so the floating launcher always has its states.
class CatalogSession : public RootPathSource {
public:
    explicit CatalogSession(SysConf& conf) : conf_(conf) {}

    // The root of the open catalog. The settings are read first when they are not yet; with
    // no root known, the program's base folder.
    const std::string& getRootPath() override;
    // The open catalog's folder name and folder file name; "" until a catalog is opened or the
    // settings name one.
    const std::string& currentQlrdbFolder() const { return qlrdbFolder_; }
    const std::string& currentDirFileName() const { return dirFileName_; }
    // The open catalog's index folder and pending-changes file names: those configured when it
    // was opened (settings changed meanwhile apply to the next catalog opened); "" until then.
    const std::string& currentContentFolder() const { return contentFolder_; }
    const std::string& currentTempFileName() const { return tempFileName_; }

    // Makes the catalog at root/folder/fileName the open one.
    void openCatalog(std::string root, std::string folder, std::string fileName);
    // Forgets the open catalog's root and has the settings read again on next use, which takes
    // the configured root again; the folder and file names stay.
    void closeCatalog();
    // Called with each setting as the settings file is read: the configured catalog fills
    // whichever open-catalog value is still empty.
    void takeConfiguredValue(const std::string& key, const std::string& value);

    CommandStates& states() { return states_; }
    const CommandStates& states() const { return states_; }

private:
    SysConf& conf_;
    std::string rootPath_;
    std::string qlrdbFolder_;
    std::string dirFileName_;
    std::string contentFolder_;
    std::string tempFileName_;
    CommandStates states_;
};

} // namespace quillory
