#pragma once

#include "core/catalog_window/PanelRoutes.h"
#include "core/catalog_window/editors/IndexEditing.h"
#include "ui/catalog_window/panels/FloatingPanel.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QPlainTextEdit;

namespace quillory {

class PanelHost;
struct CoreContext;

// The index editor panel (object name "Frame2"). It takes a new index for the current folder, or changes or
// deletes the current index.
class IndexEditorPanel : public FloatingPanel {
public:
    IndexEditorPanel(CoreContext& core, PanelHost& host, QWidget* parent);
    // Prepares the panel for mode; the catalog window shows it.
    void open(IndexEditorMode mode);
    IndexEditorMode mode() const { return mode_; }

    // Add mode without a current index, edit mode with one.
    void showCurrentIndex();
    void cmd_cAdd_Click();
    void cmd_cupdate_Click();
    void cmd_cdelete_Click();
    void cmd_selectFile_Click();
    void cmd_back_Click();
    void check_cneedPwd_Click();
    // Puts a path into the path box, as the file chooser or the clipboard import gives it.
    void setPath(const QString& path);

    QLineEdit* txt_cId = nullptr;
    QLineEdit* txt_ctitle = nullptr;
    QLineEdit* txt_cpath = nullptr;
    QPushButton* cmd_selectFile = nullptr;
    QPlainTextEdit* txt_cdesc = nullptr;
    QCheckBox* check_cneedPwd = nullptr;
    QLabel* lbl_cpwd = nullptr;
    QLineEdit* txt_cpwd = nullptr;
    QPushButton* cmd_cAdd = nullptr;
    QPushButton* cmd_cupdate = nullptr;
    QPushButton* cmd_cdelete = nullptr;
    QPushButton* cmd_back = nullptr;

private:
    void build();
    void showFields(const IndexFields& fields);
    IndexFields readFields() const;
    void showPassword(bool on);
    // True when the index was written; otherwise tells why not, when the store has not.
    bool saved(IndexSave outcome);

    CoreContext& core_;
    PanelHost& host_;
    IndexEditorMode mode_ = IndexEditorMode::Add;
    IndexFields shown_;  // as stored, whole, when the panel was filled
    std::string folder_; // the folder the panel was opened for
};

} // namespace quillory
