#include "core/catalog_window/IndexRows.h"

#include "core/base/Paths.h"
#include "core/store/TextFiles.h"
#include "core/store/TextMatch.h"

namespace quillory {

bool isWebAddress(std::string_view path)
{
    return startsWithIgnoringAsciiCase(path, "http:") || startsWithIgnoringAsciiCase(path, "https:");
}

std::string rowFileName(std::string_view path)
{
    if (isWebAddress(path))
        return std::string(path);
    return getLastStrs(path, kPathSepStr);
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
