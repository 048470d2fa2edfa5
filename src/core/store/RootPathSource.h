#pragma once

#include <string>

namespace quillory {

// Gives the root folder of the open catalog, against which index paths are stored.
class RootPathSource {
public:
    virtual ~RootPathSource() = default;
    virtual const std::string& getRootPath() = 0;
};

} // namespace quillory
