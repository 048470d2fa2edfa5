#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace quillory {

// The common file dialogs, with a seam for tests: a queued answer is returned instead of
// showing a dialog.
class FileDialogs {
public:
    // startFolder: where the dialog opens.
    static QString getOpenFileName(QWidget* parent, const QString& filter, const QString& startFolder = QString());
    static QString getExistingDirectory(QWidget* parent, const QString& start);
    // start: a folder, or a file name to offer.
    static QString getSaveFileName(QWidget* parent, const QString& filter, const QString& start = QString());

    // The next dialog returns answer without showing ("" acts as Cancel).
    static void setNextAnswer(const QString& answer) { nextAnswer_ = answer; }
    // Where the last open or save dialog was to start, and the filter it offered.
    static QString lastStartFolder() { return lastStartFolder_; }
    static QString lastFilter() { return lastFilter_; }

private:
    static std::optional<QString> takeAnswer();
    static inline std::optional<QString> nextAnswer_;
    static inline QString lastStartFolder_;
    static inline QString lastFilter_;
};

} // namespace quillory
