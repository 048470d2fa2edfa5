#pragma once

#include <QHash>
#include <QIcon>
#include <QMimeDatabase>
#include <QString>

namespace quillory {

// Type names and small icons of documents, as the desktop knows them. The type is found from
// the name alone (never by reading the file), and each type's icon is made once and shared by
// every row of that type.
class FileTypes {
public:
    struct Type {
        QString key;  // the lower-cased type name; empty when the type is unknown
        QString name; // the type name as the desktop describes it
        QIcon icon;
    };

    // webPagePath: a local HTML page whose type stands for every web address.
    explicit FileTypes(QString webPagePath);

    const Type& typeOf(const QString& path, bool webAddress);
    int cachedTypes() const { return icons_.size(); }

private:
    QIcon iconFor(const QMimeType& mime);

    QString webPagePath_;
    QMimeDatabase mimes_;
    QHash<QString, QIcon> icons_;
    QHash<QString, Type> typesByMime_;
    Type unknown_;
};

} // namespace quillory
