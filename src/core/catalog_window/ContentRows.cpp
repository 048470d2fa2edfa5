#include "core/catalog_window/ContentRows.h"

#include <cctype>

#include "core/store/Paths.h"
#include "core/store/QlrDirContentModel.h"
#include "core/store/fileOpe.h"
#include "core/store/qlrDbOpe.h"

namespace quillory {
namespace {

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    }
    return true;
}

} // namespace

bool isWebAddress(std::string_view path)
{
    return startsWithIgnoringCase(path, "http:") || startsWithIgnoringCase(path, "https:");
}

std::string rowFileName(std::string_view path)
{
    if (isWebAddress(path))
        return std::string(path);
    return fileOpe::getLastStrs(path, kPathSepStr);
}

ContentRowTexts contentRowTexts(qlrDbOpe& store, const QlrDirContentModel& index)
{
    ContentRowTexts row;
    row.key = index.cId;
    row.path = index.cContentPath();
    row.webAddress = isWebAddress(row.path);
    row.file = rowFileName(row.path);
    row.title = index.cTitle;
    if (const auto folder = store.getQlrDirById(index.dirId()))
        row.dirName = folder->dirName;
    row.addTime = index.addTime;
    return row;
}

std::string openablePath(std::string_view path, std::string_view rootPath)
{
    if (path.empty() || isWebAddress(path) || path.front() == kPathSep)
        return std::string(path);
    return joinPath(rootPath, path);
}

std::string renamedPath(std::string_view path, std::string_view newName)
{
    const std::string oldName = rowFileName(path);
    return std::string(path.substr(0, path.size() - oldName.size())) + std::string(newName);
}

} // namespace quillory
