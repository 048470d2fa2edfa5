#pragma once

#include <string>

#include "core/base/Messages.h"
#include "core/store/FolderRecord.h"

namespace quillory {

class TextFiles;
class CatalogStore;

// What the folder editor shows and takes, as typed.
struct FolderFields {
    std::string dirId; // "" for a new folder
    std::string dirName;
    std::string parentDirId; // "0" for the top level
    std::string parentName;  // "" at the top level
    std::string description;
    bool needPwd = false;
    std::string pwd;
};

// The stored folder to view and change, with its parent's name; empty fields when there is none.
// The password flag and password are shown as stored, so that saving keeps them.
FolderFields folderFieldsOf(CatalogStore& store, Messages& messages, const std::string& dirId);
// The fields of a new folder under parentId ("0": at the top level).
FolderFields newFolderFields(CatalogStore& store, Messages& messages, const std::string& parentId);

// The folder record the fields make: name, description and parent trimmed, the password as
// typed, and a new id when the fields have none.
FolderRecord readDirPanel(CatalogStore& store, Messages& messages, const FolderFields& fields);

// Adds a folder with its empty index file. Returns its id, or "" when the folder file could not
// be written (the user has been told why).
std::string addDirFromPanel(CatalogStore& store, TextFiles& files, Messages& messages, const FolderFields& fields);

enum class FolderUpdate { Skipped, Written, Failed };
// Stores the fields over the folder of fields.dirId; what the editor does not show (icon, index
// file name) stays. Skipped without an id or a parent; a failed write leaves the folder as it was.
FolderUpdate updateFolder(CatalogStore& store, Messages& messages, const FolderFields& fields);

enum class FolderDeletion { Skipped, HoldsIndexes, HasSubfolders, Deleted, Failed };
// Whether the folder can be deleted: Deleted when it can; HoldsIndexes when it still holds
// indexes or its index file could not be read whole; HasSubfolders; Skipped when there is no such
// folder. Both files are looked at as they are on disk, so that what another program added
// counts. Asks nothing and changes nothing.
FolderDeletion folderDeletable(CatalogStore& store, Messages& messages, const std::string& dirId);
// Deletes the folder when folderDeletable, asked again now, says it can: it leaves the folder file
// and its index file is deleted. Otherwise returns why not (or Failed when the folder file could
// not be written) and changes nothing.
FolderDeletion deleteFolder(CatalogStore& store, TextFiles& files, Messages& messages, const std::string& dirId);

} // namespace quillory
