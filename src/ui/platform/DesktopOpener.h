#pragma once

#include <QString>
#include <QUrl>
#include <string>

namespace quillory {

class Messages;

// What came of asking the desktop to open something.
struct OpenResult {
    bool ok = true;
    QString reason; // why not, when !ok and it is known
};

// Opens documents, folders and web addresses with the desktop's program for them.
class DesktopOpener {
public:
    virtual ~DesktopOpener() = default;
    // path: a local path, or a web address. A relative path is taken inside baseFolder.
    virtual OpenResult open(const std::string& path, const std::string& baseFolder = {}) = 0;
};

// The address a catalog path is opened at: a web address as it stands, anything else as a
// local file (relative to baseFolder, or to the working folder without one), never through a
// shell, so a path that begins with "-" or holds quotes, blanks or ";" names that very document
// and runs nothing.
QUrl urlForPath(const std::string& path, const std::string& baseFolder = {});

// Opens path with opener; when nothing opens it, tells the user so (Err015, the path and the
// reason). Returns whether it opened.
bool openOrTell(DesktopOpener& opener, Messages& messages, const std::string& path);

} // namespace quillory
