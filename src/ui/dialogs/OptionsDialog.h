#pragma once

#include <QDialog>
#include <array>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quillory {

struct CoreContext;
struct CatalogSettingsFields;

// The options: which catalog opens at start-up (picked by its catalog file, from which the
// root, catalog folder and file name are taken), its index folder and pending-changes file, and
// the monitor's write interval. OK checks the fields and writes SysConf.properties; Cancel and
// Escape keep everything as it was.
class OptionsDialog : public QDialog {
public:
    OptionsDialog(CoreContext& core, QWidget* parent);

    // Modal: while it is open, each of its buttons says what it has to say at once.
    int exec() override;

    void load();
    void cmd_rootPathSelect_Click();
    void cmd_ok_Click();
    void cmd_cancel_Click();

    QLineEdit* txt_rootpath = nullptr;
    QPushButton* cmd_rootPathSelect = nullptr;
    QLineEdit* txt_qlrdbfolder = nullptr;
    QLineEdit* txt_QlrdbContentFolder = nullptr;
    QLineEdit* txt_DirFileName = nullptr;
    QLineEdit* txt_TempContentFileName = nullptr;
    QLineEdit* txt_MonitorAutoWriteInterval = nullptr;
    QPushButton* cmd_ok = nullptr;
    QPushButton* cmd_cancel = nullptr;

private:
    QString caption(const char* key) const;
    CatalogSettingsFields readFields() const;

    CoreContext& core_;
};

} // namespace quillory
