#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quillory {

// folder and name joined by one separator. A name that begins with a separator is still taken
// as a name inside folder (never as a path of its own), and a folder that ends in one ("/")
// gets no second.
inline std::string joinPath(std::string_view folder, std::string_view name)
{
    return (std::filesystem::path(folder) / std::filesystem::path(name).relative_path()).string();
}

} // namespace quillory
