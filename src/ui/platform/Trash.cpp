#include "ui/platform/Trash.h"

#include <QFile>
#include <unistd.h>

namespace quillory {

bool moveToTrash(const std::string& path)
{
    if (QFile::moveToTrash(QString::fromStdString(path)))
        return true;
    return ::unlink(path.c_str()) == 0;
}

} // namespace quillory
