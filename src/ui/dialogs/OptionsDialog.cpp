#include "ui/dialogs/OptionsDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/CoreContext.h"
#include "core/config/CatalogSettings.h"
#include "ui/platform/ConfiguredFont.h"
#include "ui/platform/FileDialogs.h"
#include "ui/platform/QtText.h"

namespace quillory {

OptionsDialog::OptionsDialog(CoreContext& core, QWidget* parent) : QDialog(parent), core_(core)
{
    setObjectName(QStringLiteral("OptionsDialog"));
    setWindowTitle(qs(core_.conf.text("OptionStr")).remove(QLatin1Char('&')).section(QLatin1Char('('), 0, 0));
    applyConfiguredFont(this, core_.conf);
    auto line = [this](const char* name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        return edit;
    };
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(caption("OptionForm_Label1"), this));
    txt_rootpath = line("txt_rootpath");
    cmd_rootPathSelect = new QPushButton(caption("OptionForm_cmd_rootPathSelect"), this);
    cmd_rootPathSelect->setObjectName(QStringLiteral("cmd_rootPathSelect"));
    auto* rootRow = new QHBoxLayout;
    rootRow->addWidget(txt_rootpath, 1);
    rootRow->addWidget(cmd_rootPathSelect);
    layout->addLayout(rootRow);

    // Every setting the checks ask for is in sight, so that the user can put it right.
    auto* form = new QFormLayout;
    txt_qlrdbfolder = line("txt_qlrdbfolder");
    form->addRow(caption("OptionForm_Label2"), txt_qlrdbfolder);
    txt_QlrdbContentFolder = line("txt_QlrdbContentFolder");
    form->addRow(caption("OptionForm_Label3"), txt_QlrdbContentFolder);
    txt_DirFileName = line("txt_DirFileName");
    form->addRow(caption("OptionForm_Label4"), txt_DirFileName);
    txt_TempContentFileName = line("txt_TempContentFileName");
    form->addRow(caption("OptionForm_Label5"), txt_TempContentFileName);
    txt_MonitorAutoWriteInterval = line("txt_MonitorAutoWriteInterval");
    form->addRow(caption("OptionForm_Label6"), txt_MonitorAutoWriteInterval);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(this);
    cmd_ok = buttons->addButton(caption("OptionForm_cmd_ok"), QDialogButtonBox::AcceptRole);
    cmd_ok->setObjectName(QStringLiteral("cmd_ok"));
    cmd_cancel = buttons->addButton(caption("OptionForm_cmd_cancel"), QDialogButtonBox::RejectRole);
    cmd_cancel->setObjectName(QStringLiteral("cmd_cancel"));
    layout->addWidget(buttons);
    connect(cmd_rootPathSelect, &QPushButton::clicked, this, [this] { cmd_rootPathSelect_Click(); });
    connect(cmd_ok, &QPushButton::clicked, this, [this] { cmd_ok_Click(); });
    // Escape rejects the dialog as Cancel does.
    connect(cmd_cancel, &QPushButton::clicked, this, [this] { cmd_cancel_Click(); });
    load();
}

int OptionsDialog::exec()
{
    DialogMessages shownAtOnce(core_.messages);
    return QDialog::exec();
}

QString OptionsDialog::caption(const char* key) const
{
    return qs(core_.conf.text(key));
}

void OptionsDialog::load()
{
    const CatalogSettingsFields fields = catalogSettingsOf(core_.conf);
    txt_rootpath->setText(qs(fields.rootPath));
    txt_qlrdbfolder->setText(qs(fields.catalogFolder));
    txt_QlrdbContentFolder->setText(qs(fields.indexFolder));
    txt_DirFileName->setText(qs(fields.folderFile));
    txt_TempContentFileName->setText(qs(fields.pendingFile));
    txt_MonitorAutoWriteInterval->setText(qs(fields.interval));
}

void OptionsDialog::cmd_rootPathSelect_Click()
{
    MessageBatch batch(core_.messages);
    const QString chosen = FileDialogs::getOpenFileName(this, QStringLiteral("Qlr Files(*.qlr)"), txt_rootpath->text());
    if (chosen.isEmpty())
        return;
    // Only a catalog file names a catalog: another file would be stored under another name.
    if (!isCatalogFileName(chosen.section(QLatin1Char('/'), -1).toStdString())) {
        core_.messages.show("Msg019", MsgButtons::Ok, chosen.toStdString());
        return;
    }
    // The picked file names the catalog; the root can still be typed over afterwards.
    const auto picked = catalogOfFolderFile(chosen.toStdString());
    if (!picked) {
        core_.messages.show("Err019", MsgButtons::Ok, chosen.toStdString());
        return;
    }
    txt_rootpath->setText(qs(picked->rootPath));
    txt_qlrdbfolder->setText(qs(picked->catalogFolder));
    txt_DirFileName->setText(qs(nameWithoutQlr(picked->folderFile)));
}

CatalogSettingsFields OptionsDialog::readFields() const
{
    return {txt_rootpath->text().toStdString(),
            txt_qlrdbfolder->text().toStdString(),
            txt_QlrdbContentFolder->text().toStdString(),
            txt_DirFileName->text().toStdString(),
            txt_TempContentFileName->text().toStdString(),
            txt_MonitorAutoWriteInterval->text().toStdString()};
}

void OptionsDialog::cmd_ok_Click()
{
    MessageBatch batch(core_.messages);
    const CatalogSettingsFields fields = readFields();
    if (const std::string refused = checkCatalogSettings(fields); !refused.empty()) {
        core_.messages.show(refused);
        // The field the message asks for, ready to be put right.
        const std::pair<const char*, QLineEdit*> fieldOf[] = {{"Msg007", txt_qlrdbfolder},
                                                              {"Msg008", txt_QlrdbContentFolder},
                                                              {"Msg009", txt_DirFileName},
                                                              {"Msg010", txt_TempContentFileName},
                                                              {"Msg011", txt_MonitorAutoWriteInterval},
                                                              {"Msg017", txt_MonitorAutoWriteInterval},
                                                              {"Msg018", txt_rootpath},
                                                              {"Msg021", txt_TempContentFileName}};
        QLineEdit* wrong = nullptr;
        for (const auto& [key, field] : fieldOf) {
            if (refused == key)
                wrong = field;
        }
        // A name that is not one name: the first such field.
        for (QLineEdit* field : {txt_qlrdbfolder, txt_QlrdbContentFolder, txt_DirFileName, txt_TempContentFileName}) {
            if (!wrong && refused == "Msg016" && !isOneName(field->text().trimmed().toStdString()))
                wrong = field;
        }
        if (wrong) {
            wrong->setFocus();
            wrong->selectAll();
        }
        return;
    }
    if (storeCatalogSettings(core_.conf, fields))
        accept();
}

void OptionsDialog::cmd_cancel_Click()
{
    reject();
}

} // namespace quillory
