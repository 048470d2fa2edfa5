#pragma once

#include <string>

namespace quillory {

class CatalogSession;
class SysConf;

// Where the files of the open catalog lie:
//   <root>/<catalog folder>/<folder file>                    the folder tree
//   <root>/<catalog folder>/<index folder>/<folder id>.qlr   the indexes of one folder
//   <root>/<catalog folder>/<index folder>/<pending file>    changes seen on disk, not yet applied
// The names are those of the open catalog (falling back to the configured ones): settings
// changed while a catalog is open apply to the next one opened.
class CatalogLayout {
public:
    CatalogLayout(SysConf& conf, CatalogSession& session) : conf_(conf), session_(session) {}

    std::string getCatalogFolderPath();
    std::string getDirFilePath();
    const std::string& getContentFolderPath();
    std::string getContentFilePath(const std::string& dirId);
    // The same into path, whose memory is used again (loading a catalog asks once per folder).
    void contentFilePathInto(const std::string& dirId, std::string& path);
    std::string getTempContentFilePath();

private:
    std::string catalogFolderName() const;

    SysConf& conf_;
    CatalogSession& session_;
    // The index folder's path as last made, and what it was made of: loading a catalog asks
    // for it once per folder.
    struct ContentFolder {
        std::string root, catalogFolder, indexFolder, path;
    };
    ContentFolder contentFolder_;
};

} // namespace quillory
