#pragma once

#include <string>

namespace quillory {

// Where the files of one catalog lie:
//   <root>/<catalog folder>/<folder file>                    the folder tree
//   <root>/<catalog folder>/<index folder>/<folder id>.qlr   the indexes of one folder
//   <root>/<catalog folder>/<index folder>/<pending file>    changes seen on disk, not yet applied
// Made from the names once, when a catalog is opened or closed; asking for a path afterwards
// reads nothing.
class CatalogPaths {
public:
    CatalogPaths() = default;
    CatalogPaths(std::string root, const std::string& catalogFolderName, const std::string& folderFileName,
                 const std::string& indexFolderName, const std::string& pendingFileName);

    // Stored index paths that are not absolute lie under the root.
    const std::string& root() const { return root_; }
    const std::string& catalogFolder() const { return catalogFolder_; }
    const std::string& folderFile() const { return folderFile_; }
    const std::string& indexFolder() const { return indexFolder_; }
    const std::string& pendingFile() const { return pendingFile_; }

    // The index file of a folder. A folder id read from a damaged or foreign folder file never
    // names a file outside the index folder.
    std::string indexFile(const std::string& dirId) const;
    // The same into path, whose memory is used again (loading a catalog asks once per folder).
    void indexFileInto(const std::string& dirId, std::string& path) const;

private:
    std::string root_;
    std::string catalogFolder_;
    std::string folderFile_;
    std::string indexFolder_;
    std::string pendingFile_;
};

} // namespace quillory
