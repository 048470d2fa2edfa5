#include "ui/platform/FileDialogs.h"

#include <QFileDialog>

namespace quillory {

std::optional<QString> FileDialogs::takeAnswer()
{
    auto answer = nextAnswer_;
    nextAnswer_.reset();
    return answer;
}

QString FileDialogs::getOpenFileName(QWidget* parent, const QString& filter, const QString& startFolder)
{
    lastStartFolder_ = startFolder;
    lastFilter_ = filter;
    if (auto answer = takeAnswer())
        return *answer;
    return QFileDialog::getOpenFileName(parent, QString(), startFolder, filter);
}

QString FileDialogs::getExistingDirectory(QWidget* parent, const QString& start)
{
    if (auto answer = takeAnswer())
        return *answer;
    return QFileDialog::getExistingDirectory(parent, QString(), start);
}

QString FileDialogs::getSaveFileName(QWidget* parent, const QString& filter, const QString& start)
{
    lastStartFolder_ = start;
    lastFilter_ = filter;
    if (auto answer = takeAnswer())
        return *answer;
    return QFileDialog::getSaveFileName(parent, QString(), start, filter);
}

} // namespace quillory
