#pragma once

#include <string>
#include <string_view>

namespace quillory {

// The program's path separator; every path is built with it.
inline constexpr char kPathSep = '/';
inline constexpr std::string_view kPathSepStr = "/";

// folder and name joined by one separator. A name that begins with a separator is still taken
// as a name inside folder (never as a path of its own), and a folder that ends in one ("/")
// gets no second. (Made by hand rather than with std::filesystem: loading a catalog joins
// thousands of paths, and parsing each into its parts was a noticeable share of the load.)
inline std::string joinPath(std::string_view folder, std::string_view name)
{
    while (!name.empty() && name.front() == kPathSep)
        name.remove_prefix(1);
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder);
    if (!folder.empty() && folder.back() != kPathSep)
        path += kPathSep;
    path.append(name);
    return path;
}

} // namespace quillory
