#include "ui/platform/FileTypes.h"

#include <QFileIconProvider>
#include <QFileInfo>

namespace quillory {

namespace {
const QString kWebKind = QStringLiteral("<web>");
const QString kFolderKind = QStringLiteral("<folder>");
const QString kNoSuffixKind = QStringLiteral("<none>");
} // namespace

QString lastSuffix(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    // A dot that starts the name (".profile") begins no suffix.
    if (dot <= slash + 1 || dot == path.size() - 1)
        return QString();
    return path.mid(dot + 1).toLower();
}

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

const FileTypes::Type& FileTypes::typeFor(const QString& kind, const QMimeType& mime)
{
    Type type;
    // The type's name, from the database's index: its description would be read from a file
    // of its own for each type, and no one sees it.
    if (!mime.isDefault() || kind == kFolderKind)
        type.key = mime.name();
    if (!type.key.isEmpty() && iconsHeld_) {
        heldIcons_.insert(type.key, mime);
    } else if (!type.key.isEmpty()) {
        auto icon = icons_.constFind(type.key);
        type.icon = icon != icons_.constEnd() ? *icon : *icons_.insert(type.key, iconFor(mime));
    }
    return *typesByKind_.insert(kind, type);
}

void FileTypes::releaseIcons()
{
    iconsHeld_ = false;
    for (auto held = heldIcons_.constBegin(); held != heldIcons_.constEnd(); ++held) {
        const QIcon icon = *icons_.insert(held.key(), iconFor(held.value()));
        for (Type& type : typesByKind_)
            if (type.key == held.key())
                type.icon = icon;
    }
    heldIcons_.clear();
}

const FileTypes::Type& FileTypes::typeOf(const QString& path, bool webAddress)
{
    QString kind;
    if (webAddress) {
        kind = kWebKind;
    } else if (const QString suffix = lastSuffix(path); !suffix.isEmpty()) {
        kind = QLatin1Char('.') + suffix;
    } else {
        // Without a suffix a name says nothing of its type: a folder is the one kind worth
        // knowing, and only the disk can tell.
        kind = QFileInfo(path).isDir() ? kFolderKind : kNoSuffixKind;
    }
    if (const auto found = typesByKind_.constFind(kind); found != typesByKind_.constEnd())
        return *found;
    if (kind == kWebKind)
        return typeFor(kind, mimes_.mimeTypeForFile(webPagePath_, QMimeDatabase::MatchExtension));
    if (kind == kFolderKind)
        return typeFor(kind, mimes_.mimeTypeForName(QStringLiteral("inode/directory")));
    if (kind == kNoSuffixKind)
        return typeFor(kind, QMimeType());
    return typeFor(kind, mimes_.mimeTypeForFile(QStringLiteral("x") + kind, QMimeDatabase::MatchExtension));
}

} // namespace quillory
