#include "ui/catalog_window/panels/IndexEditorPanel.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "core/CoreContext.h"
#include "core/catalog_window/CatalogEdits.h"
#include "core/catalog_window/IndexRows.h"
#include "core/catalog_window/editors/IndexEditing.h"
#include "core/store/RecordIds.h"
#include "ui/catalog_window/panels/EditorFields.h"
#include "ui/catalog_window/panels/PanelHost.h"
#include "ui/platform/FileDialogs.h"
#include "ui/platform/QtText.h"
#include "ui/platform/Trash.h"

namespace quillory {

IndexEditorPanel::IndexEditorPanel(CoreContext& core, PanelHost& host, QWidget* parent)
    : FloatingPanel(QStringLiteral("Frame2"), core.conf, "MF_F2_Title", parent), core_(core), host_(host)
{
    build();
}

void IndexEditorPanel::build()
{
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    txt_cId = control<QLineEdit>("txt_cId");
    txt_cId->setEnabled(false);
    form->addRow(new QLabel(caption("MF_F2_Label3"), this), txt_cId);
    txt_ctitle = control<QLineEdit>("txt_ctitle");
    form->addRow(new QLabel(caption("MF_F2_Label5"), this), txt_ctitle);
    txt_cpath = control<QLineEdit>("txt_cpath");
    cmd_selectFile = control<QPushButton>("cmd_selectFile", caption("MF_F2_cmd_selectFile"));
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(txt_cpath, 1);
    pathRow->addWidget(cmd_selectFile);
    form->addRow(new QLabel(caption("MF_F2_Label6"), this), pathRow);
    txt_cdesc = control<QPlainTextEdit>("txt_cdesc");
    txt_cdesc->setTabChangesFocus(true);
    form->addRow(new QLabel(caption("MF_F2_Label7"), this), txt_cdesc);
    check_cneedPwd = control<QCheckBox>("check_cneedPwd", caption("MF_F2_check_cneedPwd"));
    form->addRow(QString(), check_cneedPwd);
    lbl_cpwd = new QLabel(caption("MF_F2_lbl_cpwd"), this);
    txt_cpwd = control<QLineEdit>("txt_cpwd");
    txt_cpwd->setEchoMode(QLineEdit::Password);
    form->addRow(lbl_cpwd, txt_cpwd);
    content()->addLayout(form, 1);

    cmd_cAdd = footButton("MF_F2_cmd_cAdd", "cmd_cAdd", [this] { cmd_cAdd_Click(); });
    cmd_cupdate = footButton("MF_F2_cmd_cupdate", "cmd_cupdate", [this] { cmd_cupdate_Click(); });
    cmd_cdelete = footButton("MF_F2_cmd_cdelete", "cmd_cdelete", [this] { cmd_cdelete_Click(); });
    cmd_back = footButton("MF_F2_cmd_back", "cmd_back", [this] { cmd_back_Click(); });

    connect(cmd_selectFile, &QPushButton::clicked, this, [this] { cmd_selectFile_Click(); });
    connect(check_cneedPwd, &QCheckBox::clicked, this, [this] { check_cneedPwd_Click(); });
    showPassword(false);
}

void IndexEditorPanel::open(IndexEditorMode mode)
{
    mode_ = mode;
    showCurrentIndex();
}

void IndexEditorPanel::showPassword(bool on)
{
    lbl_cpwd->setVisible(on);
    txt_cpwd->setVisible(on);
}

void IndexEditorPanel::showFields(const IndexFields& fields)
{
    shown_ = fields;
    txt_cId->setText(qs(fields.cId));
    showInEditor(txt_ctitle, fields.title, conf_);
    showInEditor(txt_cpath, fields.path, conf_);
    showInEditor(txt_cdesc, fields.description, conf_);
    check_cneedPwd->setChecked(fields.needPwd);
    showInEditor(txt_cpwd, fields.pwd, conf_);
    showPassword(fields.needPwd);
}

IndexFields IndexEditorPanel::readFields() const
{
    // A field the user has not touched keeps what is stored now (the index may have been renamed
    // in the list meanwhile); one shown only in part keeps the whole of it.
    const std::string cId = txt_cId->text().toStdString();
    const IndexFields stored = cId.empty() ? shown_
                                           : indexFieldsOf(core_.store, core_.messages, folderOfIndexId(cId), cId);
    IndexFields fields;
    fields.cId = cId;
    fields.title = fromEditor(txt_ctitle, stored.title);
    fields.path = fromEditor(txt_cpath, stored.path);
    fields.description = fromEditor(txt_cdesc, stored.description);
    fields.needPwd = check_cneedPwd->isChecked();
    fields.pwd = fromEditor(txt_cpwd, stored.pwd);
    return fields;
}

void IndexEditorPanel::showCurrentIndex()
{
    const std::string& dirId = host_.currentDirId();
    folder_ = dirId;
    const std::string& cId = host_.currentContentId();
    showFields(indexFieldsOf(core_.store, core_.messages, dirId, cId));
    const bool edit = !cId.empty() && !txt_cId->text().isEmpty();
    mode_ = edit ? IndexEditorMode::Edit : IndexEditorMode::Add;
    cmd_cAdd->setEnabled(!dirId.empty() && !edit);
    cmd_cupdate->setEnabled(edit);
    cmd_cdelete->setEnabled(edit);
    txt_ctitle->setFocus();
}

void IndexEditorPanel::check_cneedPwd_Click()
{
    showInEditor(txt_cpwd, shown_.pwd = std::string(), conf_);
    showPassword(check_cneedPwd->isChecked());
    if (check_cneedPwd->isChecked())
        txt_cpwd->setFocus();
}

void IndexEditorPanel::cmd_cAdd_Click()
{
    MessageBatch batch(core_.messages);
    // Into the folder the panel was opened for, whichever is chosen in the tree now.
    if (folder_.empty())
        return;
    const IndexAdd added = addIndexFromPanel(core_.store, core_.messages, folder_, readFields());
    // Not stored: the panel stays open with what was typed, to try again or copy it elsewhere.
    if (!saved(added.outcome))
        return;
    cmd_back_Click();
    if (folder_ == host_.currentDirId())
        host_.indexAdded(added.id);
}

void IndexEditorPanel::cmd_cupdate_Click()
{
    MessageBatch batch(core_.messages);
    // The rows follow the store: a row whose index was written is shown again from it.
    const std::string cId = txt_cId->text().toStdString();
    if (saved(updateIndexFromPanel(core_.store, core_.messages, folderOfIndexId(cId), readFields()).outcome))
        cmd_back_Click();
}

bool IndexEditorPanel::saved(IndexSave outcome)
{
    switch (outcome) {
    case IndexSave::Written: return true;
    case IndexSave::FolderGone: core_.messages.show("Err025"); break;
    case IndexSave::IndexGone: core_.messages.show("Err026"); break;
    case IndexSave::Failed: break; // the user has been told why
    }
    return false;
}

void IndexEditorPanel::cmd_cdelete_Click()
{
    MessageBatch batch(core_.messages);
    const std::string cId = txt_cId->text().toStdString();
    const MsgAnswer answer = core_.messages.show("Msg001", MsgButtons::YesNoCancel);
    if (answer != MsgAnswer::Cancel
        && deleteContents(core_.store, core_.messages, moveToTrash, folderOfIndexId(cId), {cId}, answer) > 0) {
        if (host_.currentContentId() == cId)
            host_.setCurrentContent("");
    }
    cmd_back_Click();
}

void IndexEditorPanel::cmd_selectFile_Click()
{
    // The dialog opens at the path in the box, or at the catalog's root.
    QString start = txt_cpath->text().trimmed();
    if (start.isEmpty() || isWebAddress(start.toStdString()))
        start = qs(core_.session.getRootPath());
    else if (QFileInfo(start).isRelative())
        start = qs(openablePath(start.toStdString(), core_.session.getRootPath()));
    const QString chosen = FileDialogs::getOpenFileName(this, QString(), start);
    if (!chosen.isEmpty())
        setPath(chosen);
}

void IndexEditorPanel::setPath(const QString& path)
{
    txt_cpath->setText(path);
    txt_cpath->setModified(true); // as if typed: it is what the index is to point at
}

void IndexEditorPanel::cmd_back_Click()
{
    hide();
}

} // namespace quillory
