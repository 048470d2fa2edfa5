#include "app/ProgramIcon.h"

#include <QApplication>
#include <QIcon>

namespace quillory {

void setProgramIcon(const std::string& baseFolder)
{
    QIcon icon;
    for (const int size : {48, 64, 128, 256})
        icon.addFile(QString::fromStdString(baseFolder)
                     + QStringLiteral("/resource/images/app/quillory-%1.png").arg(size));
    QApplication::setWindowIcon(icon);
}

} // namespace quillory
