#pragma once

#include <QIcon>
#include <QList>
#include <QString>
#include <utility>

namespace quillory {

// An icon made of picture files that are read when it is first drawn or measured in a mode, not
// when it is made: a menu's pictures are read when the menu first shows, a toolbar button's
// hover picture when the pointer first comes over it. files holds the file of each mode; a mode
// without a file is drawn from the Normal one, as a QIcon of those files would draw it.
QIcon lazyFileIcon(QList<std::pair<QIcon::Mode, QString>> files);

} // namespace quillory
