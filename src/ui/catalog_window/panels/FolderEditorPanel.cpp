#include "ui/catalog_window/panels/FolderEditorPanel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "core/CoreContext.h"
#include "core/catalog_window/editors/FolderEditing.h"
#include "core/store/RecordIds.h"
#include "ui/catalog_window/panels/EditorFields.h"
#include "ui/catalog_window/panels/PanelHost.h"
#include "ui/platform/QtText.h"

namespace quillory {

FolderEditorPanel::FolderEditorPanel(CoreContext& core, PanelHost& host, QWidget* parent)
    : FloatingPanel(QStringLiteral("Frame1"), core.conf, "MF_F1_Title", parent), core_(core), host_(host)
{
    build();
}

void FolderEditorPanel::build()
{
    auto* modes = new QHBoxLayout;
    addGroup_ = new QButtonGroup(this);
    for (int i = 0; i < 2; ++i) {
        check_addDir[static_cast<size_t>(i)] = new QRadioButton(
            caption(i == 0 ? "MF_F1_check_addDir0" : "MF_F1_check_addDir1"), this);
        check_addDir[static_cast<size_t>(i)]->setObjectName(QStringLiteral("check_addDir%1").arg(i));
        addGroup_->addButton(check_addDir[static_cast<size_t>(i)], i);
        modes->addWidget(check_addDir[static_cast<size_t>(i)]);
    }
    modes->addStretch();
    content()->addLayout(modes);
    connect(addGroup_, &QButtonGroup::idClicked, this, [this](int id) { check_addDir_Click(id); });

    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    lbl_parentId = new QLabel(caption("MF_F1_lbl_parentId"), this);
    txt_parentName = control<QLineEdit>("txt_parentName");
    txt_parentName->setEnabled(false);
    txt_parentId = control<QLineEdit>("txt_parentId");
    txt_parentId->hide(); // the parent's name tells it; the id goes with the folder
    form->addRow(lbl_parentId, txt_parentName);
    txt_dirId = control<QLineEdit>("txt_dirId");
    txt_dirId->setEnabled(false);
    form->addRow(new QLabel(caption("MF_F1_Label1"), this), txt_dirId);
    txt_dirName = control<QLineEdit>("txt_dirName");
    form->addRow(new QLabel(caption("MF_F1_Label2"), this), txt_dirName);
    txt_desc = control<QPlainTextEdit>("txt_desc");
    txt_desc->setTabChangesFocus(true);
    form->addRow(new QLabel(caption("MF_F1_Label4"), this), txt_desc);
    check_needPwd = control<QCheckBox>("check_needPwd", caption("MF_F1_check_needPwd"));
    form->addRow(QString(), check_needPwd);
    lbl_pwd = new QLabel(caption("MF_F1_lbl_pwd"), this);
    txt_pwd = control<QLineEdit>("txt_pwd");
    txt_pwd->setEchoMode(QLineEdit::Password);
    form->addRow(lbl_pwd, txt_pwd);
    content()->addLayout(form, 1);
    connect(check_needPwd, &QCheckBox::clicked, this, [this] { check_needPwd_Click(); });

    cmd_AddDir = footButton("MF_F1_cmd_AddDir", "cmd_AddDir", [this] { cmd_AddDir_Click(); });
    cmd_updateDir = footButton("MF_F1_cmd_updateDir", "cmd_updateDir", [this] { cmd_updateDir_Click(); });
    cmd_deleteDir = footButton("MF_F1_cmd_deleteDir", "cmd_deleteDir", [this] { cmd_deleteDir_Click(); });
    cmd_dback = footButton("MF_F1_cmd_dback", "cmd_dback", [this] { cmd_dback_Click(); });
    // The field's row follows the label's: both show or hide together.
    showPassword(false);
}

void FolderEditorPanel::open(FolderEditorMode mode)
{
    switch (mode) {
    case FolderEditorMode::ViewAndUpdate: showCurrentFolder(); break;
    case FolderEditorMode::AddChild:
        chooseElement(0);
        check_addDir_Click(0);
        break;
    case FolderEditorMode::AddTopLevel:
        chooseElement(1);
        check_addDir_Click(1);
        break;
    }
}

void FolderEditorPanel::chooseElement(int element)
{
    addGroup_->setExclusive(false);
    for (int i = 0; i < 2; ++i)
        check_addDir[static_cast<size_t>(i)]->setChecked(i == element);
    addGroup_->setExclusive(true);
}

void FolderEditorPanel::showPassword(bool on)
{
    lbl_pwd->setVisible(on);
    txt_pwd->setVisible(on);
}

void FolderEditorPanel::showFields(const FolderFields& fields)
{
    shown_ = fields;
    txt_dirId->setText(qs(fields.dirId));
    showInEditor(txt_dirName, fields.dirName, conf_);
    showInEditor(txt_desc, fields.description, conf_);
    txt_parentId->setText(qs(fields.parentDirId));
    showInEditor(txt_parentName, fields.parentName, conf_);
    check_needPwd->setChecked(fields.needPwd);
    showInEditor(txt_pwd, fields.pwd, conf_);
    showPassword(fields.needPwd);
}

FolderFields FolderEditorPanel::readFields() const
{
    // A field the user has not touched keeps what is stored now (the folder may have been renamed
    // or moved in the tree meanwhile); one shown only in part keeps the whole of it.
    const std::string dirId = txt_dirId->text().toStdString();
    const FolderFields stored = dirId.empty() ? shown_ : folderFieldsOf(core_.store, core_.messages, dirId);
    FolderFields fields;
    fields.dirId = dirId;
    fields.dirName = fromEditor(txt_dirName, stored.dirName);
    // The editor does not move a folder: an update keeps its parent; a new folder goes where the
    // mode was chosen.
    fields.parentDirId = dirId.empty() ? txt_parentId->text().toStdString() : stored.parentDirId;
    fields.description = fromEditor(txt_desc, stored.description);
    fields.needPwd = check_needPwd->isChecked();
    fields.pwd = fromEditor(txt_pwd, stored.pwd);
    return fields;
}

void FolderEditorPanel::showCurrentFolder()
{
    mode_ = FolderEditorMode::ViewAndUpdate;
    lbl_parentId->show();
    txt_parentName->show();
    cmd_AddDir->setEnabled(false);
    const std::string& current = host_.currentDirId();
    cmd_updateDir->setEnabled(!current.empty());
    cmd_deleteDir->setEnabled(!current.empty());
    chooseElement(-1);
    showFields(folderFieldsOf(core_.store, core_.messages, current));
    txt_dirName->setFocus();
}

void FolderEditorPanel::check_addDir_Click(int element)
{
    if (element < 0 || element > 1 || !check_addDir[static_cast<size_t>(element)]->isChecked()) {
        showCurrentFolder();
        return;
    }
    prepareAdd(element);
    txt_dirName->setFocus();
}

void FolderEditorPanel::prepareAdd(int element)
{
    mode_ = element == 0 ? FolderEditorMode::AddChild : FolderEditorMode::AddTopLevel;
    cmd_updateDir->setEnabled(false);
    cmd_deleteDir->setEnabled(false);
    cmd_AddDir->setEnabled(true);
    const std::string parent = element == 0 ? host_.currentDirId() : std::string(kTopLevelParentId);
    showFields(newFolderFields(core_.store, core_.messages, parent));
    // At the top level there is no parent to name.
    lbl_parentId->setVisible(element == 0);
    txt_parentName->setVisible(element == 0);
}

void FolderEditorPanel::check_needPwd_Click()
{
    showInEditor(txt_pwd, shown_.pwd = std::string(), conf_);
    showPassword(check_needPwd->isChecked());
    if (check_needPwd->isChecked())
        txt_pwd->setFocus();
}

void FolderEditorPanel::cmd_AddDir_Click()
{
    MessageBatch batch(core_.messages);
    // A subfolder goes under the folder that was current when the mode was chosen; without one,
    // nothing is added.
    const bool child = check_addDir[0]->isChecked();
    if ((child && !txt_parentId->text().isEmpty()) || check_addDir[1]->isChecked()) {
        if (const std::string id = addDirFromPanel(core_.store, core_.files, core_.messages, readFields()); !id.empty())
            host_.folderAdded(id);
    }
    cmd_dback_Click();
}

void FolderEditorPanel::cmd_updateDir_Click()
{
    MessageBatch batch(core_.messages);
    if (updateFolder(core_.store, core_.messages, readFields()) != FolderUpdate::Skipped)
        cmd_dback_Click();
}

void FolderEditorPanel::cmd_deleteDir_Click()
{
    deleteFolder(txt_dirId->text().toStdString());
}

void FolderEditorPanel::deleteFolder(const std::string& dirId)
{
    MessageBatch batch(core_.messages);
    // The user is asked about a folder that can go only; once answered, the folder is looked at
    // again, as another program may have written to its files meanwhile.
    FolderDeletion result = folderDeletable(core_.store, core_.messages, dirId);
    if (result == FolderDeletion::Deleted) {
        if (core_.messages.show("Msg004", MsgButtons::YesNo) != MsgAnswer::Yes) {
            cmd_dback_Click();
            return;
        }
        result = quillory::deleteFolder(core_.store, core_.files, core_.messages, dirId);
    }
    switch (result) {
    case FolderDeletion::HoldsIndexes: core_.messages.show("Msg002"); return; // refused: the panel stays as it was
    case FolderDeletion::HasSubfolders: core_.messages.show("Msg003"); return;
    case FolderDeletion::Skipped: return;
    case FolderDeletion::Deleted: // the tree follows the folder file
    case FolderDeletion::Failed:  // the user has been told why
        break;
    }
    cmd_dback_Click();
}

void FolderEditorPanel::cmd_dback_Click()
{
    hide();
}

} // namespace quillory
