#pragma once

#include <QUrl>
#include <string>

namespace quillory {

// The address a catalog path is opened at: a web address as it stands, anything else as a
// local file, never through a shell, so a path that begins with "-" or holds quotes, blanks or
// ";" names that very document and runs nothing.
QUrl urlForPath(const std::string& path);

// Opens path with the desktop's program for it. False when the request could not be made.
bool openWithDesktop(const std::string& path);

} // namespace quillory
