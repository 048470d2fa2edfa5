#pragma once

#include <QDialog>
#include <QHash>
#include <string>

class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace quillory {

struct CoreContext;

// Asks where a new catalog goes: a volume and, on it, the folder that will hold the catalog (a
// tree of folders only), the catalog folder's name and the folder file's name (".qlr" is added).
// OK and Cancel only hide it: opened again, it shows what the user left in it, until New has
// made the catalog or the open catalog is closed, which end it.
class NewCatalogDialog : public QDialog {
public:
    NewCatalogDialog(CoreContext& core, QWidget* parent);

    // Modal: while it is open, what its buttons say is shown at once.
    int exec() override;

    // The three values New reads after OK: the chosen folder ("" after Cancel), the catalog
    // folder's name and the folder file's name with ".qlr" ("" when no name was typed), as typed.
    // OK refuses a name that is not one name (a "/" in it, say) with a message, and stays open.
    const std::string& location() const { return location_; }
    const std::string& folderName() const { return folderName_; }
    const std::string& fileName() const { return fileName_; }

    // Shows the volume that holds folder and the folder in the tree, chosen.
    void chooseFolder(const QString& folder);
    // The folder chosen in the tree.
    QString chosenFolder() const;
    void Drive1_Change(int index);
    void cmd_ok_Click();
    void cmd_cancel_Click();

    QComboBox* Drive1 = nullptr;
    QTreeView* Dir1 = nullptr;
    QLineEdit* txt_qlrdbFolder = nullptr;
    QLineEdit* txt_qlrdbDirFile = nullptr;
    QPushButton* cmd_ok = nullptr;
    QPushButton* cmd_cancel = nullptr;

protected:
    void reject() override;
    void showEvent(QShowEvent* event) override;

private:
    void load();
    void fillVolumes();
    void showVolume(const QString& root, const QString& folder);

    CoreContext& core_;
    QFileSystemModel* folders_ = nullptr;
    // The folder last chosen on each volume, by the volume's root: a volume shows it again.
    QHash<QString, QString> currentFolderOf_;
    QString shownVolume_; // the root of the volume the tree shows
    QString shownFolder_; // chosen when the tree has read the folders down to it
    std::string location_;
    std::string folderName_;
    std::string fileName_;
};

} // namespace quillory
