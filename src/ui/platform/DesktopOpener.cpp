#include "ui/platform/DesktopOpener.h"

#include <QDir>

#include "core/base/Messages.h"
#include "core/catalog_window/IndexRows.h"

namespace quillory {

QUrl urlForPath(const std::string& path, const std::string& baseFolder)
{
    const QString text = QString::fromStdString(path);
    if (isWebAddress(path))
        return QUrl(text, QUrl::TolerantMode);
    if (QDir::isAbsolutePath(text))
        return QUrl::fromLocalFile(text);
    const QDir base = baseFolder.empty() ? QDir::current() : QDir(QString::fromStdString(baseFolder));
    return QUrl::fromLocalFile(base.absoluteFilePath(text));
}

bool openOrTell(DesktopOpener& opener, Messages& messages, const std::string& path)
{
    const OpenResult opened = opener.open(path);
    if (!opened.ok)
        messages.show("Err015", MsgButtons::Ok,
                      opened.reason.isEmpty() ? path : path + " (" + opened.reason.toStdString() + ")");
    return opened.ok;
}

} // namespace quillory
