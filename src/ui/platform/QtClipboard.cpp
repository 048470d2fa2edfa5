#include "ui/platform/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace quillory {

const QMimeData* QtClipboard::content() const
{
    return QGuiApplication::clipboard()->mimeData();
}

void QtClipboard::setContent(QMimeData* data)
{
    QGuiApplication::clipboard()->setMimeData(data);
}

} // namespace quillory
