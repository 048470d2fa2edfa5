#pragma once

#include <QDialog>
#include <string>

class QLineEdit;

namespace quillory {

struct CoreContext;

// Asks where a new catalog goes: the folder that will hold it, the catalog folder's name and
// the folder file's name (".qlr" is added).
class ProperTyForm : public QDialog {
public:
    ProperTyForm(CoreContext& core, QWidget* parent);

    std::string location() const;
    std::string folderName() const;
    std::string fileName() const; // with ".qlr"

    QLineEdit* locationEdit() const { return location_; }
    QLineEdit* folderEdit() const { return folder_; }
    QLineEdit* fileEdit() const { return file_; }

private:
    QLineEdit* location_;
    QLineEdit* folder_;
    QLineEdit* file_;
};

} // namespace quillory
