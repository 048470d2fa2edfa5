#include "ui/platform/FileTypes.h"

#include <QFileIconProvider>
#include <QFileInfo>

namespace quillory {

FileTypes::FileTypes(QString webPagePath) : webPagePath_(std::move(webPagePath))
{
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
}

QIcon FileTypes::iconFor(const QMimeType& mime)
{
    QIcon icon = QIcon::fromTheme(mime.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(mime.genericIconName());
    if (icon.isNull()) {
        static const QFileIconProvider provider;
        icon = provider.icon(mime.name() == QLatin1String("inode/directory") ? QAbstractFileIconProvider::Folder
                                                                              : QAbstractFileIconProvider::File);
    }
    return icon;
}

const FileTypes::Type& FileTypes::typeOf(const QString& path, bool webAddress)
{
    QMimeType mime = mimes_.mimeTypeForFile(webAddress ? webPagePath_ : path, QMimeDatabase::MatchExtension);
    if (mime.isDefault() && !webAddress && QFileInfo(path).isDir())
        mime = mimes_.mimeTypeForName(QStringLiteral("inode/directory"));
    const auto found = typesByMime_.constFind(mime.name());
    if (found != typesByMime_.constEnd())
        return *found;
    Type type;
    type.name = mime.comment();
    type.key = type.name.toLower();
    if (!type.key.isEmpty()) {
        auto icon = icons_.constFind(type.key);
        type.icon = icon != icons_.constEnd() ? *icon : *icons_.insert(type.key, iconFor(mime));
    }
    return *typesByMime_.insert(mime.name(), type);
}

} // namespace quillory
