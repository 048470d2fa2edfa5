#include "ui/platform/DesktopOpener.h"

#include <QDesktopServices>
#include <QDir>

#include "core/catalog_window/ContentRows.h"

namespace quillory {

QUrl urlForPath(const std::string& path)
{
    const QString text = QString::fromStdString(path);
    if (isWebAddress(path))
        return QUrl(text, QUrl::TolerantMode);
    return QUrl::fromLocalFile(QDir::isAbsolutePath(text) ? text : QDir::current().absoluteFilePath(text));
}

bool openWithDesktop(const std::string& path)
{
    const QUrl url = urlForPath(path);
    return url.isValid() && QDesktopServices::openUrl(url);
}

} // namespace quillory
