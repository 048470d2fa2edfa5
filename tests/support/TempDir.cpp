#include "support/TempDir.h"

#include <filesystem>
#include <stdexcept>
#include <stdlib.h>

namespace fs = std::filesystem;

namespace quillory::test {

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "quillory-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

} // namespace quillory::test
