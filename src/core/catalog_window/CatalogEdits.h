#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/base/Messages.h"
#include "core/store/FileIo.h"

namespace quillory {

class IndexRecord;
class TextFiles;
class CatalogStore;

// Changes the user makes in the tree and the list, applied to the store's caches and written
// at once. Each returns whether anything changed on disk.

// Renames a folder; the name is stored exactly as typed. An unchanged or empty name writes
// nothing.
bool renameFolder(CatalogStore& store, Messages& messages, const std::string& dirId, const std::string& newName);

enum class FolderMove { Moved, Refused, Failed };
// Puts a folder under newParentId ("0": the top level). A move under the folder itself or one
// of its descendants is refused and changes nothing. The folder file is rewritten also when
// the parent stays the same. A failed write leaves the cache as it was.
FolderMove moveFolder(CatalogStore& store, Messages& messages, const std::string& dirId,
                      const std::string& newParentId);
// True when candidate is dirId or lies below it.
bool isSelfOrDescendant(CatalogStore& store, Messages& messages, const std::string& candidate,
                        const std::string& dirId);

// Indexes dragged out of the list, grouped by the folder that holds them, in drag order.
using DraggedIndexes = std::vector<std::pair<std::string, std::vector<std::shared_ptr<IndexRecord>>>>;
// Moves the dragged indexes into targetId; each gets the target's next free id. The target's
// index file is written before the sources', so an interruption can leave an index twice but
// never lose one. Indexes already in the target keep their ids; the target file is rewritten
// in any case. False when the target could not be written (nothing changed then).
bool moveIndexes(CatalogStore& store, Messages& messages, const DraggedIndexes& dragged, const std::string& targetId);

// Points an index at the same folder under another file name; the file on disk is not renamed.
// An empty or unchanged name writes nothing.
bool renameContentFile(CatalogStore& store, Messages& messages, const std::string& dirId, const std::string& cId,
                       const std::string& newName);

// The file-system calls that renaming a document makes; tests replace them.
class DocumentFiles {
public:
    explicit DocumentFiles(FileIo& io = defaultFileIo()) : io_(io) {}
    virtual ~DocumentFiles() = default;
    // Whether anything (a file, a folder, a link) is there under that name.
    virtual bool exists(const std::string& path);
    virtual bool isFolder(const std::string& path);
    // Renames from to to, never over something already at to. 0, or the errno value.
    virtual int rename(const std::string& from, const std::string& to);

private:
    FileIo& io_;
};
DocumentFiles& realDocumentFiles();

enum class DocumentRename {
    Renamed,    // on disk, then the index
    Repointed,  // the document was already gone and one of the new name is there: the index points at it
    Unchanged,  // nothing to do (the same name, an empty name, no such index)
    NameTaken,  // something of the new name is in the document's folder
    Missing,    // neither the document nor one of the new name is there
    Shared,     // other indexes point at the document or inside the folder, and would break
    BadName,    // the name holds a "/" or names no file ("." or "..")
    NotRenamed, // the rename on disk failed (reason)
    NotWritten, // the index file could not be written (the user has been told why); the disk is as it was
};
struct DocumentRenameResult {
    DocumentRename outcome = DocumentRename::Unchanged;
    std::string path;   // the document on disk the outcome is about
    std::string reason; // of a failed rename
};
// Renames the document an index points at, within its folder, and then the index; a web address
// has nothing on disk, so only the address changes, to the text typed. rootPath: the catalog's
// root, for relative paths.
DocumentRenameResult renameDocument(CatalogStore& store, Messages& messages, DocumentFiles& files,
                                    const std::string& rootPath, const std::string& dirId, const std::string& cId,
                                    const std::string& newName);

// Takes a document away when the user asked for it, to the desktop's trash. True when it is
// gone; false when it stayed where it was.
using DocumentRemover = std::function<bool(const std::string& path)>;

// Deletes the indexes among rowKeys that belong to dirId, after the user's answer to the
// deletion question: Yes also removes their documents (regular files only, or a link itself:
// never a folder, a web address, a pipe, a device or a socket), No keeps the documents, Cancel
// does nothing. Documents are removed only once the index file has been written; those that
// could not be removed stay where they are and are named in one message (Err023). Returns the
// number of indexes removed.
int deleteContents(CatalogStore& store, Messages& messages, const DocumentRemover& remove, const std::string& dirId,
                   const std::vector<std::string>& rowKeys, MsgAnswer answer);

} // namespace quillory
