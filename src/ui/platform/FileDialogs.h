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
    // start: a folder, or a file name to offer. A name typed without an extension gets the one of
    // the filter chosen ("notes" saved as text is "notes.txt"). confirmOverwrite: whether choosing
    // a file that exists asks first (not when the file is to be added to).
    static QString getSaveFileName(QWidget* parent, const QString& filter, const QString& start = QString(),
                                   bool confirmOverwrite = true);
    // name with the extension of the filter's first pattern ("Text Files (*.txt)": "txt") when its
    // file name has none; a filter of "*" adds nothing.
    static QString withFilterExtension(const QString& name, const QString& chosenFilter);

    // The next dialog returns answer without showing ("" acts as Cancel). A save dialog takes it as
    // typed with chosenFilter (its first filter when empty) chosen.
    static void setNextAnswer(const QString& answer, const QString& chosenFilter = QString())
    {
        nextAnswer_ = answer;
        nextFilter_ = chosenFilter;
    }
    // Where the last open or save dialog was to start, and the filter it offered.
    static QString lastStartFolder() { return lastStartFolder_; }
    static QString lastFilter() { return lastFilter_; }
    // Whether the last save dialog was to ask before choosing a file that exists.
    static bool lastConfirmedOverwrite() { return lastConfirmOverwrite_; }

private:
    static std::optional<QString> takeAnswer();
    static inline std::optional<QString> nextAnswer_;
    static inline QString nextFilter_;
    static inline QString lastStartFolder_;
    static inline QString lastFilter_;
    static inline bool lastConfirmOverwrite_ = true;
};

} // namespace quillory
