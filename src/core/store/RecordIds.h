#pragma once

#include <string>
#include <string_view>

namespace quillory {

// Ids of folders and indexes. A folder id is "D" and a number ("D3"). An index id is its
// folder's id, "!C" and a number ("D3!C12"), so the folder of an index is the text of its id
// before the first "!".

inline constexpr std::string_view kFolderIdPrefix = "D";
inline constexpr std::string_view kIndexIdMarker = "!C";
// The parent id of a top-level folder.
inline constexpr std::string_view kTopLevelParentId = "0";

// What every index id of the folder starts with.
inline std::string indexIdPrefix(std::string_view folderId)
{
    return std::string(folderId).append(kIndexIdMarker);
}

inline std::string composeIndexId(std::string_view folderId, size_t number)
{
    return indexIdPrefix(folderId) + std::to_string(number);
}

// The folder that holds the index: the id's text before the first "!", or "" when it has none.
inline std::string folderOfIndexId(std::string_view indexId)
{
    const auto bang = indexId.find('!');
    return bang == std::string_view::npos ? std::string() : std::string(indexId.substr(0, bang));
}

} // namespace quillory
