#pragma once

#include <string>
#include <vector>

#include "ui/platform/DesktopOpener.h"

namespace quillory {

// For tests: records what it was asked to open, and fails when told to.
class FakeDesktopOpener : public DesktopOpener {
public:
    OpenResult open(const std::string& path, const std::string& baseFolder = {}) override
    {
        requests.push_back(path);
        bases.push_back(baseFolder);
        return failWith.isEmpty() ? OpenResult{} : OpenResult{false, failWith};
    }

    std::vector<std::string> requests;
    std::vector<std::string> bases;
    QString failWith; // non-empty: every request fails with this reason
};

} // namespace quillory
