#pragma once

#include <QHash>
#include <QIcon>
#include <QMimeDatabase>
#include <QString>

namespace quillory {

// Types and small icons of documents, as the desktop knows them. The type is found from
// the name's last suffix alone (never by reading the file) and kept per suffix, so a list of
// thousands of rows asks the MIME database once per kind of document; a name without suffix is
// looked at on disk once (is it a folder?). Every row of a type shares its icon.
class FileTypes {
public:
    struct Type {
        QString key; // the MIME type's name; empty when the type is unknown
        QIcon icon;
    };

    // webPagePath: a local HTML page whose type stands for every web address.
    explicit FileTypes(QString webPagePath);

    const Type& typeOf(const QString& path, bool webAddress);
    // While held, types come without their icons: the icon theme is first read when the hold
    // ends (the program holds them until its window is on screen). Rows asked for meanwhile get
    // theirs when painted again.
    void holdIcons() { iconsHeld_ = true; }
    void releaseIcons();
    // How many kinds of document have been looked up.
    int cachedTypes() const { return typesByKind_.size(); }

private:
    const Type& typeFor(const QString& kind, const QMimeType& mime);
    QIcon iconFor(const QMimeType& mime);

    QString webPagePath_;
    QMimeDatabase mimes_;
    QHash<QString, Type> typesByKind_;    // by ".suffix", or a kind of its own
    QHash<QString, QIcon> icons_;         // by type key
    QHash<QString, QMimeType> heldIcons_; // type key -> its MIME type, while icons are held
    bool iconsHeld_ = false;
};

// The last suffix of a path's file name, lower-cased, without its dot; "" when it has none.
QString lastSuffix(const QString& path);

} // namespace quillory
