#include "core/catalog_window/ContentRows.h"

#include <cctype>

#include "core/store/Paths.h"
#include "core/store/fileOpe.h"

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
