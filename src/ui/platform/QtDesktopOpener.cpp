#include "ui/platform/QtDesktopOpener.h"

#include <QDesktopServices>

namespace quillory {

OpenResult QtDesktopOpener::open(const std::string& path, const std::string& baseFolder)
{
    const QUrl url = urlForPath(path, baseFolder);
    if (!url.isValid())
        return {false, url.errorString()};
    // Qt says no more than that the desktop had no program for it (or no opener at all).
    if (!QDesktopServices::openUrl(url))
        return {false, QString()};
    return {};
}

} // namespace quillory
