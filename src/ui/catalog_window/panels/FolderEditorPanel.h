#pragma once

#include <array>

#include "core/catalog_window/PanelRoutes.h"
#include "core/catalog_window/editors/FolderEditing.h"
#include "ui/catalog_window/panels/FloatingPanel.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QPlainTextEdit;

namespace quillory {

class PanelHost;
struct CoreContext;

// The folder editor panel (object name "Frame1"). It shows the current folder to change or delete it, or takes a
// new folder under the current one or at the top level.
class FolderEditorPanel : public FloatingPanel {
public:
    FolderEditorPanel(CoreContext& core, PanelHost& host, QWidget* parent);
    // Prepares the panel for mode; the catalog window shows it.
    void open(FolderEditorMode mode);
    FolderEditorMode mode() const { return mode_; }

    // View and update mode: the current folder as stored.
    void showCurrentFolder();
    // Chooses add-child (0) or add-top-level (1) mode, or view and update when neither is chosen.
    void check_addDir_Click(int element);
    void cmd_AddDir_Click();
    void cmd_updateDir_Click();
    void cmd_deleteDir_Click();
    // Deletes a folder as the delete button does (after asking), leaving the panel's fields as
    // they are.
    void deleteFolder(const std::string& dirId);
    void cmd_dback_Click();
    void check_needPwd_Click();

    std::array<QRadioButton*, 2> check_addDir{};
    QLabel* lbl_parentId = nullptr;
    QLineEdit* txt_parentName = nullptr;
    QLineEdit* txt_parentId = nullptr;
    QLineEdit* txt_dirId = nullptr;
    QLineEdit* txt_dirName = nullptr;
    QPlainTextEdit* txt_desc = nullptr;
    QCheckBox* check_needPwd = nullptr;
    QLabel* lbl_pwd = nullptr;
    QLineEdit* txt_pwd = nullptr;
    QPushButton* cmd_AddDir = nullptr;
    QPushButton* cmd_updateDir = nullptr;
    QPushButton* cmd_deleteDir = nullptr;
    QPushButton* cmd_dback = nullptr;

private:
    void build();
    void prepareAdd(int element);
    void showFields(const FolderFields& fields);
    FolderFields readFields() const;
    void showPassword(bool on);
    void chooseElement(int element); // -1: none

    CoreContext& core_;
    PanelHost& host_;
    QButtonGroup* addGroup_ = nullptr;
    FolderFields shown_; // as stored, whole, when the panel was filled
    FolderEditorMode mode_ = FolderEditorMode::ViewAndUpdate;
};

} // namespace quillory
