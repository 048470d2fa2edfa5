#pragma once

#include "ui/platform/DesktopOpener.h"

namespace quillory {

// The desktop's own opener (xdg-open and its kin, through Qt).
class QtDesktopOpener : public DesktopOpener {
public:
    OpenResult open(const std::string& path, const std::string& baseFolder = {}) override;
};

} // namespace quillory
