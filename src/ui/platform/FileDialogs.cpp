#include "ui/platform/FileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace quillory {

std::optional<QString> FileDialogs::takeAnswer()
{
    auto answer = nextAnswer_;
    nextAnswer_.reset();
    nextFilter_.clear();
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

QString FileDialogs::withFilterExtension(const QString& name, const QString& chosenFilter)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([^ ;)*]+)"));
    const QRegularExpressionMatch match = pattern.match(chosenFilter);
    if (name.isEmpty() || !match.hasMatch() || QFileInfo(name).fileName().contains(QLatin1Char('.')))
        return name;
    return name + QLatin1Char('.') + match.captured(1);
}

QString FileDialogs::getSaveFileName(QWidget* parent, const QString& filter, const QString& start,
                                     bool confirmOverwrite)
{
    lastStartFolder_ = start;
    lastFilter_ = filter;
    lastConfirmOverwrite_ = confirmOverwrite;
    const QStringList filters = filter.split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    const QString chosenFilter = nextFilter_.isEmpty() ? filters.value(0) : nextFilter_;
    if (auto answer = takeAnswer())
        return withFilterExtension(*answer, chosenFilter);

    QFileDialog dialog(parent, QString(), start);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !confirmOverwrite);
    // The dialog adds the chosen filter's extension itself, so that it asks about the file that will
    // be written.
    auto takeSuffix = [&dialog](const QString& chosen) {
        dialog.setDefaultSuffix(QFileInfo(withFilterExtension(QStringLiteral("x"), chosen)).suffix());
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, takeSuffix);
    takeSuffix(filters.value(0));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return withFilterExtension(dialog.selectedFiles().front(), dialog.selectedNameFilter());
}

} // namespace quillory
